#include "grammar/unary_cycles.h"

#include <gtest/gtest.h>

namespace marvolen {
namespace {

RuleSet Rules(std::vector<std::vector<std::string>> rules) {
  RuleSet set;
  for (const auto& r : rules) set.rules.emplace_back(r[0], r[1], r[2], "");
  return set;
}

using Groups = std::vector<std::vector<int>>;

TEST(UnaryRuleCyclesTest, GrammarsWithoutCyclesPass) {
  EXPECT_TRUE(FindUnaryRuleCycles(RuleSet{}).empty());
  // Chains of one-item rules, and cycles through rules of two items, are fine.
  const RuleSet rules = Rules({{"R1", "NP", "n "},
                               {"R2", "S", "NP "},
                               {"R3", "NP", "NP n "},
                               {"R4", "NP", "S NP "},
                               {"R5", "VP", "v "},
                               {"R6", "S", "VP "}});
  EXPECT_TRUE(FindUnaryRuleCycles(rules).empty());
  EXPECT_EQ(DescribeUnaryRuleCycles(rules), std::nullopt);
}

TEST(UnaryRuleCyclesTest, FindsSelfLoopsAndLongerCyclesAsSeparateGroups) {
  const RuleSet rules = Rules({{"R1", "NP", "n "},
                               {"R2", "A", "B "},
                               {"R3", "X", "X "},
                               {"R4", "C", "A "},
                               {"R5", "B", "C "},
                               {"R6", "S", "A "},
                               {"R7", "B", "A "},
                               {"R8", "X", "X Y "}});
  // A, B and C rewrite into each other through R2, R4, R5 and R7; R6 leads out.
  EXPECT_EQ(FindUnaryRuleCycles(rules), (Groups{{1, 3, 4, 6}, {2}}));
}

TEST(UnaryRuleCyclesTest, TheMessageNamesEveryRuleOfEveryCycle) {
  RuleSet rules;
  rules.rules.emplace_back("R1", "NP", "n ", "");
  rules.rules.emplace_back("\xB9\xE6\xD4\xF2", "X", "u<\xB5\xC4> ", "");  // 规则, u<的>
  rules.rules.emplace_back("R3", "u<\xB5\xC4>", "X ", "T");
  rules.rules.emplace_back("R4", "Y", "Y ", "");
  const auto message = DescribeUnaryRuleCycles(rules);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(*message,
            "One-item rules in Rules_File form 2 cycles:\n"
            "  [规则] X -> u<的>, [R3] u<的> -> X\n"
            "  [R4] Y -> Y\n"
            "To keep the analysis finite, a one-item rule is not applied to a phrase whose "
            "chain of one-item rules already holds its left tag.");
  rules.rules.resize(2);
  rules.rules.emplace_back("R3", "X", "X ", "");
  EXPECT_EQ(DescribeUnaryRuleCycles(rules).value().substr(0, 44),
            "One-item rules in Rules_File form a cycle:\n ");
}

}  // namespace
}  // namespace marvolen
