// marvolen-report --parse: one sequence judged with the rules named by
// config.ini, its parses printed as the report lists them and, with --svg,
// drawn side by side.
#ifndef MARVOLEN_CLI_PARSE_COMMAND_H_
#define MARVOLEN_CLI_PARSE_COMMAND_H_

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "analysis/reports.h"
#include "grammar/search_engines.h"
#include "platform/user_interface.h"

namespace marvolen {

struct ParseRequest {
  std::string items;                  // UTF-8, as given on the command line
  std::optional<std::string> svgPath;  // where to write the drawing
  SearchEngine engine = SearchEngine::kChart;
  // Parses are listed and drawn only up to this many; beyond it the
  // judgement and their number are printed, as the report does.
  std::uint64_t maxParses = kDefaultMaxParses;
};

struct ParseOutcome {
  enum class End {
    kPrinted,      // the judgement and the parses were printed (and drawn)
    kUsageError,   // the items cannot be analysed; nothing was read
    kOpenFailed,   // a data file could not be opened (its message was shown)
    kWriteFailed,  // the drawing could not be written
    kFailed,       // memory ran out (message shown) or stdout failed
  };
  End end = End::kPrinted;
  int messages = 0;   // messages shown through the interface
  std::string error;  // what went wrong, for the command's own error line;
                      // empty when a message already said it
};

// Read the tag set and the rules named by config.ini in `startupDir`
// (messages through `ui`), analyse the items and print to `out` (UTF-8) the
// judgement in the report's words on one line, then the parses one per line
// as the report lists them: the only parse bare, several numbered [1], [2],
// ... in the report's order. With an SVG path, write the drawing of all the
// parses there too.
ParseOutcome RunParse(const std::string& startupDir, const ParseRequest& request,
                      UserInterface& ui, std::FILE* out);

}  // namespace marvolen

#endif  // MARVOLEN_CLI_PARSE_COMMAND_H_
