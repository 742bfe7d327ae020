#include "analysis/divergences.h"

#include <gtest/gtest.h>

#include <random>

#include "analysis/classification.h"
#include "analysis/report_test_util.h"
#include "grammar/chart_search.h"
#include "grammar/reduction_search.h"

namespace marvolen {
namespace {

using testing_util::R;
using testing_util::Rules;

Permutation Items(const std::vector<std::string>& items) {
  Permutation p;
  for (std::size_t k = 0; k < items.size(); ++k) p.items[k] = items[k];
  p.currentItemCount = static_cast<int>(items.size());
  return p;
}

// The points of `items` under `rules` in their short form, with the long
// form of each point's rules after " / ".
std::string Explained(const std::vector<R>& rules, const std::vector<std::string>& items) {
  const RuleSet set = Rules(rules);
  const RuleGroups groups(set);
  const ParseList parses = FindDistinctParses(Items(items), set);
  const DivergencePoints points = FindDivergences(parses, groups);
  std::string text = ShortDivergences(points, groups);
  for (const DivergencePoint& point : points) text += " / " + CompetingRules(point, groups);
  return text;
}

// Known answers on small grammars (rules titled R1, R2, ... in order).
TEST(DivergencesTest, KnownAnswers) {
  const R nNp{"NP", "n NP ", "T"}, npN{"NP", "NP n ", "T"}, nN{"NP", "n n ", "T"};
  const struct {
    const char* what;
    std::vector<R> rules;
    std::vector<std::string> items;
    std::string expected;
  } cases[] = {
      {"covert: two rules build the whole span",
       {nNp, npN, nN},
       {"n", "n", "n"},
       "1-3:R1|R2 / R1 NP -> n NP | R2 NP -> NP n"},
      {"overt: different roots over the whole span",
       {{"VP", "v NP ", "A"}, {"NP", "v n ", "T"}, npN, nN},
       {"v", "n", "n"},
       "1-3:R1|R3 / R1 VP -> v NP | R3 NP -> NP n"},
      {"a point below a shared node",
       {nNp, npN, nN, {"VP", "v NP ", "A"}},
       {"v", "n", "n", "n"},
       "2-4:R1|R2 / R1 NP -> n NP | R2 NP -> NP n"},
      {"a point below a one-item rule over the same span",
       {{"VP", "v S ", ""}, {"S", "NP ", ""}, nNp, npN, nN},
       {"v", "n", "n", "n"},
       "2-4:R3|R4 / R3 NP -> n NP | R4 NP -> NP n"},
      {"a one-item rule over the whole span makes a root of its own",
       {{"S", "NP ", ""}, nNp, npN, nN},
       {"n", "n", "n"},
       "1-3:R1|R2|R3 / R1 S -> NP | R2 NP -> n NP | R3 NP -> NP n"},
      {"two independent regions",
       {nNp, npN, nN, {"VP", "v v ", "A"}, {"VP", "v v ", "B"}, {"S", "NP VP ", ""}},
       {"n", "n", "n", "v", "v"},
       "1-3:R1|R2 4-5:R5|R4 / R1 NP -> n NP | R2 NP -> NP n / R5 VP -> v v | R4 VP -> v v"},
      {"one rule over two splits, with the same rules below",
       {{"X", "Y Y ", ""}, {"Y", "a ", ""}, {"Y", "a a ", ""}},
       {"a", "a", "a"},
       "1-3:R1 / R1 X -> Y Y"},
      {"one rule over two splits, with different rules below",
       {{"X", "Y Y ", ""}, {"Y", "a ", ""}, {"Y", "a b ", ""}, {"Y", "b a ", ""}},
       {"a", "b", "a"},
       "1-3:R1|R3|R4 / R1 X -> Y Y | R3 Y -> a b | R4 Y -> b a"},
      {"rules a tree cannot tell apart are named together",
       {nNp, npN, nN, nNp},
       {"n", "n", "n"},
       "1-3:R1=R4|R2 / R1=R4 NP -> n NP | R2 NP -> NP n"},
      {"a lone item beside a rule over it", {{"NP", "n ", ""}}, {"n"}, "1-1:R1 / R1 NP -> n"},
      {"one parse", {nN}, {"n", "n"}, ""},
      {"no parse", {nN}, {"n", "v"}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Explained(c.rules, c.items), c.expected) << c.what;
}

TEST(DivergencesTest, RulesWithAlternativeWordsKeepOneTitle) {
  // One rule written with two words makes two records of the same title;
  // written twice with the same word, two records a tree cannot tell apart.
  RuleSet set;
  set.rules.emplace_back("R15", "NP", "n c<A> n ", "");
  set.rules.emplace_back("R15", "NP", "n c<B> n ", "");
  set.rules.emplace_back("R16", "NP", "n c<A> n ", "");
  const RuleGroups groups(set);
  ASSERT_EQ(groups.count(), 2);
  EXPECT_EQ(groups.Describe(0), "R15=R16 NP -> n c<A> n");
  EXPECT_EQ(groups.Describe(1), "R15 NP -> n c<B> n");
  EXPECT_EQ(groups.Members(0), (std::vector<int>{0, 2}));
  EXPECT_EQ(groups.Titles(kNoRuleGroup), "?");
}

// The text of `tree` with the topmost node over each point's span written
// as "*": what the parses must all share.
void PrintOutside(const ParseTreeNode& node, int& nextLeaf, const DivergencePoints& points,
                  std::string& out) {
  int leaves = 0;
  std::vector<const ParseTreeNode*> stack = {&node};
  while (!stack.empty()) {
    const ParseTreeNode* n = stack.back();
    stack.pop_back();
    if (!n->firstChild) ++leaves;
    for (const ParseTreeNode* c = n->firstChild.get(); c; c = c->nextSibling.get()) {
      stack.push_back(c);
    }
  }
  for (const DivergencePoint& p : points) {
    if (p.first == nextLeaf && p.end == nextLeaf + leaves) {
      out += '*';
      nextLeaf += leaves;
      return;
    }
  }
  out += node.label + ":" + node.title;
  if (!node.firstChild) {
    ++nextLeaf;
    return;
  }
  out += '(';
  for (const ParseTreeNode* c = node.firstChild.get(); c; c = c->nextSibling.get()) {
    PrintOutside(*c, nextLeaf, points, out);
    out += ',';
  }
  out += ')';
}

// Over random grammars: every ambiguous permutation has a point, a
// permutation with one parse or none has none; the spans are disjoint,
// left to right, within the items; outside them every parse is the same;
// the points are the same whichever engine visits the parses.
TEST(DivergencesTest, PropertiesOverRandomGrammars) {
  std::mt19937 random(24);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const std::vector<std::string> symbols = {"a", "b", "X", "Y", "S"};
  const std::vector<std::string> titles = {"", "T1", "T2"};
  int ambiguous = 0, severalPoints = 0;
  for (int g = 0; g < 400; ++g) {
    std::vector<R> rules;
    const int count = 3 + pick(8);
    for (int r = 0; r < count; ++r) {
      const int length = 1 + pick(3);
      std::string right;
      for (int k = 0; k < length; ++k) right += symbols[pick(5)] + " ";
      if (length == 1 && right[0] >= 'X') right = "a ";  // no cycles of one-item rules
      rules.push_back({symbols[2 + pick(3)], right, titles[pick(3)]});
    }
    const RuleSet set = Rules(rules);
    const RuleGroups groups(set);
    ChartParseEngine chart(set);
    for (int s = 0; s < 10; ++s) {
      std::vector<std::string> items(1 + pick(5));
      for (auto& item : items) item = symbols[pick(2)];
      const Permutation p = Items(items);
      const ParseList parses = chart.FindDistinctParses(p);
      const PermutationClass cls = ClassifyParses(parses);
      const DivergencePoints points = FindDivergences(parses, groups);
      if (parses.size() < 2) {
        EXPECT_TRUE(points.empty());
        continue;
      }
      ++ambiguous;
      severalPoints += points.size() > 1 ? 1 : 0;
      ASSERT_FALSE(points.empty()) << g << " " << s;
      int end = 0;
      for (const DivergencePoint& point : points) {
        EXPECT_GE(point.first, end);
        EXPECT_GT(point.end, point.first);
        EXPECT_FALSE(point.groups.empty());
        end = point.end;
      }
      EXPECT_LE(end, static_cast<int>(items.size()));
      std::string first;
      for (std::size_t t = 0; t < parses.size(); ++t) {
        std::string outside;
        int leaf = 0;
        PrintOutside(*parses[t], leaf, points, outside);
        if (t == 0) first = outside;
        EXPECT_EQ(outside, first) << g << " " << s;
      }
      chart.CountDistinctParses(p, kManyParses);
      EXPECT_EQ(FindDivergences(chart, cls, groups), points);
    }
  }
  EXPECT_GT(ambiguous, 200);
  EXPECT_GT(severalPoints, 5);
}

TEST(AmbiguitySourcesTest, CountsPermutationsPerSetOfCompetingRules) {
  const DivergencePoint a{0, 3, {0, 1}}, b{3, 5, {2, 3}};
  AmbiguitySources sources;
  sources.Add(4, PermutationClass::Covert, 2, {a});
  sources.Add(7, PermutationClass::Covert, 4, {a, b});
  sources.Add(9, PermutationClass::Overt, 3, {b, DivergencePoint{0, 2, {2, 3}}});
  sources.Add(10, PermutationClass::Overt, 6, {a});
  sources.Add(12, PermutationClass::Covert, 2, {a});
  const auto ranked = sources.Ranked();
  ASSERT_EQ(ranked.size(), 2u);
  EXPECT_EQ(ranked[0].groups, a.groups);
  EXPECT_EQ(ranked[0].covert, 3);
  EXPECT_EQ(ranked[0].overt, 1);
  EXPECT_DOUBLE_EQ(ranked[0].AverageDegree(), 14.0 / 4);
  EXPECT_EQ(ranked[0].examples, (std::vector<std::int64_t>{4, 7, 10}));
  // A set met twice in one permutation counts it once.
  EXPECT_EQ(ranked[1].groups, b.groups);
  EXPECT_EQ(ranked[1].count(), 2);
  EXPECT_EQ(ranked[1].examples, (std::vector<std::int64_t>{7, 9}));
}

}  // namespace
}  // namespace marvolen
