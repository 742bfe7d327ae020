// The benchmark's workloads read without a message, have the size they
// claim, and give the same report with either search.
#include "bench/workloads.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "grammar/chart_search.h"
#include "run/run.h"

namespace marvolen {
namespace bench {
namespace {

namespace fs = std::filesystem;

class WorkloadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "marvolen_workloads_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The report of a run with `options`, its messages in `messages`.
  std::string Run(const RunOptions& options, std::vector<std::string>& messages) {
    fs::remove(dir_ + "/report.txt");
    RecordingUserInterface ui;
    RunAnalysis(dir_, ui, options);
    messages = ui.messages;
    std::ifstream in(dir_ + "/report.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Every message of a run of the workload with the literal search and with
  // the chart search: the same, and the same report.
  void ExpectTheSameReport(const WorkloadFiles& files) {
    ASSERT_TRUE(WriteWorkload(files, dir_));
    std::vector<std::string> literalMessages, chartMessages;
    RunOptions literalOptions;
    literalOptions.engine = SearchEngine::kLiteral;
    literalOptions.threads = 1;
    const std::string literal = Run(literalOptions, literalMessages);
    const std::string chart = Run(RunOptions{}, chartMessages);
    EXPECT_GT(chart.size(), 1000u);
    EXPECT_TRUE(chart == literal);
    EXPECT_EQ(chartMessages, literalMessages);
    // Only the completion message.
    EXPECT_EQ(chartMessages.size(), 1u);
  }

  std::string dir_;
};

TEST_F(WorkloadsTest, TheRealisticWorkloadHasFortyTagsAndAboutThreeHundredRules) {
  const WorkloadFiles files = RealisticWorkload(true);
  RecordingUserInterface ui;
  TagSet tags;
  ReadTagSet(tags, *InputStream::FromBytes(files.tags), ui);
  RuleSet rules;
  ReadRuleSet(rules, *InputStream::FromBytes(files.rules), ui);
  SequenceList sequences;
  ReadSequences(sequences, *InputStream::FromBytes(files.sequences), ui);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(tags.count(), 40);
  EXPECT_GE(rules.count(), 250);
  EXPECT_LE(rules.count(), RuleSet::kCapacity);
  EXPECT_EQ(sequences.count(), 500);
  int byLength[4] = {};
  for (const CfgRule& rule : rules.rules) ++byLength[std::min(3, CountRuleItems(rule))];
  EXPECT_GT(byLength[2], byLength[1] + byLength[3]);  // mostly two-item rules
  EXPECT_GT(byLength[1], 0);
  EXPECT_GT(byLength[3], 0);
  EXPECT_EQ(files.config.find("ITEMLENGTH=long\r\n") != std::string::npos, true);
  EXPECT_EQ(RealisticWorkload(false).config.find("ITEMLENGTH=long"), std::string::npos);
}

TEST_F(WorkloadsTest, TheDenseWorkloadsFiveItemLinesHaveHundredsOfParses) {
  const WorkloadFiles files = DenseWorkload(false);
  RecordingUserInterface ui;
  RuleSet rules;
  ReadRuleSet(rules, *InputStream::FromBytes(files.rules), ui);
  SequenceList sequences;
  ReadSequences(sequences, *InputStream::FromBytes(files.sequences), ui);
  EXPECT_TRUE(ui.messages.empty());
  ChartParseEngine engine(rules);
  std::size_t fiveItemLines = 0, parses = 0;
  for (const std::string& line : sequences.lines) {
    Permutation p;
    int count = 0;
    SplitSequenceLine(count, line, p);
    if (count != 5) continue;
    p.currentItemCount = count;
    ++fiveItemLines;
    parses += engine.FindDistinctParses(p).size();
  }
  ASSERT_EQ(fiveItemLines, 32u);
  EXPECT_GE(parses / fiveItemLines, 100u);
}

// The first eight tags of the realistic workload, in both modes; the dense
// workload whole.
TEST_F(WorkloadsTest, EitherSearchGivesTheSameReport) {
  ExpectTheSameReport(RealisticWorkload(false, 8));
  ExpectTheSameReport(RealisticWorkload(true, 8));
  ExpectTheSameReport(DenseWorkload(false));
}

}  // namespace
}  // namespace bench
}  // namespace marvolen
