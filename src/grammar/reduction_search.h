// The literal reduction search: an exhaustive breadth-first search over
// reduction states that finds every distinct parse of a permutation.
//
// It is kept simple on purpose: it is the reference against which faster
// engines are checked.
#ifndef MARVOLEN_GRAMMAR_REDUCTION_SEARCH_H_
#define MARVOLEN_GRAMMAR_REDUCTION_SEARCH_H_

#include <memory>
#include <stop_token>

#include "grammar/cfg_rule.h"
#include "grammar/compiled_grammar.h"
#include "grammar/parse_counter.h"
#include "grammar/parse_engine.h"
#include "grammar/permutation.h"
#include "grammar/symbols.h"

namespace marvolen {

// Whether a one-item rule may be applied to a symbol whose tree already
// carries the rule's left tag on its unary spine: the path from the root
// down through single-child nodes to the first node that is a leaf or has
// two or more children (that node included). Such an application is only
// possible when one-item rules form a cycle; refusing it keeps the search
// finite and changes nothing on grammars without such cycles.
enum class UnaryCycleGuard {
  kOn,
  kOff,  // the unbounded search: never ends when one-item rules form a cycle
};

// Every distinct parse of the permutation: the states are expanded first in,
// first out at positions 1 to currentItemCount (at each position the
// one-item rules first, then the two- and three-item ones, each length in
// table order, every rule whose right side equals the symbols from there on
// giving the successor in which they are replaced by one symbol labelled
// with its left tag); each state of exactly one symbol is a complete parse,
// the most recently completed first, and of equal trees only the one nearest
// the front is kept.
ParseList FindDistinctParses(const Permutation& permutation, const RuleSet& rules,
                             UnaryCycleGuard guard = UnaryCycleGuard::kOn);

// The rules of a rule set grouped for the literal search's look-ups.
class LiteralRuleIndex;

// FindDistinctParses as a ParseEngine for one rule set, which it indexes
// once. The count before a list comes from a ParseCounter; a permutation
// with more parses than the limit is therefore not searched at all, and one
// within it is searched literally, its count and root labels taken from its
// own list. The stop is checked at every state.
class LiteralParseEngine : public ParseEngine {
 public:
  // `rules` must outlive the engine and stay unchanged.
  explicit LiteralParseEngine(const RuleSet& rules, UnaryCycleGuard guard = UnaryCycleGuard::kOn,
                              std::stop_token stop = {});
  ~LiteralParseEngine() override;

  ParseSummary CountDistinctParses(const Permutation& permutation,
                                   std::uint64_t listLimit) override;
  void PrintDistinctParses(const PrintedParse& take) override;
  void VisitDistinctParses(const VisitedParse& take) override;
  ParseList FirstDistinctParses(std::size_t count) override;
  ParseList FindDistinctParses(const Permutation& permutation) override;

 private:
  UnaryCycleGuard guard_;
  std::stop_token stop_;
  std::unique_ptr<LiteralRuleIndex> index_;
  std::unique_ptr<CompiledGrammar> grammar_;
  std::unique_ptr<ParseCounter> counter_;
  ParseList listed_;  // the parses of the permutation last counted
  bool listable_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_REDUCTION_SEARCH_H_
