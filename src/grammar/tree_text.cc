// Reading a parse tree from its bracketed text.
#include "grammar/tree_text.h"

namespace marvolen {

namespace {

class TreeTextReader {
 public:
  explicit TreeTextReader(std::string_view text) : text_(text) {}

  std::unique_ptr<ParseTreeNode> ReadWhole() {
    std::unique_ptr<ParseTreeNode> root;
    if (!text_.empty() && text_.front() == '(') {
      ++at_;
      root = Node(0);
      if (root == nullptr || at_ + 1 != text_.size() || text_[at_] != ')') return nullptr;
      return root;
    }
    root = Node(0);
    return at_ == text_.size() ? std::move(root) : nullptr;
  }

 private:
  static bool Special(char c) { return c == ':' || c == '(' || c == ')' || c == ','; }

  std::string_view Word() {
    const std::size_t start = at_;
    while (at_ < text_.size() && !Special(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }

  std::unique_ptr<ParseTreeNode> Node(int depth) {
    // A tree is no deeper than its items allow; this bounds the recursion.
    if (depth > 64) return nullptr;
    const std::string_view label = Word();
    if (label.empty()) return nullptr;
    std::string_view title;
    const bool titled = at_ < text_.size() && text_[at_] == ':';
    if (titled) {
      ++at_;
      title = Word();
    }
    auto node = std::make_unique<ParseTreeNode>(label, title);
    if (at_ >= text_.size() || text_[at_] != '(') return titled ? nullptr : std::move(node);
    ++at_;
    for (;;) {
      std::unique_ptr<ParseTreeNode> child = Node(depth + 1);
      if (child == nullptr || at_ >= text_.size()) return nullptr;
      AppendChild(*node, std::move(child));
      if (text_[at_] == ',') {
        ++at_;
        continue;
      }
      if (text_[at_] != ')') return nullptr;
      ++at_;
      return node;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

std::unique_ptr<ParseTreeNode> ReadBracketedTree(std::string_view bracketed) {
  return TreeTextReader(bracketed).ReadWhole();
}

}  // namespace marvolen
