// Parse trees: the structure that the reduction search builds over the items
// of a permutation, and its bracketed text in the report.
//
// A node owns its first child and its next sibling; the children of a node
// are the chain that starts at firstChild and follows nextSibling. Nothing is
// ever shared: copies are deep, so every tree can be released on its own.
#ifndef MARVOLEN_GRAMMAR_PARSE_TREE_H_
#define MARVOLEN_GRAMMAR_PARSE_TREE_H_

#include <memory>
#include <string>
#include <string_view>

namespace marvolen {

struct ParseTreeNode {
  ParseTreeNode() = default;
  ParseTreeNode(std::string_view labelText, std::string_view titleText)
      : label(labelText), title(titleText) {}

  // The symbol text: the item for a leaf, the rule's left tag otherwise.
  // Held whole, however long the item is.
  std::string label;
  // Empty for a leaf; the rule's tree title for a reduction node (whole).
  std::string title;
  std::unique_ptr<ParseTreeNode> firstChild;
  std::unique_ptr<ParseTreeNode> nextSibling;
};

// A deep copy of `node`, of all its descendants and of its whole chain of
// next siblings; null for null.
std::unique_ptr<ParseTreeNode> CopyTree(const ParseTreeNode* node);

// True when the two trees (each with its sibling chain) have the same shape
// and the same label and title at every node. Two nulls are equal.
bool TreesEqual(const ParseTreeNode* a, const ParseTreeNode* b);

// Make `child` the last child of `parent`. Appending null changes nothing.
void AppendChild(ParseTreeNode& parent, std::unique_ptr<ParseTreeNode> child);

// Append the bracketed text of `node` and its sibling chain to `text`:
// "(" label[":" title][children] {"," ...} ")", where the children are
// themselves bracketed and a leaf prints as its bare label. Null appends
// nothing. Labels and titles are copied verbatim.
void PrintTree(const ParseTreeNode* node, std::string& text);

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_PARSE_TREE_H_
