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
};

// The entries of one span with the same symbol: byLabel[begin, end).
struct Group {
  int symbol;
  int begin, end;
};

// Where the entries and groups of one span lie.
struct Cell {
  int groupBegin = 0, groupEnd = 0;
};

// The choice (position, rule length, rule index) as one number that orders
// like the triple.
std::uint64_t ChoiceKey(int position, int length, int ruleIndex) {
  return (static_cast<std::uint64_t>(position) << 40) |
         (static_cast<std::uint64_t>(length) << 32) | static_cast<std::uint32_t>(ruleIndex);
}

}  // namespace

struct ChartParseEngine::Chart {
  std::vector<Entry> entries;
  std::vector<int> byLabel;
  std::vector<Group> groups;
  Cell cells[kMaxItems][kMaxItems + 1];  // [start][length]
  std::vector<std::pair<int, int>> sortScratch;  // (symbol, entry)

  // The order of the complete parses.
  std::vector<int> roots;
  std::vector<std::uint64_t> keys;
  std::vector<std::uint32_t> keyBegin;  // by position in roots, plus one

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

ChartParseEngine::ChartParseEngine(const RuleSet& rules)
    : ChartParseEngine(rules, std::make_shared<const CompiledGrammar>(rules)) {}

ChartParseEngine::ChartParseEngine(const RuleSet& rules,
                                   std::shared_ptr<const CompiledGrammar> grammar)
    : rules_(&rules), grammar_(std::move(grammar)), chart_(std::make_unique<Chart>()) {}

ChartParseEngine::~ChartParseEngine() = default;

ParseList ChartParseEngine::FindDistinctParses(const Permutation& permutation,
                                               const RuleSet& rules) {
  if (&rules == rules_) return Search(permutation, *grammar_);
  const CompiledGrammar other(rules);
  return Search(permutation, other);
}

ParseList ChartParseEngine::Search(const Permutation& permutation,
                                   const CompiledGrammar& grammar) {
  const int n = std::clamp(permutation.currentItemCount, 0, kMaxItems);
  if (n == 0) return {};
  Chart& chart = *chart_;
  std::vector<Entry>& entries = chart.entries;
  entries.clear();
  chart.byLabel.clear();
  chart.groups.clear();

  // Spans from the shortest up, so that the parts of a span are complete
  // before the span is.
  for (int length = 1; length <= n; ++length) {
    for (int i = 0; i + length <= n; ++i) {
      const int j = i + length;
      const int begin = static_cast<int>(entries.size());
      if (length == 1) {
        chart.Add({grammar.SymbolOf(permutation.items[i]), kNoClass, i, 0, 0, {0, 0, 0}});
      }
      // Two parts: [i, m) [m, j).
      for (int m = i + 1; m < j; ++m) {
        const Cell& left = chart.cells[i][m - i];
        const Cell& right = chart.cells[m][j - m];
        for (int gl = left.groupBegin; gl < left.groupEnd; ++gl) {
          const Group a = chart.groups[gl];
          if (!grammar.BeginsBinary(a.symbol)) continue;
          for (int gr = right.groupBegin; gr < right.groupEnd; ++gr) {
            const Group b = chart.groups[gr];
            for (const int c : grammar.BinaryOver(a.symbol, b.symbol)) {
              const int symbol = grammar.Class(c).left;
              for (int x = a.begin; x < a.end; ++x) {
                const int ex = chart.byLabel[x];
                for (int y = b.begin; y < b.end; ++y) {
                  const int ey = chart.byLabel[y];
                  chart.Add({symbol, c, i, 1 + entries[ex].reductions + entries[ey].reductions,
                             2, {ex, ey, 0}});
                }
              }
            }
          }
        }
      }
      // Three parts: [i, m1) [m1, m2) [m2, j).
      for (int m1 = i + 1; m1 + 1 < j; ++m1) {
        for (int m2 = m1 + 1; m2 < j; ++m2) {
          const Cell& first = chart.cells[i][m1 - i];
          const Cell& second = chart.cells[m1][m2 - m1];
          const Cell& third = chart.cells[m2][j - m2];
          for (int g1 = first.groupBegin; g1 < first.groupEnd; ++g1) {
            const Group a = chart.groups[g1];
            if (!grammar.BeginsTernary(a.symbol)) continue;
            for (int g2 = second.groupBegin; g2 < second.groupEnd; ++g2) {
              const Group b = chart.groups[g2];
              for (int g3 = third.groupBegin; g3 < third.groupEnd; ++g3) {
                const Group d = chart.groups[g3];
                for (const int c : grammar.TernaryOver(a.symbol, b.symbol, d.symbol)) {
                  const int symbol = grammar.Class(c).left;
                  for (int x = a.begin; x < a.end; ++x) {
                    const int ex = chart.byLabel[x];
                    for (int y = b.begin; y < b.end; ++y) {
                      const int ey = chart.byLabel[y];
                      for (int z = d.begin; z < d.end; ++z) {
                        const int ez = chart.byLabel[z];
                        chart.Add({symbol, c, i,
                                   1 + entries[ex].reductions + entries[ey].reductions +
                                       entries[ez].reductions,
                                   3, {ex, ey, ez}});
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
          if (chart.OnUnarySpine(e, symbol)) continue;
          chart.Add({symbol, c, i, 1 + entries[e].reductions, 1, {e, 0, 0}});
        }
      }

      // Group the span's trees by symbol for the spans above it. Trees that
      // no rule can take are left out.
      const int end = static_cast<int>(entries.size());
      Cell& cell = chart.cells[i][length];
      cell.groupBegin = static_cast<int>(chart.groups.size());
      if (length < n) {
        auto& pairs = chart.sortScratch;
        pairs.clear();
        for (int e = begin; e < end; ++e) {
          if (entries[e].symbol != CompiledGrammar::kNoSymbol) {
            pairs.emplace_back(entries[e].symbol, e);
          }
        }
        std::sort(pairs.begin(), pairs.end());
        for (std::size_t k = 0; k < pairs.size(); ++k) {
          const int at = static_cast<int>(chart.byLabel.size());
          chart.byLabel.push_back(pairs[k].second);
          if (k == 0 || pairs[k].first != pairs[k - 1].first) {
            chart.groups.push_back({pairs[k].first, at, at + 1});
          } else {
            chart.groups.back().end = at + 1;
          }
        }
      } else {
        // The whole permutation: its trees are the complete parses.
        chart.roots.clear();
        for (int e = begin; e < end; ++e) chart.roots.push_back(e);
      }
      cell.groupEnd = static_cast<int>(chart.groups.size());
    }
  }

  // Most reductions first, then the greatest choice sequence first.
  std::vector<int>& roots = chart.roots;
  if (roots.size() > 1) {
    chart.keys.clear();
    chart.keyBegin.clear();
    for (const int r : roots) {
      chart.keyBegin.push_back(static_cast<std::uint32_t>(chart.keys.size()));
      chart.AppendChoices(r, grammar);
    }
    chart.keyBegin.push_back(static_cast<std::uint32_t>(chart.keys.size()));
    // Sort positions in roots, then map them to entries.
    std::vector<int> order(roots.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
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
