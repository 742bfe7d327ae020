#include "analysis/classification.h"

#include <gtest/gtest.h>

#include "analysis/degree_records.h"
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
  EXPECT_EQ(ClassifyParses(FindDistinctParses(t, rules)), PermutationClass::Overt);
  EXPECT_EQ(FindDistinctParses(t, rules).size(), 2u);
  EXPECT_EQ(ClassifyParses(FindDistinctParses(t, RuleSet{})), PermutationClass::OneWay);
}

// The judgement from a count agrees with the judgement from the list.
TEST(ClassifySummaryTest, AgreesWithTheJudgementOfTheParses) {
  for (const std::vector<std::string>& roots : std::vector<std::vector<std::string>>{
           {}, {"np"}, {"np", "np"}, {"np", "vp", "np"}, {"np", "np", "vp"}}) {
    const ParseList parses = Roots(roots);
    ParseSummary summary;
    summary.count = parses.size();
    for (const auto& p : parses) summary.rootsDiffer |= p->label != parses.front()->label;
    EXPECT_EQ(ClassifySummary(summary), ClassifyParses(parses)) << roots.size();
  }
  EXPECT_EQ(ClassifySummary({kManyParses, false}), PermutationClass::Covert);
}

TEST(ClassCountersTest, CountsEveryJudgementAndAdds) {
  ClassCounters counters;
  for (const PermutationClass cls :
       {PermutationClass::CannotCombine, PermutationClass::OneWay, PermutationClass::Overt,
        PermutationClass::Covert, PermutationClass::CannotCombine}) {
    counters.Count(cls);
  }
  EXPECT_EQ(counters.cannotCombineCount, 2);
  EXPECT_EQ(counters.combinableCount, 3);
  EXPECT_EQ(counters.oneWayCount, 1);
  EXPECT_EQ(counters.overtCount, 1);
  EXPECT_EQ(counters.covertCount, 1);
  ClassCounters twice = counters;
  twice += counters;
  EXPECT_EQ(twice.cannotCombineCount, 4);
  EXPECT_EQ(twice.combinableCount, 6);
  EXPECT_EQ(twice.oneWayCount + twice.overtCount + twice.covertCount, twice.combinableCount);
}

TEST(RankDegreeRecordsTest, DescendingCountAndEarliestFirstAmongEqualCounts) {
  const std::pair<int, std::uint64_t> analysed[] = {{1, 2}, {2, 3}, {3, 2}, {4, 5}, {5, 3}, {6, 2}};
  DegreeLists lists;
  for (const auto& [number, count] : analysed) {
    RecordDegree(lists, PermutationClass::Covert, number, count);
  }
  RecordDegree(lists, PermutationClass::OneWay, 7, 9);  // not ambiguous
  RankDegreeRecords(lists.covertRecords);
  std::vector<std::int64_t> order;
  for (const DegreeRecord& r : lists.covertRecords) order.push_back(r.permutation);
  EXPECT_EQ(order, (std::vector<std::int64_t>{4, 2, 5, 1, 3, 6}));
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
  EXPECT_EQ(FormatAverage(*two.average), "2.500000");

  records.assign(3, DegreeRecord{});
  for (auto& r : records) r.count = 2;
  records[2].count = 3;
  EXPECT_EQ(FormatAverage(*AverageDegree(records).average), "2.333333");

  EXPECT_FALSE(AverageDegree({}).average.has_value());
  EXPECT_EQ(AverageDegree({}).records, 0);
}

TEST(AverageDegreeTest, TheSumDoesNotOverflow) {
  std::vector<DegreeRecord> records(3);
  for (auto& r : records) r.count = 2000000000;
  EXPECT_EQ(FormatAverage(*AverageDegree(records).average), "2000000000.000000");
  // Counts beyond 64 bits in sum.
  for (auto& r : records) r.count = kManyParses;
  EXPECT_EQ(FormatAverage(*AverageDegree(records).average), "18446744073709551616.000000");
}

}  // namespace
}  // namespace marvolen
