// Symbol lists and reduction states: what a permutation has become after
// some reductions. Every symbol carries the parse tree of what it covers.
#ifndef MARVOLEN_GRAMMAR_SYMBOLS_H_
#define MARVOLEN_GRAMMAR_SYMBOLS_H_

#include <memory>
#include <string>

#include "grammar/parse_tree.h"
#include "grammar/permutation.h"

namespace marvolen {

// One symbol of a state; the symbols of a state form a singly linked list in
// left-to-right order, each owning the next.
struct SymbolNode {
  // The item text for an initial symbol, the rule's left tag for a symbol
  // made by a reduction. Always equal to the label of `tree`'s root once the
  // symbol has a tree.
  std::string text;
  std::unique_ptr<ParseTreeNode> tree;
  std::unique_ptr<SymbolNode> next;
};

// One state of the search: its symbols (null for an empty state).
struct ReductionState {
  std::unique_ptr<SymbolNode> symbols;
};

// A list of permutation.currentItemCount symbols whose texts are slots 1 to
// currentItemCount, in order, each without a tree. Null for a count of 0 or
// less; a count above five is taken as five.
std::unique_ptr<SymbolNode> BuildInitialSymbols(const Permutation& permutation);

// The number of symbols in the list that starts at `first` (0 for null).
int CountSymbols(const SymbolNode* first);

// A new list in which the span of `old` from `first` through `last` (both
// symbols of `old`, first at or before last) is replaced by `node`, which
// receives copies of the span's trees as the children of its own tree (it
// must have one). The symbols before and after the span are deep copies.
// `old` is left unchanged.
std::unique_ptr<SymbolNode> BuildSuccessor(const SymbolNode* old, const SymbolNode* first,
                                           std::unique_ptr<SymbolNode> node,
                                           const SymbolNode* last);

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_SYMBOLS_H_
