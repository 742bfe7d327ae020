#include "grammar/permutation.h"

#include <gtest/gtest.h>

#include "grammar/cfg_rule.h"

namespace marvolen {
namespace {

const std::vector<std::string> kTags = {"a", "b", "c"};

TEST(PermutationTest, ThreeItemBuildClearsSlotsLeftByALongPattern) {
  Permutation p;
  BuildPatternPermutation(4, 0, 1, 2, kTags, p);
  EXPECT_EQ(p.currentItemCount, 5);
  BuildThreeItemPermutation(0, 0, 0, kTags, p);
  EXPECT_EQ(p.items, (std::array<std::string, 5>{"a", "a", "a", "", ""}));
  EXPECT_EQ(p.currentItemCount, 3);
}

TEST(PermutationTest, EveryPatternKeepsTheTagsInOrderAndInsertsTheSpecialItems) {
  const std::string u = kParticleDe, c = kConjunctionHe;
  const std::array<std::string, 5> expected[8] = {
      {"a", u, "b", "c", ""}, {"a", "b", u, "c", ""}, {"a", c, "b", "c", ""},
      {"a", "b", c, "c", ""}, {"a", u, "b", c, "c"},  {"a", c, "b", u, "c"},
      {"a", u, c, "b", "c"},  {"a", "b", u, c, "c"},
  };
  for (int code = 0; code < 8; ++code) {
    Permutation p;
    BuildPatternPermutation(code, 0, 1, 2, kTags, p);
    EXPECT_EQ(p.items, expected[code]) << "code " << code;
    EXPECT_EQ(p.currentItemCount, code < 4 ? 4 : 5) << "code " << code;
  }
  EXPECT_EQ(u, "u<\xB5\xC4>");
  EXPECT_EQ(c, "c<\xBA\xCD>");
}

TEST(PermutationTest, CodeOutsideTheTableChangesNothing) {
  for (int code : {8, -1, 100}) {
    Permutation p;
    BuildPatternPermutation(5, 2, 1, 0, kTags, p);
    const Permutation before = p;
    BuildPatternPermutation(code, 0, 0, 0, kTags, p);
    EXPECT_EQ(p.items, before.items);
    EXPECT_EQ(p.currentItemCount, 5);
  }
}

TEST(RuleItemsTest, BlanksAreSkippedAndATrailingBlankGivesNoItem) {
  CfgRule rule("R", "NP", "a  n ", "");
  EXPECT_EQ(CountRuleItems(rule), 2);
  EXPECT_EQ(RuleItemAt(rule, 1), "a");
  EXPECT_EQ(RuleItemAt(rule, 2), "n");
  EXPECT_EQ(RuleItemAt(rule, 3), "");
  EXPECT_EQ(RuleItemAt(rule, 0), "");
}

TEST(RuleItemsTest, CountStopsAtFiveAndEmptyRightSidesHaveNone) {
  EXPECT_EQ(CountRuleItems(CfgRule("R", "X", "a b c d e f g ", "")), 5);
  EXPECT_EQ(CountRuleItems(CfgRule("R", "X", "", "")), 0);
  EXPECT_EQ(CountRuleItems(CfgRule("R", "X", " \t\r\n\v\f ", "")), 0);
}

TEST(RuleItemsTest, GbkBytesNeverSplitAnItem) {
  // 0xA0 and 0x85 as second bytes, a bracketed word, and tabs as separators.
  CfgRule rule("R", "X", "u<\xB5\xC4\xA1\xA0>  n\t\x81\x85 ", "");
  ASSERT_EQ(CountRuleItems(rule), 3);
  EXPECT_EQ(RuleItemAt(rule, 1), "u<\xB5\xC4\xA1\xA0>");
  EXPECT_EQ(RuleItemAt(rule, 2), "n");
  EXPECT_EQ(RuleItemAt(rule, 3), "\x81\x85");
}

}  // namespace
}  // namespace marvolen
