// The one-item cycle guard under stress, in the literal search and in the
// search the reports use by default: cycles of every shape end, with exactly
// the parses that do not go round them.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "grammar/search_engines.h"
#include "grammar/search_test_util.h"

namespace marvolen {
namespace {

using namespace search_testing;

using Texts = std::vector<std::string>;

ParseList Search(SearchEngine kind, const std::vector<std::string>& items, const RuleSet& rules) {
  return MakeParseEngines(kind, rules, 1).front()->FindDistinctParses(Items(items));
}

Texts Parse(SearchEngine kind, const std::vector<std::string>& items, const std::vector<R>& rules) {
  const RuleSet ruleSet = Rules(rules);
  Texts texts;
  for (const auto& tree : Search(kind, items, ruleSet)) {
    std::string text;
    PrintTree(tree.get(), text);
    texts.push_back(text);
  }
  return texts;
}

// The number of distinct parses of `items` that go round no cycle, counted
// without searching: over every span, the trees whose root is a leaf or a
// node of two or three children, each followed by every chain of one-item
// rules that repeats no tag of the chain (as the guard allows). The rules
// must be pairwise different, so that no two trees are equal.
double CountParsesOffTheCycles(const std::vector<std::string>& items, const RuleSet& rules) {
  using Counts = std::map<std::string, double>;
  const std::size_t n = items.size();
  // Every chain of one-item rules from `root` whose tags are all new.
  auto close = [&](const Counts& base) {
    Counts full;
    std::function<void(const std::string&, double, std::set<std::string>&)> climb =
        [&](const std::string& tag, double count, std::set<std::string>& seen) {
          full[tag] += count;
          for (const CfgRule& rule : rules.rules) {
            if (rule.items().size() != 1 || rule.items()[0] != tag) continue;
            if (!seen.insert(rule.leftTag()).second) continue;
            climb(rule.leftTag(), count, seen);
            seen.erase(rule.leftTag());
          }
        };
    for (const auto& [tag, count] : base) {
      std::set<std::string> seen = {tag};
      climb(tag, count, seen);
    }
    return full;
  };
  // full[i][j]: the trees over items i to j - 1, by root tag.
  std::vector<std::vector<Counts>> full(n + 1, std::vector<Counts>(n + 1));
  for (std::size_t i = 0; i < n; ++i) full[i][i + 1] = close(Counts{{items[i], 1.0}});
  for (std::size_t length = 2; length <= n; ++length) {
    for (std::size_t i = 0; i + length <= n; ++i) {
      const std::size_t j = i + length;
      Counts base;
      for (const CfgRule& rule : rules.rules) {
        const auto& right = rule.items();
        if (right.size() == 2) {
          for (std::size_t a = i + 1; a < j; ++a) {
            base[rule.leftTag()] += full[i][a][right[0]] * full[a][j][right[1]];
          }
        } else if (right.size() == 3) {
          for (std::size_t a = i + 1; a < j; ++a) {
            for (std::size_t b = a + 1; b < j; ++b) {
              base[rule.leftTag()] +=
                  full[i][a][right[0]] * full[a][b][right[1]] * full[b][j][right[2]];
            }
          }
        }
      }
      full[i][j] = close(base);
    }
  }
  double total = 0;
  for (const auto& [tag, count] : full[0][n]) total += count;
  return total;
}

class CycleGuardTest : public ::testing::TestWithParam<SearchEngine> {};

INSTANTIATE_TEST_SUITE_P(Engines, CycleGuardTest,
                         ::testing::Values(SearchEngine::kLiteral, kDefaultSearchEngine));

// A self-loop on a leaf and on tags that only a two- or three-item reduction
// makes; a cycle of ten rules from a leaf and reached only through a
// two-item reduction; X <-> Y reached only after a two- or three-item
// reduction; two cycles that share a tag.
TEST_P(CycleGuardTest, CyclesOfEveryShapeGiveExactlyTheParsesOffTheCycle) {
  const SearchEngine e = GetParam();
  EXPECT_EQ(Parse(e, {"p", "q", "r"}, {{"X", "p q r ", ""}, {"X", "X ", "self"}}),
            (Texts{"(X(p,q,r))"}));
  EXPECT_EQ(Parse(e, {"p", "q"}, {{"X", "p q ", ""}, {"X", "X ", ""}, {"p", "p ", ""}}),
            (Texts{"(X(p,q))"}));

  // A0 -> A9 -> A8 -> ... -> A1 -> A0: from the leaf A0 the chain goes once
  // round, up to A1, and stops before A0 again.
  std::vector<R> ring;
  for (int i = 0; i < 10; ++i) {
    ring.push_back({"A" + std::to_string(i), "A" + std::to_string((i + 1) % 10) + " ", ""});
  }
  Texts chain;
  std::string tree = "A0";
  chain.push_back("(" + tree + ")");
  for (int i = 9; i >= 1; --i) {
    tree = "A" + std::to_string(i) + "(" + tree + ")";
    chain.insert(chain.begin(), "(" + tree + ")");
  }
  EXPECT_EQ(Parse(e, {"A0"}, ring), chain);

  // The same ring reached only through X -> p q: every tag of the ring once
  // above X, the last one reached first in the list.
  std::vector<R> entered = ring;
  entered.push_back({"X", "p q ", ""});
  entered.push_back({"A0", "X ", ""});
  const Texts fromX = Parse(e, {"p", "q"}, entered);
  ASSERT_EQ(fromX.size(), 11u);
  EXPECT_EQ(fromX.back(), "(X(p,q))");
  EXPECT_EQ(fromX[9], "(A0(X(p,q)))");
  EXPECT_EQ(fromX[0], "(A1(A2(A3(A4(A5(A6(A7(A8(A9(A0(X(p,q))))))))))))");

  // X -> Y -> X, reached only after a two-item or a three-item reduction.
  EXPECT_EQ(Parse(e, {"p", "q"}, {{"X", "p q ", ""}, {"Y", "X ", ""}, {"X", "Y ", ""}}),
            (Texts{"(Y(X(p,q)))", "(X(p,q))"}));
  EXPECT_EQ(Parse(e, {"p", "q", "r"}, {{"X", "p q r ", ""}, {"Y", "X ", ""}, {"X", "Y ", ""}}),
            (Texts{"(Y(X(p,q,r)))", "(X(p,q,r))"}));

  // A <-> B and B <-> C share B.
  EXPECT_EQ(Parse(e, {"A"}, {{"B", "A ", ""}, {"A", "B ", ""}, {"C", "B ", ""}, {"B", "C ", ""}}),
            (Texts{"(C(B(A)))", "(B(A))", "(A)"}));
}

// Five items, each a tag on a two-rule cycle, joined by two- and three-item
// rules into X, which lies on a ring of eleven tags whose tags feed two-item
// rules again: the search ends, with every parse off the cycles. (The
// literal search would try every order of the reductions, far too many.)
TEST(CycleGuardDefaultEngineTest, RingsAtEveryLevelOfAFiveItemLineEnd) {
  std::vector<R> rules = {{"Y", "p ", ""},      {"p", "Y ", ""},      {"X", "p p ", ""},
                          {"X", "X p ", ""},    {"X", "p X ", ""},    {"X", "X X ", ""},
                          {"X", "p p p ", ""},  {"X", "Y X p ", "t"}, {"S", "A5 p ", ""},
                          {"X", "A9 ", "back"}, {"A0", "X ", ""},     {"X", "A3 p ", ""},
                          {"X", "p A6 ", ""}};
  for (int i = 1; i < 10; ++i) {
    rules.push_back({"A" + std::to_string(i), "A" + std::to_string(i - 1) + " ", ""});
  }
  const RuleSet ruleSet = Rules(rules);
  const std::vector<std::string> items(5, "p");
  const ParseList parses = Search(kDefaultSearchEngine, items, ruleSet);
  const double expected = CountParsesOffTheCycles(items, ruleSet);
  EXPECT_GT(expected, 1000);
  EXPECT_EQ(static_cast<double>(parses.size()), expected);
  // No two parses are equal.
  std::set<std::string> texts;
  for (const auto& tree : parses) {
    std::string text;
    PrintTree(tree.get(), text);
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), parses.size());
}

}  // namespace
}  // namespace marvolen
