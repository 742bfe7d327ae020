// The chart search over the spans of a permutation.
#include "grammar/chart_search.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace marvolen {

namespace {

constexpr int kNoClass = -1;

// One distinct tree over a span: a leaf, or a node of a rule class over the
// trees of its children.
struct Entry {
  int symbol;       // the root label's symbol (kNoSymbol: a leaf no rule mentions)
  int ruleClass;    // kNoClass for a leaf
  int start;        // the first item covered, from 0
  int reductions;   // the nodes of the tree that are not leaves
  int childCount;   // 0 for a leaf
  int children[3];  // entry indexes, left to right
  int nextInGroup;  // the next entry of the same span and symbol, or -1
};

// The entries of one span with the same symbol, linked through nextInGroup.
struct Group {
  int symbol;
  int first;
  int last;
};

// Where the groups of one span lie.
struct Cell {
  int groupBegin = 0, groupEnd = 0;
  int entryBegin = 0, entryEnd = 0;
};

// The choice (position, rule length, rule index) as one number that orders
// like the triple.
std::uint64_t ChoiceKey(int position, int length, int ruleIndex) {
  return (static_cast<std::uint64_t>(position) << 40) |
         (static_cast<std::uint64_t>(length) << 32) | static_cast<std::uint32_t>(ruleIndex);
}

}  // namespace

// The spans are built in order of their end, and for each end from the
// longest span down, so that the spans over the first p items come first and
// depend on nothing else: a search whose first p items are those of the
// search before keeps them and builds only the spans that end later. The
// tag-set report changes mostly its last item from one permutation to the
// next.
struct ChartParseEngine::Chart {
  std::vector<Entry> entries;
  std::vector<Group> groups;
  Cell cells[kMaxItems][kMaxItems + 1];  // [start][length]

  // What the spans built so far were built from.
  const CompiledGrammar* grammar = nullptr;
  int validItems = 0;  // the spans ending at or before this item are built
  std::string items[kMaxItems];
  int symbols[kMaxItems] = {};
  int entriesAfter[kMaxItems + 1] = {};  // entries.size() when end e was done
  int groupsAfter[kMaxItems + 1] = {};

  // The order of the complete parses.
  std::vector<int> roots;
  std::vector<std::uint64_t> keys;
  std::vector<std::uint32_t> keyBegin;  // by position in roots, plus one
  std::vector<int> order;

  void Forget() {
    grammar = nullptr;
    validItems = 0;
  }

  void Add(const Entry& entry) { entries.push_back(entry); }

  // True when `symbol` labels a node on the unary spine of entry e: e, its
  // only child, and so on down to the first leaf or node with several
  // children.
  bool OnUnarySpine(int e, int symbol) const {
    for (;;) {
      const Entry& x = entries[e];
      if (x.symbol == symbol) return true;
      if (x.childCount != 1) return false;
      e = x.children[0];
    }
  }

  void BuildCell(int i, int j, const CompiledGrammar& grammar);

  // The choices of the tree at e in the order that makes its choice sequence
  // greatest: the children's from right to left, then its own.
  void AppendChoices(int e, const CompiledGrammar& grammar) {
    const Entry& x = entries[e];
    for (int k = x.childCount - 1; k >= 0; --k) AppendChoices(x.children[k], grammar);
    if (x.ruleClass != kNoClass) {
      keys.push_back(ChoiceKey(x.start + 1, x.childCount, grammar.Class(x.ruleClass).lastIndex));
    }
  }

  std::unique_ptr<ParseTreeNode> BuildTree(int e, const Permutation& permutation,
                                           const CompiledGrammar& grammar) const {
    const Entry& x = entries[e];
    std::unique_ptr<ParseTreeNode> node;
    if (x.ruleClass == kNoClass) {
      node = std::make_unique<ParseTreeNode>(permutation.items[x.start], "");
      return node;
    }
    const CompiledGrammar::RuleClass& c = grammar.Class(x.ruleClass);
    node = std::make_unique<ParseTreeNode>(c.leftTag, c.treeTitle);
    std::unique_ptr<ParseTreeNode>* slot = &node->firstChild;
    for (int k = 0; k < x.childCount; ++k) {
      *slot = BuildTree(x.children[k], permutation, grammar);
      slot = &(*slot)->nextSibling;
    }
    return node;
  }
};

// Every distinct tree over the items [i, j), from the spans inside it.
void ChartParseEngine::Chart::BuildCell(int i, int j, const CompiledGrammar& grammar) {
  const int begin = static_cast<int>(entries.size());
  if (j - i == 1) {
    Add({symbols[i], kNoClass, i, 0, 0, {0, 0, 0}, -1});
  }
  // Two parts: [i, m) [m, j).
  for (int m = i + 1; m < j; ++m) {
    const Cell& left = cells[i][m - i];
    const Cell& right = cells[m][j - m];
    if (right.groupBegin == right.groupEnd) continue;
    for (int gl = left.groupBegin; gl < left.groupEnd; ++gl) {
      const Group a = groups[gl];
      if (!grammar.BeginsBinary(a.symbol)) continue;
      for (int gr = right.groupBegin; gr < right.groupEnd; ++gr) {
        const Group b = groups[gr];
        for (const int c : grammar.BinaryOver(a.symbol, b.symbol)) {
          const int symbol = grammar.Class(c).left;
          for (int ex = a.first; ex >= 0; ex = entries[ex].nextInGroup) {
            for (int ey = b.first; ey >= 0; ey = entries[ey].nextInGroup) {
              Add({symbol, c, i, 1 + entries[ex].reductions + entries[ey].reductions, 2,
                   {ex, ey, 0}, -1});
            }
          }
        }
      }
    }
  }
  // Three parts: [i, m1) [m1, m2) [m2, j).
  for (int m1 = i + 1; m1 + 1 < j; ++m1) {
    for (int m2 = m1 + 1; m2 < j; ++m2) {
      const Cell& first = cells[i][m1 - i];
      const Cell& second = cells[m1][m2 - m1];
      const Cell& third = cells[m2][j - m2];
      if (second.groupBegin == second.groupEnd || third.groupBegin == third.groupEnd) continue;
      for (int g1 = first.groupBegin; g1 < first.groupEnd; ++g1) {
        const Group a = groups[g1];
        if (!grammar.BeginsTernary(a.symbol)) continue;
        for (int g2 = second.groupBegin; g2 < second.groupEnd; ++g2) {
          const Group b = groups[g2];
          for (int g3 = third.groupBegin; g3 < third.groupEnd; ++g3) {
            const Group d = groups[g3];
            for (const int c : grammar.TernaryOver(a.symbol, b.symbol, d.symbol)) {
              const int symbol = grammar.Class(c).left;
              for (int ex = a.first; ex >= 0; ex = entries[ex].nextInGroup) {
                for (int ey = b.first; ey >= 0; ey = entries[ey].nextInGroup) {
                  for (int ez = d.first; ez >= 0; ez = entries[ez].nextInGroup) {
                    Add({symbol, c, i,
                         1 + entries[ex].reductions + entries[ey].reductions +
                             entries[ez].reductions,
                         3, {ex, ey, ez}, -1});
                  }
                }
              }
            }
          }
        }
      }
    }
  }
  // One-item rules over every tree of the span, the new ones included;
  // never a rule whose left tag is already on the tree's unary spine, so
  // that cycles of one-item rules end.
  for (int e = begin; e < static_cast<int>(entries.size()); ++e) {
    const int item = entries[e].symbol;
    if (item == CompiledGrammar::kNoSymbol) continue;
    for (const int c : grammar.UnaryOver(item)) {
      const int symbol = grammar.Class(c).left;
      if (OnUnarySpine(e, symbol)) continue;
      Add({symbol, c, i, 1 + entries[e].reductions, 1, {e, 0, 0}, -1});
    }
  }

  // Group the span's trees by symbol for the spans above it, each group in
  // the order of its trees. Trees that no rule can take are left out.
  Cell& cell = cells[i][j - i];
  cell.entryBegin = begin;
  cell.entryEnd = static_cast<int>(entries.size());
  cell.groupBegin = static_cast<int>(groups.size());
  for (int e = begin; e < cell.entryEnd; ++e) {
    const int symbol = entries[e].symbol;
    if (symbol == CompiledGrammar::kNoSymbol) continue;
    int g = cell.groupBegin;
    const int groupEnd = static_cast<int>(groups.size());
    while (g < groupEnd && groups[g].symbol != symbol) ++g;
    if (g == groupEnd) {
      groups.push_back({symbol, e, e});
    } else {
      entries[groups[g].last].nextInGroup = e;
      groups[g].last = e;
    }
  }
  cell.groupEnd = static_cast<int>(groups.size());
}

ChartParseEngine::ChartParseEngine(const RuleSet& rules)
    : ChartParseEngine(rules, std::make_shared<const CompiledGrammar>(rules)) {}

ChartParseEngine::ChartParseEngine(const RuleSet& rules,
                                   std::shared_ptr<const CompiledGrammar> grammar)
    : rules_(&rules), grammar_(std::move(grammar)), chart_(std::make_unique<Chart>()) {}

ChartParseEngine::~ChartParseEngine() = default;

ParseList ChartParseEngine::FindDistinctParses(const Permutation& permutation,
                                               const RuleSet& rules) {
  if (&rules == rules_) return Search(permutation, *grammar_);
  // A grammar made for this call only: nothing built from it may be kept.
  chart_->Forget();
  const CompiledGrammar other(rules);
  ParseList parses = Search(permutation, other);
  chart_->Forget();
  return parses;
}

ParseList ChartParseEngine::Search(const Permutation& permutation,
                                   const CompiledGrammar& grammar) {
  const int n = std::clamp(permutation.currentItemCount, 0, kMaxItems);
  if (n == 0) return {};
  Chart& chart = *chart_;
  // Keep the spans over the items that are the same as before.
  if (chart.grammar != &grammar) {
    chart.Forget();
    chart.grammar = &grammar;
  }
  int same = 0;
  while (same < n && same < chart.validItems && permutation.items[same] == chart.items[same]) {
    ++same;
  }
  chart.entries.resize(chart.entriesAfter[same]);
  chart.groups.resize(chart.groupsAfter[same]);
  for (int j = same + 1; j <= n; ++j) {
    chart.items[j - 1] = permutation.items[j - 1];
    chart.symbols[j - 1] = grammar.SymbolOf(permutation.items[j - 1]);
    for (int i = j - 1; i >= 0; --i) chart.BuildCell(i, j, grammar);
    chart.entriesAfter[j] = static_cast<int>(chart.entries.size());
    chart.groupsAfter[j] = static_cast<int>(chart.groups.size());
  }
  chart.validItems = n;

  // The trees over all items are the complete parses: most reductions first,
  // then the greatest choice sequence first.
  const Cell& whole = chart.cells[0][n];
  std::vector<int>& roots = chart.roots;
  roots.clear();
  for (int e = whole.entryBegin; e < whole.entryEnd; ++e) roots.push_back(e);
  if (roots.size() > 1) {
    chart.keys.clear();
    chart.keyBegin.clear();
    for (const int r : roots) {
      chart.keyBegin.push_back(static_cast<std::uint32_t>(chart.keys.size()));
      chart.AppendChoices(r, grammar);
    }
    chart.keyBegin.push_back(static_cast<std::uint32_t>(chart.keys.size()));
    // Sort positions in roots, then map them to entries.
    std::vector<int>& order = chart.order;
    order.resize(roots.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
    const std::vector<Entry>& entries = chart.entries;
    std::sort(order.begin(), order.end(), [&chart, &entries, &roots](int p, int q) {
      const int rp = entries[roots[p]].reductions, rq = entries[roots[q]].reductions;
      if (rp != rq) return rp > rq;
      return std::lexicographical_compare(
          chart.keys.begin() + chart.keyBegin[q], chart.keys.begin() + chart.keyBegin[q + 1],
          chart.keys.begin() + chart.keyBegin[p], chart.keys.begin() + chart.keyBegin[p + 1]);
    });
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = roots[order[k]];
    roots.swap(order);
  }

  ParseList parses;
  parses.reserve(roots.size());
  for (const int r : roots) parses.push_back(chart.BuildTree(r, permutation, grammar));
  return parses;
}

}  // namespace marvolen
