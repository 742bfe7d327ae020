// marvolen-report --parse: one sequence judged with the rules named by
// config.ini, its parses printed as the report lists them and, with --svg,
// drawn side by side.
#ifndef MARVOLEN_CLI_PARSE_COMMAND_H_
#define MARVOLEN_CLI_PARSE_COMMAND_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stop_token>
#include <string>

#include "analysis/reports.h"
#include "datafiles/user_interface.h"
#include "grammar/search_engines.h"

namespace marvolen {

struct ParseRequest {
  std::string items;                   // UTF-8, as given on the command line
  std::optional<std::string> svgPath;  // where to write the drawing
  SearchEngine engine = kDefaultSearchEngine;
  // Parses are listed and drawn only up to this many; beyond it the
  // judgement and their number are printed, as the report does.
  std::uint64_t maxParses = kDefaultMaxParses;
  // A stop requested here ends the search and the listing within moments.
  std::stop_token stop;
};

// The most parses an SVG draws: the first ones, in list order.
inline constexpr std::size_t kSvgTrees = 1000;

struct ParseOutcome {
  enum class End {
    kPrinted,      // the judgement and the parses were printed (and drawn)
    kUsageError,   // the items cannot be analysed; nothing was read
    kOpenFailed,   // a data file could not be opened (its message was shown)
    kWriteFailed,  // the drawing could not be written or was refused
    kFailed,       // memory ran out (message shown) or stdout failed
    kStopped,      // the stop was requested; the SVG file was left as it was
  };
  End end = End::kPrinted;
  int messages = 0;   // messages shown through the interface
  std::string error;  // what went wrong, for the command's own error line;
                      // empty when a message already said it
};

// Read the tag set and the rules named by config.ini in `startupDir`
// (messages through `ui`), analyse the items and print to `out` (UTF-8) the
// judgement in the report's words on one line, then, for an ambiguous
// line, its divergence points one per line ("歧义点 1-3: R07 NP -> n NP |
// R08 NP -> NP n", see analysis/divergences.h), then the parses one per line
// as the report lists them: the only parse bare, several numbered [1], [2],
// ... in the report's order, each printed as it is found, so that memory
// does not grow with their number. With an SVG path, draw the first
// kSvgTrees parses there too (saying so in the picture and through `ui`
// when there are more); the file is checked before anything is read, as
// the report's outputs are (not a file of the data set, config.ini or the
// report file, a plain file that may be written) and replaced only when
// complete. A line with more parses than the limit gets its count, the
// line "歧义点：未计算（组合方式超出上限）" and no drawing (kWriteFailed).
ParseOutcome RunParse(const std::string& startupDir, const ParseRequest& request, UserInterface& ui,
                      std::FILE* out);

}  // namespace marvolen

#endif  // MARVOLEN_CLI_PARSE_COMMAND_H_
