// The searches a run can use, by name, and making engines of them.
//
// The chart search is the one in use; the literal breadth-first search is
// kept as the reference and can be chosen to check the other against it.
#ifndef MARVOLEN_GRAMMAR_SEARCH_ENGINES_H_
#define MARVOLEN_GRAMMAR_SEARCH_ENGINES_H_

#include <memory>
#include <optional>
#include <stop_token>
#include <string_view>
#include <vector>

#include "grammar/cfg_rule.h"
#include "grammar/parse_engine.h"

namespace marvolen {

enum class SearchEngine {
  kChart,    // "chart": the chart search, the default
  kLiteral,  // "literal": the literal breadth-first reduction search
};

// The engine of the reports and of the parse command unless told otherwise.
inline constexpr SearchEngine kDefaultSearchEngine = SearchEngine::kChart;

// The engine of a name ("chart", "literal"), or none for any other text.
std::optional<SearchEngine> SearchEngineNamed(std::string_view name);

// `count` engines of the kind, each for one thread, for `rules`, which must
// outlive them and stay unchanged while they are used. Chart engines share
// one compilation of the rules. Each engine stops when `stop` is requested
// (SearchStopped).
std::vector<std::unique_ptr<ParseEngine>> MakeParseEngines(SearchEngine engine,
                                                           const RuleSet& rules, int count,
                                                           std::stop_token stop = {});

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_SEARCH_ENGINES_H_
