// Copying, comparing and printing parse trees.
#include "grammar/parse_tree.h"

namespace marvolen {

std::unique_ptr<ParseTreeNode> CopyTree(const ParseTreeNode* node) {
  if (node == nullptr) return nullptr;
  auto copy = std::make_unique<ParseTreeNode>(node->label, node->title);
  copy->firstChild = CopyTree(node->firstChild.get());
  copy->nextSibling = CopyTree(node->nextSibling.get());
  return copy;
}

bool TreesEqual(const ParseTreeNode* a, const ParseTreeNode* b) {
  if (a == nullptr || b == nullptr) return a == b;
  if (a->label != b->label || a->title != b->title) return false;
  return TreesEqual(a->firstChild.get(), b->firstChild.get()) &&
         TreesEqual(a->nextSibling.get(), b->nextSibling.get());
}

void AppendChild(ParseTreeNode& parent, std::unique_ptr<ParseTreeNode> child) {
  if (child == nullptr) return;
  std::unique_ptr<ParseTreeNode>* slot = &parent.firstChild;
  while (*slot != nullptr) slot = &(*slot)->nextSibling;
  *slot = std::move(child);
}

void PrintTree(const ParseTreeNode* node, std::string& text) {
  if (node == nullptr) return;
  text += '(';
  for (; node != nullptr; node = node->nextSibling.get()) {
    text += node->label;
    if (!node->title.empty()) {
      text += ':';
      text += node->title;
    }
    PrintTree(node->firstChild.get(), text);
    if (node->nextSibling != nullptr) text += ',';
  }
  text += ')';
}

}  // namespace marvolen
