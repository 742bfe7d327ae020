// Naming and making the search engines.
#include "grammar/search_engines.h"

#include "grammar/chart_search.h"
#include "grammar/reduction_search.h"

namespace marvolen {

std::optional<SearchEngine> SearchEngineNamed(std::string_view name) {
  if (name == "chart") return SearchEngine::kChart;
  if (name == "literal") return SearchEngine::kLiteral;
  return std::nullopt;
}

std::vector<std::unique_ptr<ParseEngine>> MakeParseEngines(SearchEngine engine,
                                                           const RuleSet& rules, int count,
                                                           std::stop_token stop) {
  std::vector<std::unique_ptr<ParseEngine>> engines;
  if (engine == SearchEngine::kLiteral) {
    for (int k = 0; k < count; ++k) {
      engines.push_back(std::make_unique<LiteralParseEngine>(rules, UnaryCycleGuard::kOn, stop));
    }
    return engines;
  }
  const auto grammar = std::make_shared<const CompiledGrammar>(rules);
  for (int k = 0; k < count; ++k)
    engines.push_back(std::make_unique<ChartParseEngine>(grammar, stop));
  return engines;
}

}  // namespace marvolen
