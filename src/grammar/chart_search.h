// The chart search: every distinct parse of a permutation, in the order in
// which the literal breadth-first reduction search lists them, found without
// going through the orders of reduction one by one.
//
// The chart holds, for every span of items, each distinct tree over the span
// once; a tree points at the trees of its children in the smaller spans, so
// subtrees are shared and never copied while searching. Only the complete
// parses are built as ParseTreeNode trees at the end.
//
// The order of the list follows from the breadth-first search: a tree with k
// reductions completes at depth k, and within one depth the states come in
// the lexicographic order of their choice sequences (position, rule length,
// rule index). The literal search keeps, of equal trees, the one completed
// last, so its list holds the distinct trees by number of reductions, most
// first, then by their greatest choice sequence, greatest first. The greatest
// choice sequence of a tree reduces, at every step, the rightmost node whose
// children are all built, with the last of the equal rules: the node's
// children from right to left, each finished before the next, then the node.
//
// A line with very many parses would need very many trees. The search
// builds trees only up to a budget; past it, it counts the parses first
// (ParseCounter) and builds, when they are few enough to list, only the
// trees that some complete parse uses.
#ifndef MARVOLEN_GRAMMAR_CHART_SEARCH_H_
#define MARVOLEN_GRAMMAR_CHART_SEARCH_H_

#include <cstddef>
#include <memory>
#include <stop_token>

#include "grammar/cfg_rule.h"
#include "grammar/compiled_grammar.h"
#include "grammar/parse_counter.h"
#include "grammar/parse_engine.h"
#include "grammar/permutation.h"

namespace marvolen {

class ChartParseEngine : public ParseEngine {
 public:
  // The trees a search builds before it counts the parses first.
  static constexpr std::size_t kDefaultTreeBudget = 1 << 18;

  // An engine for `rules`, compiled here; the engine keeps nothing of
  // `rules` itself.
  explicit ChartParseEngine(const RuleSet& rules, std::stop_token stop = {},
                            std::size_t treeBudget = kDefaultTreeBudget);
  // An engine that shares an existing compilation (engines for several
  // threads share one).
  explicit ChartParseEngine(std::shared_ptr<const CompiledGrammar> grammar,
                            std::stop_token stop = {}, std::size_t treeBudget = kDefaultTreeBudget);
  ~ChartParseEngine() override;

  ChartParseEngine(const ChartParseEngine&) = delete;
  ChartParseEngine& operator=(const ChartParseEngine&) = delete;

  // The same parses in the same order as the literal search (with its
  // one-item-cycle guard).
  ParseSummary CountDistinctParses(const Permutation& permutation,
                                   std::uint64_t listLimit) override;
  void PrintDistinctParses(const PrintedParse& take) override;
  void VisitDistinctParses(const VisitedParse& take) override;
  ParseList FirstDistinctParses(std::size_t count) override;
  ParseList FindDistinctParses(const Permutation& permutation) override;

  const std::shared_ptr<const CompiledGrammar>& grammar() const { return grammar_; }

 private:
  struct Chart;

  std::shared_ptr<const CompiledGrammar> grammar_;
  std::stop_token stop_;
  std::unique_ptr<Chart> chart_;  // working storage, kept between calls
  ParseCounter counter_;
};

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_CHART_SEARCH_H_
