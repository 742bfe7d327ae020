// Counting the distinct parses of a permutation without building them.
//
// Over every span of items the counter keeps, by root symbol, how many
// distinct trees the span has: those whose root is a leaf or a node of two
// or three children ("base" trees), and all of them, which are the base
// trees under every chain of one-item rules that the one-item-cycle guard
// allows (CompiledGrammar::UnaryChainsFrom). Distinct children, rules and
// chains make distinct trees, so the counts are the numbers of trees the
// chart search builds, and the whole span's count is the number of distinct
// parses. Counts saturate (kManyParses) instead of overflowing.
//
// The counter can also mark which of those groups of trees some complete
// parse uses, so that a search can build those alone: a part of the line
// may have far more trees than the whole line has parses.
#ifndef MARVOLEN_GRAMMAR_PARSE_COUNTER_H_
#define MARVOLEN_GRAMMAR_PARSE_COUNTER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "grammar/compiled_grammar.h"
#include "grammar/parse_engine.h"
#include "grammar/permutation.h"

namespace marvolen {

class ParseCounter {
 public:
  // A counter for `grammar`, which must outlive it.
  explicit ParseCounter(const CompiledGrammar& grammar) : grammar_(grammar) {}

  // The number of distinct parses of the first currentItemCount items and
  // whether their root labels differ.
  ParseSummary Count(const Permutation& permutation);

  // After Count: mark the groups of trees that some complete parse uses.
  void MarkUsed();

  // After MarkUsed, for the span of `length` items from `start`: whether
  // the base trees with root `symbol` are used; whether a tree with root
  // `symbol` can be part of a used tree of the span (itself used, or below
  // a used tree through a chain of one-item rules).
  bool BaseUsed(int start, int length, int symbol) const;
  bool LeadsToUsed(int start, int length, int symbol) const;

 private:
  // The trees of one span with one root symbol (kNoSymbol: the leaf of an
  // item that no rule mentions).
  struct Tally {
    int symbol;
    std::uint64_t base = 0;
    std::uint64_t all = 0;
    bool baseUsed = false;
    bool allUsed = false;
  };
  struct Range {
    int begin = 0, end = 0;
  };

  void CountSpan(int start, int end);
  // Call visit(class, parts) for every way a rule of two or three items
  // joins trees of the span's parts, parts being the tallies of the parts.
  template <typename Visit>
  void ForEachJoin(int start, int end, Visit visit);
  Tally* Find(int start, int length, int symbol);
  const Tally* Find(int start, int length, int symbol) const;

  const CompiledGrammar& grammar_;
  int items_ = 0;
  int symbols_[kMaxItems] = {};
  std::vector<Tally> tallies_;
  Range spans_[kMaxItems][kMaxItems + 1];  // [start][length]
  std::vector<Tally> scratch_;
};

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_PARSE_COUNTER_H_
