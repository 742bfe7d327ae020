// Marking where the parses of one sequence differ.
#include "analysis/parse_differences.h"

#include <map>
#include <set>
#include <string>
#include <tuple>

namespace marvolen {

namespace {

// A constituent: a label and a title over the leaves [first, end).
using Constituent = std::tuple<std::string, std::string, int, int>;

// The nodes of one tree in preorder, each with its constituent (leaves
// have none that counts).
struct PreorderNode {
  bool leaf;
  Constituent constituent;
};

// Append the nodes of `node`'s subtree in preorder; `nextLeaf` counts the
// leaves met so far.
void Collect(const ParseTreeNode& node, int& nextLeaf, std::vector<PreorderNode>& out) {
  const std::size_t at = out.size();
  out.push_back({node.firstChild == nullptr, {}});
  const int first = nextLeaf;
  if (!node.firstChild) {
    ++nextLeaf;
  } else {
    for (const ParseTreeNode* child = node.firstChild.get(); child;
         child = child->nextSibling.get()) {
      Collect(*child, nextLeaf, out);
    }
  }
  out[at].constituent = {node.label, node.title, first, nextLeaf};
}

}  // namespace

ParseMarks MarkDifferences(const ParseList& parses, PermutationClass judgement) {
  std::vector<std::vector<PreorderNode>> trees(parses.size());
  ParseMarks marks(parses.size());
  for (std::size_t p = 0; p < parses.size(); ++p) {
    int leaves = 0;
    Collect(*parses[p], leaves, trees[p]);
    marks[p].assign(trees[p].size(), false);
  }
  if (judgement != PermutationClass::Overt && judgement != PermutationClass::Covert) return marks;

  // Marked: what not every parse has. For overt ambiguity that is the root
  // label (a lone item standing as its own parse included), for covert
  // ambiguity a constituent.
  const bool rootsOnly = judgement == PermutationClass::Overt;
  auto keyOf = [rootsOnly](const PreorderNode& node) {
    return rootsOnly ? Constituent{std::get<0>(node.constituent), "", 0, 0} : node.constituent;
  };
  auto considered = [rootsOnly](const PreorderNode& node, std::size_t n) {
    return rootsOnly ? n == 0 : !node.leaf;
  };
  std::map<Constituent, std::size_t> parsesHaving;
  for (const auto& nodes : trees) {
    std::set<Constituent> seen;
    for (std::size_t n = 0; n < nodes.size(); ++n) {
      if (considered(nodes[n], n)) seen.insert(keyOf(nodes[n]));
    }
    for (const Constituent& c : seen) ++parsesHaving[c];
  }
  for (std::size_t p = 0; p < trees.size(); ++p) {
    for (std::size_t n = 0; n < trees[p].size(); ++n) {
      if (considered(trees[p][n], n)) {
        marks[p][n] = parsesHaving[keyOf(trees[p][n])] < parses.size();
      }
    }
  }
  return marks;
}

}  // namespace marvolen
