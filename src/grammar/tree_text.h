// Reading a parse tree back from the bracketed text the report writes
// (PrintTree): "(" node ")", where
//   node := label [":" title] ["(" node ("," node)* ")"]
// A node alone, without the outer parentheses, is taken too. A label or
// title that holds one of ":(),", which the text cannot tell from the
// brackets, makes the text unreadable.
#ifndef MARVOLEN_GRAMMAR_TREE_TEXT_H_
#define MARVOLEN_GRAMMAR_TREE_TEXT_H_

#include <memory>
#include <string_view>

#include "grammar/parse_tree.h"

namespace marvolen {

// The tree of `bracketed`; null when it is no tree (or is nested deeper than
// any parse of kMaxItems items can be).
std::unique_ptr<ParseTreeNode> ReadBracketedTree(std::string_view bracketed);

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_TREE_TEXT_H_
