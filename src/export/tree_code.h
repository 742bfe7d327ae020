// A compact text of parse trees for the HTML report's script, which draws
// them: every label and title is the number of a string in a table that
// grows as the report is written, so a tree of five items takes about thirty
// bytes whatever its labels are, and no label can be taken for a bracket.
//
//   node := ["*"] label [":" title] ["(" node ("," node)* ")"]
//
// label and title are decimal numbers into the table, "*" marks a node that
// the drawing marks. A leaf is a node without children. The bracketed text
// the report writes follows from it: "(" node ")" with the numbers replaced
// by their strings and the marks left out.
#ifndef MARVOLEN_EXPORT_TREE_CODE_H_
#define MARVOLEN_EXPORT_TREE_CODE_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "grammar/parse_tree.h"

namespace marvolen {

// The strings of a page's table: numbered in the order first met; each new
// one is handed out once, to be written before the text that uses it.
class StringTable {
 public:
  // The number of a GBK string, which is added when it is new.
  int Index(std::string_view gbk);

  // The strings added since the last call (GBK), in number order.
  std::vector<std::string> TakeNew();

  // The number of strings held.
  std::size_t size() const { return strings_.size(); }

  // Forget every string numbered `size` or above, as if never met (those
  // not yet taken included).
  void TruncateTo(std::size_t size);

 private:
  // Looked up by a view of the string, without a copy.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  std::vector<std::string> strings_;
  std::unordered_map<std::string, int, Hash, std::equal_to<>> numbers_;
  std::size_t taken_ = 0;  // strings_[taken_...] are new
};

// Append the code of the tree at `root` (its siblings are not part of it) to
// `out`; marks[n] tells whether node n in preorder is marked (missing:
// unmarked).
void AppendTreeCode(const ParseTreeNode& root, const std::vector<bool>& marks, StringTable& table,
                    std::string& out);

}  // namespace marvolen

#endif  // MARVOLEN_EXPORT_TREE_CODE_H_
