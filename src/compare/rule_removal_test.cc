// The patterns without some rules, read from a run's table, against real
// runs of the rules file without them: the same transitions, averages,
// changed patterns, parses and rules lost, as the comparison of two grammars
// gives them.
#include "compare/rule_removal.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "analysis/reports.h"
#include "compare/change_writers.h"
#include "compare/rules_baseline.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "export/csv_report.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"

namespace marvolen {
namespace {

constexpr char kTitle[] = "without";

class RuleRemovalTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    RecordingUserInterface ui;
    ReadTagSet(tags_, *InputStream::Open((ExamplesDir() / "tags.txt").string()), ui);
    ReadSequences(sequences_, *InputStream::Open((ExamplesDir() / "sequences.txt").string()), ui);
    ReadRuleSet(rules_, *InputStream::Open((ExamplesDir() / "rules.txt").string()), ui);
    ASSERT_TRUE(ui.messages.empty());
    ASSERT_GT(rules_.count(), 10);
  }

  // Both reports of `rules` with `observer`.
  void Run(const RuleSet& rules, bool threeItemsOnly, ReportObserver* observer,
           std::uint64_t maxParses = kDefaultMaxParses) {
    RecordingUserInterface ui;
    ReportOptions options;
    options.observers = {observer};
    options.maxParses = maxParses;
    auto out = OutputStream::Discarding();
    ASSERT_EQ(BuildTagSetReport(threeItemsOnly, tags_, rules, *out, ui, options),
              ReportEnd::kWritten);
    ASSERT_EQ(BuildSequencesReport(sequences_, rules, *out, ui, options), ReportEnd::kWritten);
  }

  // The table of permutations of a run of `rules`.
  std::string Table(const RuleSet& rules, bool threeItemsOnly,
                    std::uint64_t maxParses = kDefaultMaxParses) {
    const std::string path = (dir_ / "results.csv").string();
    auto out = OutputStream::Replacing(path, nullptr, OutputStream::LineEnds::kAsGiven);
    EXPECT_NE(out, nullptr);
    {
      CsvReportWriter writer(*out);
      Run(rules, threeItemsOnly, &writer, maxParses);
      writer.Finish();
    }
    EXPECT_TRUE(out->Close());
    return path;
  }

  // The comparison text of a real run of `rules` without `removed`, with a
  // run of `rules` as the baseline.
  std::string RealRun(const RuleSet& rules, const std::set<int>& removed, bool threeItemsOnly) {
    const RuleSet without = RulesWithout(rules, removed);
    Comparison comparison(rules, without);
    ChangeText text;
    comparison.AddSink(&text);
    ReportOptions options;
    {
      RulesBaselineComparison baseline(comparison, threeItemsOnly, tags_, sequences_, rules,
                                       options);
      Run(without, threeItemsOnly, &baseline);
      RecordingUserInterface ui;
      EXPECT_TRUE(baseline.Finish(ui));
    }
    return TextOf(text, comparison);
  }

  static std::string TextOf(ChangeText& text, const Comparison& comparison) {
    std::string all;
    EXPECT_TRUE(text.WriteTo(kTitle, comparison, [&](std::string_view piece) {
      all += piece;
      return true;
    }));
    return all;
  }

  // The same from the table.
  std::string FromTable(const std::string& table, const RuleSet& rules,
                        const std::set<int>& removed) {
    RuleRemoval removal(rules, removed);
    ChangeText text;
    removal.AddSink(&text);
    CsvBaselineError error;
    EXPECT_TRUE(removal.Run(table, {}, &error)) << error.reason;
    return TextOf(text, removal.comparison());
  }

  TagSet tags_;
  SequenceList sequences_;
  RuleSet rules_;
};

TEST_F(RuleRemovalTest, EachRuleOfTheExamplesRemovedGivesWhatARunWithoutItGives) {
  for (const bool threeItemsOnly : {true, false}) {
    const std::string table = Table(rules_, threeItemsOnly);
    int changing = 0;
    for (int k = 0; k < rules_.count(); ++k) {
      SCOPED_TRACE(rules_.rules[static_cast<std::size_t>(k)].title() +
                   (threeItemsOnly ? " three items" : " long"));
      const std::string expected = RealRun(rules_, {k}, threeItemsOnly);
      EXPECT_EQ(FromTable(table, rules_, {k}), expected);
      if (expected.find("No judgement changed.") == std::string::npos) ++changing;
    }
    // Not a comparison of nothing: some removals change judgements.
    EXPECT_GT(changing, 0);
  }
}

TEST_F(RuleRemovalTest, SeveralRulesRemovedTakeEveryParseThatUsesOneOfThem) {
  const std::string table = Table(rules_, true);
  const int n = rules_.count();
  const std::vector<std::set<int>> sets = {
      {0, 1}, {4, 9, 13}, {n - 2, n - 1}, {0, 2, 4, 6, 8, 10, 12, 14}};
  for (const std::set<int>& removed : sets) {
    SCOPED_TRACE(removed.size());
    EXPECT_EQ(FromTable(table, rules_, removed), RealRun(rules_, removed, true));
  }
}

TEST_F(RuleRemovalTest, ARuleWhoseNodesAnotherRuleMakesTakesNoParse) {
  // A copy of a rule under another title: removing either leaves the parses.
  RuleSet rules = rules_;
  const CfgRule& copied = rules.rules[4];
  rules.rules.emplace_back("R99", copied.leftTag(), copied.rightSide(), copied.treeTitle());
  rules.lines.push_back(999);
  const std::string table = Table(rules, true);
  for (const int removed : {4, rules.count() - 1}) {
    RuleRemoval removal(rules, {removed});
    CsvBaselineError error;
    ASSERT_TRUE(removal.Run(table, {}, &error));
    EXPECT_FALSE(removal.comparison().AnyChange());
    EXPECT_EQ(removal.ParsesLost(ReportKind::kTagSet), 0u);
  }
  // Both removed: their parses go.
  RuleRemoval both(rules, {4, rules.count() - 1});
  CsvBaselineError error;
  ASSERT_TRUE(both.Run(table, {}, &error));
  EXPECT_TRUE(both.comparison().AnyChange());
  EXPECT_EQ(FromTable(table, rules, {4, rules.count() - 1}),
            RealRun(rules, {4, rules.count() - 1}, true));
}

TEST_F(RuleRemovalTest, PatternsWithoutTheirParsesInTheTableAreNotComputed) {
  // With at most one parse listed, the ambiguous patterns have none in the
  // table: they are left out, and the side without the rule has no averages.
  const std::string table = Table(rules_, true, 1);
  RuleRemoval removal(rules_, {0});
  CsvBaselineError error;
  ASSERT_TRUE(removal.Run(table, {}, &error));
  const SourceComparison& side = removal.comparison().Of(ReportKind::kTagSet);
  EXPECT_GT(removal.NotComputed(ReportKind::kTagSet), 0u);
  std::uint64_t compared = 0;
  for (const auto& row : side.transitions)
    for (const std::uint64_t count : row) compared += count;
  EXPECT_EQ(compared, side.patterns);
  for (const PermutationClass ambiguous : {PermutationClass::Overt, PermutationClass::Covert})
    for (const std::uint64_t count : side.transitions[static_cast<std::size_t>(ambiguous)])
      EXPECT_EQ(count, 0u);
  EXPECT_TRUE(side.oldAverages.overt.has_value() || side.oldAverages.covert.has_value());
  EXPECT_FALSE(side.newAverages.overt.has_value());
  EXPECT_FALSE(side.newAverages.covert.has_value());
}

TEST_F(RuleRemovalTest, ATableThatIsNotOneIsRefused) {
  WriteFile(dir_ / "other.csv", "a,b\r\n1,2\r\n");
  RuleRemoval removal(rules_, {0});
  CsvBaselineError error;
  EXPECT_FALSE(removal.Run((dir_ / "other.csv").string(), {}, &error));
  EXPECT_EQ(error.kind, CsvBaselineError::Kind::kNotATable);
  EXPECT_FALSE(removal.Run((dir_ / "missing.csv").string(), {}, &error));
  EXPECT_EQ(error.kind, CsvBaselineError::Kind::kCannotOpen);
}

}  // namespace
}  // namespace marvolen
