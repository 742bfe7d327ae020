#include "analysis/classification.h"

#include <gtest/gtest.h>

#include "grammar/reduction_search.h"

namespace marvolen {
namespace {

std::unique_ptr<ParseTreeNode> Root(const std::string& label, const std::string& title,
                                    const std::string& leaf) {
  auto root = std::make_unique<ParseTreeNode>(label, title);
  AppendChild(*root, std::make_unique<ParseTreeNode>(leaf, ""));
  return root;
}

ParseList Roots(std::vector<std::string> labels) {
  ParseList parses;
  for (std::size_t k = 0; k < labels.size(); ++k) {
    parses.push_back(Root(labels[k], "", "x" + std::to_string(k)));
  }
  return parses;
}

Permutation Items(std::vector<std::string> items) {
  Permutation p;
  for (std::size_t k = 0; k < items.size(); ++k) p.items[k] = items[k];
  p.currentItemCount = static_cast<int>(items.size());
  return p;
}

TEST(ClassifyParsesTest, ByNumberOfParsesAndTheirRootLabels) {
  EXPECT_EQ(ClassifyParses(Roots({})), PermutationClass::CannotCombine);
  EXPECT_EQ(ClassifyParses(Roots({"np"})), PermutationClass::OneWay);
  EXPECT_EQ(ClassifyParses(Roots({"np", "vp"})), PermutationClass::Overt);
  EXPECT_EQ(ClassifyParses(Roots({"np", "np", "vp"})), PermutationClass::Overt);
  EXPECT_EQ(ClassifyParses(Roots({"np", "vp", "np"})), PermutationClass::Overt);
  EXPECT_EQ(ClassifyParses(Roots({"np", "np", "np"})), PermutationClass::Covert);
  EXPECT_EQ(CountParses(Roots({"np", "np", "np"})), 3);
  // Long root labels are compared whole.
  EXPECT_EQ(ClassifyParses(Roots({"abcdefghijX", "abcdefghijY"})), PermutationClass::Overt);
}

TEST(ClassifyParsesTest, RootsThatDifferOnlyInTheirTitleAreCovert) {
  ParseList parses;
  parses.push_back(Root("np", "T1", "n"));
  parses.push_back(Root("np", "T2", "n"));
  EXPECT_EQ(ClassifyParses(parses), PermutationClass::Covert);
}

TEST(ClassifyParsesTest, AOneItemPermutationWithAOneItemRuleIsOvert) {
  RuleSet rules;
  rules.rules.emplace_back("R1", "X", "t ", "");
  const Permutation t = Items({"t"});
  ClassCounters counters;
  DegreeLists lists;
  EXPECT_EQ(AnalyseParses(FindDistinctParses(t, rules), t, counters, lists),
            PermutationClass::Overt);
  ASSERT_EQ(lists.overtRecords.size(), 1u);
  EXPECT_EQ(lists.overtRecords[0].count, 2);
  EXPECT_EQ(AnalyseParses(FindDistinctParses(t, RuleSet{}), t, counters, lists),
            PermutationClass::OneWay);
}

TEST(AnalyseParsesTest, CountsEveryJudgementAndRecordsOnlyAmbiguousOnes) {
  ClassCounters counters;
  DegreeLists lists;
  Permutation p = Items({"a", "b", "c", "d", "e"});
  p.currentItemCount = 2;
  AnalyseParses(Roots({}), p, counters, lists);
  AnalyseParses(Roots({"np"}), p, counters, lists);
  AnalyseParses(Roots({"np", "vp", "np"}), p, counters, lists);
  AnalyseParses(Roots({"np", "np"}), p, counters, lists);
  AnalyseParses(Roots({}), p, counters, lists);
  EXPECT_EQ(counters.cannotCombineCount, 2);
  EXPECT_EQ(counters.combinableCount, 3);
  EXPECT_EQ(counters.oneWayCount, 1);
  EXPECT_EQ(counters.overtCount, 1);
  EXPECT_EQ(counters.covertCount, 1);
  ASSERT_EQ(lists.overtRecords.size(), 1u);
  ASSERT_EQ(lists.covertRecords.size(), 1u);
  EXPECT_EQ(lists.overtRecords[0].count, 3);
  EXPECT_EQ(lists.covertRecords[0].count, 2);
  // The record holds the permutation's items and nothing after them.
  EXPECT_EQ(lists.overtRecords[0].items, (std::array<std::string, 5>{"a", "b", "", "", ""}));
}

TEST(RankDegreeRecordsTest, DescendingCountAndEarliestFirstAmongEqualCounts) {
  std::vector<DegreeRecord> records;
  const std::pair<const char*, int> analysed[] = {{"p1", 2}, {"p2", 3}, {"p3", 2},
                                                  {"p4", 5}, {"p5", 3}, {"p6", 2}};
  DegreeLists lists;
  for (const auto& [name, count] : analysed) {
    RecordDegree(lists, PermutationClass::Covert, Items({name}), count);
  }
  RecordDegree(lists, PermutationClass::OneWay, Items({"p7"}), 9);  // not ambiguous
  RankDegreeRecords(lists.covertRecords);
  std::vector<std::string> order;
  for (const DegreeRecord& r : lists.covertRecords) order.push_back(r.items[0]);
  EXPECT_EQ(order, (std::vector<std::string>{"p4", "p2", "p5", "p1", "p3", "p6"}));
  EXPECT_TRUE(lists.overtRecords.empty());
}

TEST(AverageDegreeTest, AveragesInFloatingPointAndNotWithoutRecords) {
  std::vector<DegreeRecord> records(1);
  records[0].count = 4;
  RankDegreeRecords(records);
  DegreeAverage one = AverageDegree(records);
  EXPECT_EQ(one.records, 1);
  ASSERT_TRUE(one.average.has_value());
  EXPECT_EQ(FormatAverage(*one.average), "4.000000");

  records.resize(2);
  records[0].count = 2;
  records[1].count = 3;
  DegreeAverage two = AverageDegree(records);
  EXPECT_EQ(two.sum, 5);
  EXPECT_EQ(FormatAverage(*two.average), "2.500000");

  records.assign(3, DegreeRecord{});
  for (auto& r : records) r.count = 2;
  records[2].count = 3;
  EXPECT_EQ(FormatAverage(*AverageDegree(records).average), "2.333333");

  EXPECT_FALSE(AverageDegree({}).average.has_value());
  EXPECT_EQ(AverageDegree({}).records, 0);
}

TEST(AverageDegreeTest, TheSumDoesNotOverflowThirtyTwoBits) {
  std::vector<DegreeRecord> records(3);
  for (auto& r : records) r.count = 2000000000;
  EXPECT_EQ(FormatAverage(*AverageDegree(records).average), "2000000000.000000");
}

}  // namespace
}  // namespace marvolen
