// The compact text of parse trees.
#include "export/tree_code.h"

namespace marvolen {

int StringTable::Index(std::string_view gbk) {
  if (const auto found = numbers_.find(gbk); found != numbers_.end()) return found->second;
  const int number = static_cast<int>(strings_.size());
  numbers_.emplace(std::string(gbk), number);
  strings_.emplace_back(gbk);
  return number;
}

std::vector<std::string> StringTable::TakeNew() {
  std::vector<std::string> taken(strings_.begin() + static_cast<std::ptrdiff_t>(taken_),
                                 strings_.end());
  taken_ = strings_.size();
  return taken;
}

void StringTable::TruncateTo(std::size_t size) {
  while (strings_.size() > size) {
    numbers_.erase(strings_.back());
    strings_.pop_back();
  }
  if (taken_ > size) taken_ = size;
}

namespace {

void AppendNode(const ParseTreeNode& node, const std::vector<bool>& marks, std::size_t& preorder,
                StringTable& table, std::string& out) {
  if (preorder < marks.size() && marks[preorder]) out += '*';
  ++preorder;
  out += std::to_string(table.Index(node.label));
  if (!node.title.empty()) {
    out += ':';
    out += std::to_string(table.Index(node.title));
  }
  if (node.firstChild == nullptr) return;
  out += '(';
  for (const ParseTreeNode* child = node.firstChild.get(); child != nullptr;
       child = child->nextSibling.get()) {
    if (child != node.firstChild.get()) out += ',';
    AppendNode(*child, marks, preorder, table, out);
  }
  out += ')';
}

}  // namespace

void AppendTreeCode(const ParseTreeNode& root, const std::vector<bool>& marks, StringTable& table,
                    std::string& out) {
  std::size_t preorder = 0;
  AppendNode(root, marks, preorder, table, out);
}

}  // namespace marvolen
