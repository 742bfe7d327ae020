// The data files checked from their texts, as the workbench's editors
// check them: the readers' messages and the findings, each at its line.
#include "run/data_lint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "testing/files.h"

namespace marvolen {
namespace {

using Place = std::tuple<DataFile, int>;

std::vector<Place> Places(const std::vector<DataDiagnostic>& diagnostics) {
  std::vector<Place> places;
  for (const DataDiagnostic& d : diagnostics) places.emplace_back(d.file, d.line);
  return places;
}

const char kTags[] = "TagSetBegin\nn , v\nTagSetEnd\n";
const char kSequences[] = "n n\nv n n\n";

TEST(CheckDataTextsTest, ReadersMessagesAndFindingsComeAtTheirLines) {
  struct Case {
    const char* name;
    std::string tags, rules, sequences;
    std::vector<Place> places;
    std::string first;  // the text of a diagnostic at the first place
  } cases[] = {
      {"clean",
       kTags,
       "CFGRuleSetBegin\n&& [ R1 ] NP -> n n &&\n&& [ R2 ] VP -> v NP &&\nCFGRuleSetEnd\n",
       kSequences,
       {},
       ""},
      {"planted duplicate and impossible rule",
       kTags,
       "CFGRuleSetBegin\n"
       "&& [ R1 ] NP -> n n &&\n"
       "&& [ R2 ] VP -> v NP &&\n"
       "&& [ R3 ] VP -> v NP &&\n"      // 4: duplicate of R2
       "&& [ R4 ] NP -> n nosuch &&\n"  // 5: nosuch is nothing
       "CFGRuleSetEnd\n",
       kSequences,
       {{DataFile::kRules, 4}, {DataFile::kRules, 5}},
       "R3 VP -> v NP: repeats R2 VP -> v NP (line 3): the same left tag, right side and tree "
       "title"},
      {"a reader's message at the line it stopped",
       kTags,
       "CFGRuleSetBegin\n&& [ R1 ] NP -> n n &&\n&& [ 9 ] VP -> v n &&\nCFGRuleSetEnd\n",
       kSequences,
       {{DataFile::kRules, 3}},
       "the title of rules must be a identifier!"},
      {"a fault of the tag set and an unknown sequence item",
       "TagSetBegin\nn , v ,\n, x\nTagSetEnd\n",
       "CFGRuleSetBegin\n&& [ R1 ] NP -> n n &&\nCFGRuleSetEnd\n",
       "n n\nn q\n",
       {{DataFile::kTags, 3}, {DataFile::kSequences, 2}},
       "Format Error in TagSet_File"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<DataDiagnostic> found = CheckDataTexts(c.tags, c.sequences, c.rules, true);
    std::vector<Place> places = Places(found);
    if (c.places.empty()) {
      EXPECT_TRUE(found.empty()) << found.front().text;
      continue;
    }
    for (const Place& place : c.places)
      EXPECT_NE(std::find(places.begin(), places.end(), place), places.end()) << std::get<1>(place);
    bool textFound = false;
    for (const DataDiagnostic& d : found)
      textFound |= Place(d.file, d.line) == c.places.front() && d.text == c.first;
    EXPECT_TRUE(textFound) << c.first;
  }
}

TEST(CheckDataTextsTest, AFileThatCouldNotBeReadLeavesTheOthersUncheckedAgainstIt) {
  const std::string rules = "CFGRuleSetBegin\n&& [ R1 ] NP -> n nosuch &&\nCFGRuleSetEnd\n";
  // Without the tag set nothing is known of the items: no finding.
  EXPECT_TRUE(CheckDataTexts(std::nullopt, kSequences, rules, true).empty());
  // The reader's own faults are still found.
  const auto found = CheckDataTexts(std::nullopt, kSequences, "CFGRuleSetBegin\n&& [\n", true);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].file, DataFile::kRules);
  EXPECT_EQ(found[0].line, 2);
}

TEST(CheckDataTextsTest, TheExamplesGiveWhatLintGivesForThem) {
  const std::vector<DataDiagnostic> found = CheckDataTexts(
      ReadFile(ExamplesDir() / "tags.txt"), ReadFile(ExamplesDir() / "sequences.txt"),
      ReadFile(ExamplesDir() / "rules.txt"), true);
  RecordingUserInterface ui;
  const DataLint lint = LintConfiguredDataFiles(ExamplesDir().string(), ui);
  ASSERT_EQ(found.size(), lint.findings.size());
  for (std::size_t k = 0; k < found.size(); ++k) {
    EXPECT_EQ(found[k].line, lint.findings[k].line);
    EXPECT_EQ(found[k].text, lint.findings[k].text);
  }
}

}  // namespace
}  // namespace marvolen
