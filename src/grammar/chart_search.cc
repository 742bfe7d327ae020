// The chart search over the spans of a permutation.
#include "grammar/chart_search.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace marvolen {

namespace {

constexpr int kNoClass = -1;

// Thrown when a search would build more trees than its budget.
struct OverBudget {};

// How often long loops look at the stop token.
constexpr std::size_t kStopCheckInterval = 1 << 16;

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
// like the triple: positions are at most 5, lengths 3, and a rule table
// holds far fewer than 2^20 rules. 32 bits, as a line of a million parses
// keeps ten of these for each.
std::uint32_t ChoiceKey(int position, int length, int ruleIndex) {
  return (static_cast<std::uint32_t>(position) << 24) | (static_cast<std::uint32_t>(length) << 20) |
         static_cast<std::uint32_t>(ruleIndex);
}

}  // namespace

// The spans are built in order of their end, and for each end from the
// longest span down, so that the spans over the first p items come first and
// depend on nothing else: a search whose first p items are those of the
// search before keeps them and builds only the spans that end later. The
// tag-set report changes mostly its last item from one permutation to the
// next.
struct ChartParseEngine::Chart {
  Chart(const CompiledGrammar& compiled, std::stop_token stopToken, std::size_t entryBudget)
      : grammar(compiled), stop(std::move(stopToken)), budget(entryBudget) {}

  const CompiledGrammar& grammar;
  std::stop_token stop;
  std::size_t budget;  // the most entries a full build may make

  std::vector<Entry> entries;
  std::vector<Group> groups;
  Cell cells[kMaxItems][kMaxItems + 1];  // [start][length]

  // What the spans built so far were built from.
  int validItems = 0;  // the spans ending at or before this item are built
  // Only the trees a complete parse uses (ParseCounter::MarkUsed) are
  // built, without a budget; null to build every tree of every span.
  const ParseCounter* used = nullptr;
  std::string items[kMaxItems];
  int symbols[kMaxItems] = {};
  int entriesAfter[kMaxItems + 1] = {};  // entries.size() when end e was done
  int groupsAfter[kMaxItems + 1] = {};

  // The complete parses of the items built, once they are to be listed:
  // `listed` says so, `sorted` that roots is in list order.
  bool listed = false;
  bool sorted = false;
  int rootItems = 0;

  // The order of the complete parses.
  std::vector<int> roots;
  std::vector<std::uint32_t> keys;
  std::vector<std::size_t> keyBegin;  // by position in roots, plus one
  std::vector<int> order;

  void Forget() {
    validItems = 0;
    listed = false;
  }

  void Add(const Entry& entry) {
    if (used == nullptr && entries.size() >= budget) throw OverBudget();
    if (entries.size() % kStopCheckInterval == 0 && stop.stop_requested()) throw SearchStopped();
    entries.push_back(entry);
  }

  // Build the spans over items the chart does not hold yet (or all of
  // them, after Forget), every tree of each (used null) or the used ones.
  void Build(const Permutation& permutation, int n);
  ParseSummary Summary(int n) const;
  // Put the whole span's trees in list order, in roots.
  void Sort(int n);
  void PrintRoot(int e, std::string& out) const;
  void PrintNode(int e, std::string& out) const;

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

  void BuildCell(int i, int j);

  // The choices of the tree at e in the order that makes its choice sequence
  // greatest: the children's from right to left, then its own.
  void AppendChoices(int e) {
    const Entry& x = entries[e];
    for (int k = x.childCount - 1; k >= 0; --k) AppendChoices(x.children[k]);
    if (x.ruleClass != kNoClass) {
      keys.push_back(ChoiceKey(x.start + 1, x.childCount, grammar.Class(x.ruleClass).lastIndex));
    }
  }

  std::unique_ptr<ParseTreeNode> BuildTree(int e) const {
    const Entry& x = entries[e];
    std::unique_ptr<ParseTreeNode> node;
    if (x.ruleClass == kNoClass) {
      node = std::make_unique<ParseTreeNode>(items[x.start], "");
      return node;
    }
    const CompiledGrammar::RuleClass& c = grammar.Class(x.ruleClass);
    node = std::make_unique<ParseTreeNode>(c.leftTag, c.treeTitle);
    std::unique_ptr<ParseTreeNode>* slot = &node->firstChild;
    for (int k = 0; k < x.childCount; ++k) {
      *slot = BuildTree(x.children[k]);
      slot = &(*slot)->nextSibling;
    }
    return node;
  }
};

// Every distinct tree over the items [i, j), from the spans inside it.
void ChartParseEngine::Chart::BuildCell(int i, int j) {
  const int begin = static_cast<int>(entries.size());
  // With `used`, a tree is built only when a complete parse can use it.
  const auto wanted = [this, i, j](int symbol) {
    return used == nullptr || used->BaseUsed(i, j - i, symbol);
  };
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
          if (!wanted(symbol)) continue;
          for (int ex = a.first; ex >= 0; ex = entries[ex].nextInGroup) {
            for (int ey = b.first; ey >= 0; ey = entries[ey].nextInGroup) {
              Add({symbol,
                   c,
                   i,
                   1 + entries[ex].reductions + entries[ey].reductions,
                   2,
                   {ex, ey, 0},
                   -1});
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
              if (!wanted(symbol)) continue;
              for (int ex = a.first; ex >= 0; ex = entries[ex].nextInGroup) {
                for (int ey = b.first; ey >= 0; ey = entries[ey].nextInGroup) {
                  for (int ez = d.first; ez >= 0; ez = entries[ez].nextInGroup) {
                    Add({symbol,
                         c,
                         i,
                         1 + entries[ex].reductions + entries[ey].reductions +
                             entries[ez].reductions,
                         3,
                         {ex, ey, ez},
                         -1});
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
      if (used != nullptr && !used->LeadsToUsed(i, j - i, symbol)) continue;
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

void ChartParseEngine::Chart::Build(const Permutation& permutation, int n) {
  listed = false;
  // Keep the spans over the items that are the same as before.
  int same = 0;
  while (same < n && same < validItems && permutation.items[same] == items[same]) ++same;
  validItems = 0;  // until the build below is done
  entries.resize(entriesAfter[same]);
  groups.resize(groupsAfter[same]);
  for (int j = same + 1; j <= n; ++j) {
    items[j - 1] = permutation.items[j - 1];
    symbols[j - 1] = grammar.SymbolOf(permutation.items[j - 1]);
    for (int i = j - 1; i >= 0; --i) BuildCell(i, j);
    entriesAfter[j] = static_cast<int>(entries.size());
    groupsAfter[j] = static_cast<int>(groups.size());
  }
  // Trees built for one line's complete parses only serve no other line.
  validItems = used == nullptr ? n : 0;
}

ParseSummary ChartParseEngine::Chart::Summary(int n) const {
  const Cell& whole = cells[0][n];
  ParseSummary summary;
  summary.count = static_cast<std::uint64_t>(whole.entryEnd - whole.entryBegin);
  for (int e = whole.entryBegin + 1; e < whole.entryEnd && !summary.rootsDiffer; ++e) {
    summary.rootsDiffer = entries[e].symbol != entries[whole.entryBegin].symbol;
  }
  return summary;
}

// The trees over all items are the complete parses: most reductions first,
// then the greatest choice sequence first.
void ChartParseEngine::Chart::Sort(int n) {
  const Cell& whole = cells[0][n];
  roots.clear();
  for (int e = whole.entryBegin; e < whole.entryEnd; ++e) roots.push_back(e);
  if (roots.size() > 1) {
    keys.clear();
    keyBegin.clear();
    for (const int r : roots) {
      keyBegin.push_back(keys.size());
      AppendChoices(r);
    }
    keyBegin.push_back(keys.size());
    // Sort positions in roots, then map them to entries. A sort of very
    // many parses looks at the stop token now and then.
    order.resize(roots.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
    std::size_t comparisons = 0;
    const bool checkStop = roots.size() > kStopCheckInterval;
    std::sort(order.begin(), order.end(), [&](int p, int q) {
      if (checkStop && ++comparisons % kStopCheckInterval == 0 && stop.stop_requested()) {
        throw SearchStopped();
      }
      const int rp = entries[roots[p]].reductions, rq = entries[roots[q]].reductions;
      if (rp != rq) return rp > rq;
      return std::lexicographical_compare(
          keys.begin() + keyBegin[q], keys.begin() + keyBegin[q + 1], keys.begin() + keyBegin[p],
          keys.begin() + keyBegin[p + 1]);
    });
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = roots[order[k]];
    roots.swap(order);
  }
  sorted = true;
}

// As PrintTree writes a tree: "(" root ")", where a node is its label,
// ":" and its title when it has one, and its children in brackets.
void ChartParseEngine::Chart::PrintRoot(int e, std::string& out) const {
  out += '(';
  PrintNode(e, out);
  out += ')';
}

void ChartParseEngine::Chart::PrintNode(int e, std::string& out) const {
  const Entry& x = entries[e];
  if (x.ruleClass == kNoClass) {
    out += items[x.start];
    return;
  }
  const CompiledGrammar::RuleClass& c = grammar.Class(x.ruleClass);
  out += c.leftTag;
  if (!c.treeTitle.empty()) {
    out += ':';
    out += c.treeTitle;
  }
  out += '(';
  for (int k = 0; k < x.childCount; ++k) {
    if (k > 0) out += ',';
    PrintNode(x.children[k], out);
  }
  out += ')';
}

ChartParseEngine::ChartParseEngine(const RuleSet& rules, std::stop_token stop,
                                   std::size_t treeBudget)
    : ChartParseEngine(std::make_shared<const CompiledGrammar>(rules), std::move(stop),
                       treeBudget) {}

ChartParseEngine::ChartParseEngine(std::shared_ptr<const CompiledGrammar> grammar,
                                   std::stop_token stop, std::size_t treeBudget)
    : grammar_(std::move(grammar)),
      stop_(stop),
      chart_(std::make_unique<Chart>(*grammar_, std::move(stop), treeBudget)),
      counter_(*grammar_) {}

ChartParseEngine::~ChartParseEngine() = default;

ParseSummary ChartParseEngine::CountDistinctParses(const Permutation& permutation,
                                                   std::uint64_t listLimit) {
  Chart& chart = *chart_;
  const int n = std::clamp(permutation.currentItemCount, 0, kMaxItems);
  chart.listed = false;
  chart.sorted = false;
  chart.rootItems = n;
  if (n == 0) {
    chart.Forget();
    chart.listed = true;
    chart.roots.clear();
    chart.sorted = true;
    return {};
  }
  if (stop_.stop_requested()) throw SearchStopped();
  try {
    chart.used = nullptr;
    chart.Build(permutation, n);
    const ParseSummary summary = chart.Summary(n);
    chart.listed = summary.count <= listLimit;
    return summary;
  } catch (const OverBudget&) {
    chart.Forget();
  } catch (...) {
    chart.Forget();
    throw;
  }
  // Too many trees to build them all: count first, then build only what
  // the complete parses use, when they are to be listed.
  const ParseSummary summary = counter_.Count(permutation);
  if (summary.count > listLimit) return summary;
  counter_.MarkUsed();
  chart.used = &counter_;
  try {
    chart.Build(permutation, n);
  } catch (...) {
    chart.used = nullptr;
    chart.Forget();
    throw;
  }
  chart.used = nullptr;
  chart.listed = true;
  return summary;
}

void ChartParseEngine::PrintDistinctParses(const PrintedParse& take) {
  Chart& chart = *chart_;
  if (!chart.listed) {
    throw std::logic_error("PrintDistinctParses without a permutation counted within its limit");
  }
  const int n = chart.rootItems;
  if (n == 0) return;
  if (!chart.sorted) chart.Sort(n);
  std::string text;
  for (const int r : chart.roots) {
    if (stop_.stop_requested()) throw SearchStopped();
    text.clear();
    chart.PrintRoot(r, text);
    const Entry& root = chart.entries[r];
    take(text, root.ruleClass == kNoClass
                   ? std::string_view(chart.items[root.start])
                   : std::string_view(chart.grammar.Class(root.ruleClass).leftTag));
  }
}

void ChartParseEngine::VisitDistinctParses(const VisitedParse& take) {
  Chart& chart = *chart_;
  if (!chart.listed) {
    throw std::logic_error("VisitDistinctParses without a permutation counted within its limit");
  }
  const int n = chart.rootItems;
  if (n == 0) return;
  if (!chart.sorted) chart.Sort(n);
  for (const int r : chart.roots) {
    if (stop_.stop_requested()) throw SearchStopped();
    take(*chart.BuildTree(r));
  }
}

ParseList ChartParseEngine::FirstDistinctParses(std::size_t count) {
  Chart& chart = *chart_;
  if (!chart.listed) {
    throw std::logic_error("FirstDistinctParses without a permutation counted within its limit");
  }
  ParseList parses;
  const int n = chart.rootItems;
  if (n == 0) return parses;
  if (!chart.sorted) chart.Sort(n);
  for (const int r : chart.roots) {
    if (parses.size() >= count) break;
    if (stop_.stop_requested()) throw SearchStopped();
    parses.push_back(chart.BuildTree(r));
  }
  return parses;
}

ParseList ChartParseEngine::FindDistinctParses(const Permutation& permutation) {
  CountDistinctParses(permutation, kManyParses);
  Chart& chart = *chart_;
  const int n = chart.rootItems;
  ParseList parses;
  if (n == 0) return parses;
  if (!chart.sorted) chart.Sort(n);
  parses.reserve(chart.roots.size());
  for (const int r : chart.roots) parses.push_back(chart.BuildTree(r));
  return parses;
}

}  // namespace marvolen
