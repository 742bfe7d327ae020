#include "run/grammar_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "analysis/report_builder.h"
#include "analysis/sequence_analysis.h"
#include "datafiles/sequences.h"
#include "encoding/gbk.h"
#include "platform/text_stream.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Every line of the examples, analysed on its own, is judged and its parses
// listed exactly as in the examples' report: under the heading with the
// judgement's words.
TEST(GrammarFilesTest, EachExampleLineAnalysedAloneGivesItsEntryOfTheReport) {
  const fs::path examples = MARVOLEN_EXAMPLES_DIR;
  const std::string golden =
      ReadFile(fs::path(MARVOLEN_TESTDATA_DIR) / "golden" / "examples-report.txt");
  // The sequences report is the second one in the file.
  const std::size_t sequencesReport = golden.find(WithCrLf(Gbk("\n\nsequences.txt文件中共有排列")));
  ASSERT_NE(sequencesReport, std::string::npos);

  const fs::path here = fs::current_path();
  RecordingUserInterface ui;
  std::optional<GrammarFiles> files = ReadGrammarFiles(examples.string(), ui);
  fs::current_path(here);
  ASSERT_TRUE(files);
  EXPECT_EQ(ui.messages, std::vector<std::string>{});
  EXPECT_EQ(files->tagSet.count(), 19);
  EXPECT_EQ(files->ruleSet.count(), 52);

  SequenceList sequences;
  ReadSequences(sequences, *InputStream::Open((examples / "sequences.txt").string()), ui);
  ASSERT_EQ(sequences.count(), 30);
  SequenceAnalyser analyser(std::move(files->ruleSet));
  int ambiguous = 0;
  for (const std::string& line : sequences.lines) {
    const SequenceAnalysis analysis = analyser.Analyse(line);
    ASSERT_EQ(analysis.problem, SequenceProblem::kNone);
    std::string itemLine = "\t";
    for (const std::string& item : analysis.items) itemLine += item + " ";
    itemLine += "\n";
    std::string entry;
    if (analysis.judgement == PermutationClass::CannotCombine) {
      entry = itemLine;
    } else {
      // The entry as the report lists it: the item line, then the only
      // parse bare or several numbered.
      entry = itemLine;
      for (std::size_t k = 0; k < analysis.parses.size(); ++k) {
        entry += "\t\t";
        if (analysis.parses.size() > 1) entry += "[" + std::to_string(k + 1) + "]";
        PrintTree(analysis.parses[k].get(), entry);
        entry += "\n";
      }
    }
    const std::string heading =
        WithCrLf(Gbk(std::string("\n\nsequences.txt文件中") + JudgementWords(analysis.judgement) +
                     "的排列如下:\n\n"));
    const std::size_t from = golden.find(heading, sequencesReport);
    ASSERT_NE(from, std::string::npos) << JudgementWords(analysis.judgement);
    const std::size_t to = golden.find(WithCrLf("\n\nsequences.txt"), from + heading.size());
    const std::string section = golden.substr(from, to - from);
    EXPECT_NE(section.find(WithCrLf(entry)), std::string::npos) << GbkToUtf8(entry);
    if (analysis.parses.size() > 1) ++ambiguous;
  }
  EXPECT_EQ(ambiguous, 12);
}

class GrammarFilesFailureTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    if (HasFatalFailure()) return;
    WriteFile(dir_ / "config.ini", "[DATA]\nTAGS=tags.txt\nRULES=rules.txt\n");
    WriteFile(dir_ / "tags.txt", "TagSetBegin n , v TagSetEnd");
    WriteFile(dir_ / "rules.txt", "CFGRuleSetBegin && [ R1 ] NP -> n n && CFGRuleSetEnd");
  }
};

TEST_F(GrammarFilesFailureTest, AFileThatCannotBeOpenedGivesTheRunsMessageAndNothing) {
  for (const char* missing : {"tags.txt", "rules.txt"}) {
    fs::rename(dir_ / missing, dir_ / "away");
    RecordingUserInterface ui;
    EXPECT_FALSE(ReadGrammarFiles(dir_.string(), ui));
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Data File <" + std::string(missing) + "> Open Error!"});
    fs::rename(dir_ / "away", dir_ / missing);
  }
  // The sequences file is not needed at all.
  RecordingUserInterface ui;
  EXPECT_TRUE(ReadGrammarFiles(dir_.string(), ui));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(fs::current_path(), dir_);
}

TEST_F(GrammarFilesFailureTest, ReaderMessagesAndCyclesAreShownAndWhatWasReadIsKept) {
  WriteFile(dir_ / "rules.txt",
            "CFGRuleSetBegin && [ R1 ] NP -> n n && && [ R2 ] NP -> NP && "
            "&& [ R3 ] VP ->");
  RecordingUserInterface ui;
  const std::optional<GrammarFiles> files = ReadGrammarFiles(dir_.string(), ui);
  ASSERT_TRUE(files);
  EXPECT_EQ(files->ruleSet.count(), 2);
  EXPECT_EQ(files->tagSet.count(), 2);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_NE(ui.messages[1].find("R2"), std::string::npos) << ui.messages[1];
}

}  // namespace
}  // namespace marvolen
