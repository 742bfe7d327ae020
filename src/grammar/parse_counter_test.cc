// Counting parses without building them: exact where the searches can
// list, saturating where they never could, and quick either way; and the
// chart search lists the parses of a line whose parts have far more trees
// than the line has parses.
#include "grammar/parse_counter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grammar/chart_search.h"
#include "grammar/search_test_util.h"

namespace marvolen {
namespace {

using namespace search_testing;

// For each X of A, B, C, D: X -> X X, and X -> Y for every other Y. 342
// bytes of rules whose parses explode.
std::vector<R> Explosive() {
  std::vector<R> rules;
  for (const std::string x : {"A", "B", "C", "D"}) {
    rules.push_back({x, x + " " + x + " ", ""});
    for (const std::string y : {"A", "B", "C", "D"}) {
      if (y != x) rules.push_back({x, y + " ", ""});
    }
  }
  return rules;
}

TEST(ParseCounterTest, CountsTheExplosiveGrammarExactlyWhereItCanBeListed) {
  const RuleSet rules = Rules(Explosive());
  const CompiledGrammar grammar(rules);
  ParseCounter counter(grammar);
  // A alone: the leaf and the chains of one-item rules above it that repeat
  // no tag: 1 + 3 + 3*2 + 3*2*1 = 16 trees, with four root labels.
  ParseSummary one = counter.Count(Items({"A"}));
  EXPECT_EQ(one.count, 16u);
  EXPECT_TRUE(one.rootsDiffer);
  // The chart search lists exactly as many.
  ChartParseEngine engine(rules);
  for (const std::vector<std::string>& line :
       {std::vector<std::string>{"A"}, {"A", "B"}, {"C", "A"}, {"A", "A"}}) {
    EXPECT_EQ(counter.Count(Items(line)).count, engine.FindDistinctParses(Items(line)).size());
  }
  EXPECT_EQ(counter.Count(Items({"A", "A", "A"})).count, 146432u);
}

TEST(ParseCounterTest, AnExplosionIsCountedAtOnceAndNeverBuilt) {
  const RuleSet rules = Rules(Explosive());
  ChartParseEngine engine(rules);
  const ParseSummary five = engine.CountDistinctParses(Items({"A", "A", "A", "A", "A"}), 1000000);
  EXPECT_GT(five.count, 1000000u);
  EXPECT_LT(five.count, kManyParses);
  EXPECT_TRUE(five.rootsDiffer);
  // Within the limit they can be printed; beyond it nothing was built, so
  // printing is refused.
  EXPECT_THROW(engine.PrintDistinctParses([](std::string_view, std::string_view) {}),
               std::logic_error);
}

TEST(ParseCounterTest, ATangleOfOneItemRulesSaturatesTheCount) {
  // Twelve tags that each rewrite into every other: more chains than can be
  // walked from any one of them.
  std::vector<R> rules;
  for (int x = 0; x < 12; ++x) {
    for (int y = 0; y < 12; ++y) {
      if (x != y) rules.push_back({"T" + std::to_string(x), "T" + std::to_string(y) + " ", ""});
    }
  }
  rules.push_back({"S", "T0 T0 ", ""});
  const RuleSet ruleSet = Rules(rules);
  const CompiledGrammar grammar(ruleSet);
  ParseCounter counter(grammar);
  EXPECT_EQ(counter.Count(Items({"T0"})).count, kManyParses);
  const ParseSummary two = counter.Count(Items({"T0", "T0"}));
  EXPECT_EQ(two.count, kManyParses);  // S over two saturated counts
  EXPECT_FALSE(two.rootsDiffer);      // S alone
  EXPECT_EQ(counter.Count(Items({"T0", "x"})).count, 0u);
  EXPECT_EQ(counter.Count(Items({"x"})).count, 1u);  // the bare leaf
  EXPECT_EQ(counter.Count(Items({})).count, 0u);
}

TEST(ParseCounterTest, SaturatingArithmetic) {
  EXPECT_EQ(AddCounts(kManyParses - 1, 1), kManyParses);
  EXPECT_EQ(AddCounts(kManyParses, kManyParses), kManyParses);
  EXPECT_EQ(AddCounts(2, 3), 5u);
  EXPECT_EQ(MultiplyCounts(std::uint64_t{1} << 32, std::uint64_t{1} << 32), kManyParses);
  EXPECT_EQ(MultiplyCounts(std::uint64_t{1} << 31, std::uint64_t{1} << 32), std::uint64_t{1} << 63);
  EXPECT_EQ(MultiplyCounts(kManyParses, 0), 0u);
}

// The trees over "A A A A" are too many to build, but none of them is part
// of a parse of "A A A A X", whose A's only a chain of rules that takes
// them one at a time joins to the X: the line has one parse, and it is
// listed.
TEST(ParseCounterTest, APartWithTooManyTreesThatNoParseUsesIsNeverBuilt) {
  std::vector<R> rules = Explosive();
  rules.push_back({"O", "A A ", "o"});
  rules.push_back({"N", "A O ", "n"});
  rules.push_back({"M", "A N ", "m"});
  rules.push_back({"S", "M X ", "s"});
  const RuleSet ruleSet = Rules(rules);
  const CompiledGrammar grammar(ruleSet);
  ParseCounter counter(grammar);
  EXPECT_GT(counter.Count(Items({"A", "A", "A", "A"})).count, 20000000u);
  ChartParseEngine engine(ruleSet, {}, 10000);
  const Permutation line = Items({"A", "A", "A", "A", "X"});
  const ParseSummary summary = engine.CountDistinctParses(line, 1000000);
  EXPECT_EQ(summary.count, 1u);
  std::vector<std::string> printed;
  engine.PrintDistinctParses(
      [&printed](std::string_view t, std::string_view) { printed.emplace_back(t); });
  EXPECT_EQ(printed, std::vector<std::string>{"(S:s(M:m(A,N:n(A,O:o(A,A))),X))"});
  EXPECT_EQ(Print(engine.FindDistinctParses(line)), printed);
}

}  // namespace
}  // namespace marvolen
