// Building and copying symbol lists.
#include "grammar/symbols.h"

#include <algorithm>

namespace marvolen {

namespace {

std::unique_ptr<SymbolNode> CopySymbol(const SymbolNode& symbol) {
  auto copy = std::make_unique<SymbolNode>();
  copy->text = symbol.text;
  copy->tree = CopyTree(symbol.tree.get());
  return copy;
}

}  // namespace

std::unique_ptr<SymbolNode> BuildInitialSymbols(const Permutation& permutation) {
  const int count = std::min(permutation.currentItemCount, kMaxItems);
  std::unique_ptr<SymbolNode> first;
  for (int k = count - 1; k >= 0; --k) {
    auto node = std::make_unique<SymbolNode>();
    node->text = permutation.items[k];
    node->next = std::move(first);
    first = std::move(node);
  }
  return first;
}

int CountSymbols(const SymbolNode* first) {
  int count = 0;
  for (; first != nullptr; first = first->next.get()) ++count;
  return count;
}

std::unique_ptr<SymbolNode> BuildSuccessor(const SymbolNode* old, const SymbolNode* first,
                                           std::unique_ptr<SymbolNode> node,
                                           const SymbolNode* last) {
  std::unique_ptr<SymbolNode> head;
  std::unique_ptr<SymbolNode>* tail = &head;
  const SymbolNode* s = old;
  for (; s != nullptr && s != first; s = s->next.get()) {
    *tail = CopySymbol(*s);
    tail = &(*tail)->next;
  }
  for (; s != nullptr; s = s->next.get()) {
    AppendChild(*node->tree, CopyTree(s->tree.get()));
    if (s == last) {
      s = s->next.get();
      break;
    }
  }
  *tail = std::move(node);
  tail = &(*tail)->next;
  for (; s != nullptr; s = s->next.get()) {
    *tail = CopySymbol(*s);
    tail = &(*tail)->next;
  }
  return head;
}

}  // namespace marvolen
