#include "rules/lint.h"

#include <gtest/gtest.h>

#include <tuple>

#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "encoding/gbk.h"

namespace marvolen {
namespace {

struct Data {
  TagSet tags;
  RuleSet rules;
  SequenceList sequences;
};

// The three files read from their bytes with the run's readers (their lines
// kept), expecting no reader message.
Data Read(const std::string& tags, const std::string& rules, const std::string& sequences) {
  Data d;
  RecordingUserInterface ui;
  ReadTagSet(d.tags, *InputStream::FromBytes(tags), ui);
  ReadRuleSet(d.rules, *InputStream::FromBytes(rules), ui);
  ReadSequences(d.sequences, *InputStream::FromBytes(sequences), ui);
  EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
  return d;
}

using Place = std::tuple<DataFile, int, FindingKind>;

std::vector<Place> Places(const std::vector<Finding>& findings) {
  std::vector<Place> places;
  for (const Finding& f : findings) places.emplace_back(f.file, f.line, f.kind);
  return places;
}

TEST(LintTest, EachKindOfFindingIsReportedWithItsFileAndLine) {
  const Data d = Read("TagSetBegin\nn , v , a ,\nx\nTagSetEnd\n",
                      "CFGRuleSetBegin\n"
                      "&& [ R1 ] NP -> a n :: <T> = A\n"  // 2
                      "&& [ R2 ] NP -> a n :: <T> = A\n"  // 3: duplicate of R1
                      "&& [ R3 ] VP -> v zz &&\n"         // 4: zz is nothing
                      "&& [ R4 ] AP -> a n &&\n"          // 5: R1's right side
                      "&& [ R5 ] NP -> a n :: <T> = B\n"  // 6: R1 with another title
                      "&& [ R6 ] X -> Y &&\n"             // 7: cycle, never made
                      "&& [ R7 ] Y -> X &&\n"             // 8
                      "&& [ R8 ] S -> NP Y &&\n"          // 9: Y only from R7
                      "&& [ R9 ] S -> a n v a &&\n"       // 10: four items
                      "&& [ R10 ] S -> &&\n"              // 11: none
                      "CFGRuleSetEnd\n",
                      "n a\nn q v\n\nv zz\n");
  const std::vector<Finding> findings = LintDataFiles(d.tags, d.rules, d.sequences, true);
  const std::vector<Place> expected = {
      {DataFile::kTags, 3, FindingKind::kUnusedTag},
      {DataFile::kRules, 3, FindingKind::kDuplicate},
      {DataFile::kRules, 5, FindingKind::kSameRightSide},
      {DataFile::kRules, 6, FindingKind::kOtherTreeTitle},
      {DataFile::kRules, 7, FindingKind::kUnreachableItem},
      {DataFile::kRules, 7, FindingKind::kUnaryCycle},
      {DataFile::kRules, 8, FindingKind::kUnreachableItem},
      {DataFile::kRules, 9, FindingKind::kUnreachableItem},
      {DataFile::kRules, 10, FindingKind::kNeverAppliedLength},
      {DataFile::kRules, 11, FindingKind::kNeverAppliedLength},
      {DataFile::kSequences, 2, FindingKind::kSequenceUnknownItem},
      {DataFile::kSequences, 4, FindingKind::kSequenceUnknownItem},
  };
  EXPECT_EQ(Places(findings), expected);
  // zz stands in a sequence, so R3 may apply there; the sequence is named.
  EXPECT_EQ(findings[11].text, "sequence v zz: item zz is not in the tag set");
  EXPECT_EQ(findings[10].text, "sequence n q v: item q is not in the tag set");
  EXPECT_EQ(findings[1].text,
            "R2 NP -> a n :: A: repeats R1 NP -> a n :: A (line 2): the same left tag, right "
            "side and tree title");
  EXPECT_EQ(findings[7].text,
            "R8 S -> NP Y: item Y is made only by rules that can never apply; the rule can "
            "never apply");
}

TEST(LintTest, APlantedDuplicateAndAnImpossibleRuleAreFoundOnTheirLines) {
  const Data d = Read("TagSetBegin\nn , v\nTagSetEnd\n",
                      "CFGRuleSetBegin\n\n"
                      "&& [ R1 ] NP -> n n &&\n"
                      "&& [ R2 ] VP -> v NP &&\n\n\n"
                      "&& [ R3 ] VP -> v\n   NP &&\n"  // 7-8: duplicate of R2, from its "&&"
                      "&& [ R4 ] NP -> n nosuch &&\n"  // 9
                      "CFGRuleSetEnd\n",
                      "n v\n");
  const std::string text = FormatFindings(LintDataFiles(d.tags, d.rules, d.sequences, true),
                                          "tags.txt", "rules.txt", "seq.txt");
  EXPECT_EQ(text,
            "rules.txt:7: R3 VP -> v NP: repeats R2 VP -> v NP (line 4): the same left tag, right "
            "side and tree title\n"
            "rules.txt:9: R4 NP -> n nosuch: item nosuch is neither in the tag set nor in a "
            "sequence nor the left tag of any rule; the rule can never apply\n");
}

TEST(LintTest, TheParticleAndConjunctionAreItemsOfTheLongModeOnly) {
  const std::string de = Gbk("u<的>"), he = Gbk("c<和>");
  const Data d = Read("TagSetBegin\nn , a\nTagSetEnd\n",
                      "CFGRuleSetBegin\n&& [ R1 ] NP -> n " + de + " &&\n&& [ R2 ] NP -> n " + he +
                          " n &&\n&& [ R3 ] NP -> a n &&\nCFGRuleSetEnd\n",
                      "a n\n");
  EXPECT_TRUE(LintDataFiles(d.tags, d.rules, d.sequences, false).empty());
  const std::vector<Finding> shortMode = LintDataFiles(d.tags, d.rules, d.sequences, true);
  ASSERT_EQ(shortMode.size(), 2u);
  EXPECT_EQ(shortMode[0].kind, FindingKind::kUnknownItem);
  EXPECT_EQ(shortMode[1].line, 3);
}

TEST(LintTest, SequenceLinesAreCountedInTheFileAcrossLongLinesAndNulBytes) {
  // A line longer than one read is stored as two entries of one file line;
  // a NUL byte ends the text of its line but not the line.
  const std::string sequences =
      "n n\r\n" + std::string(120, ' ') + "n\r\n" + std::string("n\0zz\r\n", 6) + "n\r\nn q\r\n";
  const Data d = Read("TagSetBegin\nn\nTagSetEnd\n",
                      "CFGRuleSetBegin\n&& [ R1 ] NP -> n n &&\nCFGRuleSetEnd\n", sequences);
  EXPECT_EQ(d.sequences.fileLines, (std::vector<int>{1, 2, 2, 3, 4, 5}));
  const std::vector<Finding> findings = LintDataFiles(d.tags, d.rules, d.sequences, true);
  EXPECT_EQ(Places(findings),
            (std::vector<Place>{{DataFile::kSequences, 5, FindingKind::kSequenceUnknownItem}}));
}

}  // namespace
}  // namespace marvolen
