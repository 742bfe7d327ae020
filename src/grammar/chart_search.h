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
#ifndef MARVOLEN_GRAMMAR_CHART_SEARCH_H_
#define MARVOLEN_GRAMMAR_CHART_SEARCH_H_

#include <memory>

#include "grammar/cfg_rule.h"
#include "grammar/compiled_grammar.h"
#include "grammar/parse_engine.h"
#include "grammar/permutation.h"

namespace marvolen {

class ChartParseEngine : public ParseEngine {
 public:
  // An engine for `rules`, which are compiled once here. The engine keeps a
  // reference to them: they must outlive it and stay unchanged while it is
  // used with them. Searches with any other rule set compile that set anew
  // for each call (correct, but slow).
  explicit ChartParseEngine(const RuleSet& rules);
  // An engine that shares an existing compilation of `rules`.
  ChartParseEngine(const RuleSet& rules, std::shared_ptr<const CompiledGrammar> grammar);
  ~ChartParseEngine() override;

  ChartParseEngine(const ChartParseEngine&) = delete;
  ChartParseEngine& operator=(const ChartParseEngine&) = delete;

  // The same list as the literal search (with its one-item-cycle guard).
  // One engine serves one thread at a time.
  ParseList FindDistinctParses(const Permutation& permutation, const RuleSet& rules) override;

  const std::shared_ptr<const CompiledGrammar>& grammar() const { return grammar_; }

 private:
  struct Chart;

  ParseList Search(const Permutation& permutation, const CompiledGrammar& grammar);

  const RuleSet* rules_;
  std::shared_ptr<const CompiledGrammar> grammar_;
  std::unique_ptr<Chart> chart_;  // working storage, kept between calls
};

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_CHART_SEARCH_H_
