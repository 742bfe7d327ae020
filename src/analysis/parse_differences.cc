// Marking where the parses of one sequence differ.
#include "analysis/parse_differences.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace marvolen {

namespace {

// A node of one of the parses: what makes it the same as a node of another
// parse (its label, title and span; for overt ambiguity its label alone),
// and where it is.
struct Constituent {
  std::string_view label, title;
  int first, end;
  std::uint32_t parse;
  std::uint32_t node;  // in preorder
};

bool SameKey(const Constituent& a, const Constituent& b) {
  return a.label == b.label && a.title == b.title && a.first == b.first && a.end == b.end;
}

// Append the nodes of `node`'s subtree that count (not leaves) in preorder;
// `nextLeaf` counts the leaves met so far, `preorder` the nodes.
void Collect(const ParseTreeNode& node, std::uint32_t parse, int& nextLeaf, std::uint32_t& preorder,
             std::vector<Constituent>& out) {
  const std::uint32_t at = preorder++;
  const int first = nextLeaf;
  if (!node.firstChild) {
    ++nextLeaf;
    return;
  }
  const std::size_t slot = out.size();
  out.push_back({node.label, node.title, first, 0, parse, at});
  for (const ParseTreeNode* child = node.firstChild.get(); child;
       child = child->nextSibling.get()) {
    Collect(*child, parse, nextLeaf, preorder, out);
  }
  out[slot].end = nextLeaf;
}

std::uint32_t CountNodes(const ParseTreeNode& node) {
  std::uint32_t count = 1;
  for (const ParseTreeNode* child = node.firstChild.get(); child;
       child = child->nextSibling.get()) {
    count += CountNodes(*child);
  }
  return count;
}

}  // namespace

ParseMarks MarkDifferences(const ParseList& parses, PermutationClass judgement) {
  ParseMarks marks(parses.size());
  for (std::size_t p = 0; p < parses.size(); ++p) marks[p].assign(CountNodes(*parses[p]), false);
  if (judgement != PermutationClass::Overt && judgement != PermutationClass::Covert) return marks;

  // Marked: what not every parse has. For overt ambiguity that is the root
  // label (a lone item standing as its own parse included), for covert
  // ambiguity a constituent.
  std::vector<Constituent> nodes;
  for (std::size_t p = 0; p < parses.size(); ++p) {
    const auto parse = static_cast<std::uint32_t>(p);
    if (judgement == PermutationClass::Overt) {
      nodes.push_back({parses[p]->label, {}, 0, 0, parse, 0});
    } else {
      int leaves = 0;
      std::uint32_t preorder = 0;
      Collect(*parses[p], parse, leaves, preorder, nodes);
    }
  }
  // Equal constituents side by side, each run by parse: a run that does not
  // reach every parse is marked.
  // (The spans first: comparing them is cheaper than the texts.)
  std::sort(nodes.begin(), nodes.end(), [](const Constituent& a, const Constituent& b) {
    if (a.first != b.first) return a.first < b.first;
    if (a.end != b.end) return a.end < b.end;
    if (a.label != b.label) return a.label < b.label;
    if (a.title != b.title) return a.title < b.title;
    return a.parse < b.parse;
  });
  for (std::size_t begin = 0; begin < nodes.size();) {
    std::size_t end = begin + 1;
    std::size_t having = 1;
    for (; end < nodes.size() && SameKey(nodes[begin], nodes[end]); ++end) {
      if (nodes[end].parse != nodes[end - 1].parse) ++having;
    }
    if (having < parses.size()) {
      for (std::size_t k = begin; k < end; ++k) marks[nodes[k].parse][nodes[k].node] = true;
    }
    begin = end;
  }
  return marks;
}

}  // namespace marvolen
