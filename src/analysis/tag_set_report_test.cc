#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "analysis/report_test_util.h"
#include "analysis/reports.h"

namespace marvolen {
namespace {

using testing_util::FailingEngine;
using testing_util::OnDisk;
using testing_util::ProgressRecorder;
using testing_util::R;
using testing_util::ReportFile;
using testing_util::Rules;

TagSet Tags(std::vector<std::string> utf8Tags) {
  TagSet set;
  for (const std::string& tag : utf8Tags) set.tags.push_back(Gbk(tag));
  return set;
}

struct Outcome {
  testing_util::Sections sections;
  ProgressRecorder ui;
  std::string bytes;
};

Outcome Build(bool threeItemsOnly, const std::vector<std::string>& tags,
              const std::vector<R>& rules) {
  Outcome out;
  ReportFile file;
  BuildTagSetReport(threeItemsOnly, Tags(tags), Rules(rules), file.stream(), out.ui);
  out.bytes = file.Bytes();
  out.sections = testing_util::SplitReport(out.bytes, testing_util::TagSetHeadings(threeItemsOnly));
  return out;
}

std::vector<std::string> LinesOf(const std::string& section, const std::string& heading) {
  EXPECT_EQ(section.rfind(heading, 0), 0u) << "section does not start with its heading";
  std::vector<std::string> lines;
  std::istringstream in(section.substr(heading.size()));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(TagSetReportTest, OneTagWithoutRulesByteForByte) {
  const Outcome out = Build(true, {"t"}, {});
  EXPECT_EQ(out.bytes,
            OnDisk("\n\n全部标记共有 1 个: \n\tt \n"
                   "\n\n全部标记全排列——共有排列:1个\n"
                   "\n\n无组合关系的排列:1个\n"
                   "\n\n有组合关系的排列:0个\n"
                   "\n\n\t其中只有一种组合关系的排列:0个\n"
                   "\n\n\t其中有两种以上组合关系的排列:0个\n"
                   "\n\n\t\t其中有外显型歧义的排列:0个\n"
                   "\n\n\t\t其中有内含型歧义的排列:0个\n"
                   "\n\n全部标记全排列——3项词类或短语类标记的全部排列如下:\n\n"
                   "\tt t t\n"
                   "\n\n全部标记全排列——3项词类或短语类标记不能组合的排列如下:\n\n"
                   "\tt t t \n"
                   "\n\n全部标记全排列——3项词类或短语类标记能组合的排列如下:\n\n"
                   "\t没有能组合的格式!!!"
                   "\n\n全部标记全排列——3项词类或短语类标记只有一种组合方式(无歧义)的排列如下:\n\n"
                   "\t没有[无歧义格式]!!!"
                   "\n\n全部标记全排列——3项词类或短语类标记外显型歧义的排列如下:\n\n"
                   "\t没有外显型歧义格式!!!"
                   "\n\n全部标记全排列——3项词类或短语类标记内含型歧义的排列如下:\n\n"
                   "\t没有内含型歧义格式!!!"
                   "\n\n全部标记全排列——3项排列的歧义程度统计:\n\n"
                   "\n全部标记全排列——内含型歧义:\n"
                   "\t无内含型歧义格式!!!"
                   "\n全部标记全排列——外显型歧义:\n"
                   "\t无外显型歧义格式!!!\n"));
  EXPECT_TRUE(out.ui.messages.empty());
  EXPECT_EQ(out.ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST(TagSetReportTest, ThreeItemModeWithEveryJudgementByteForByte) {
  const std::vector<R> rules = {{"N", "a a ", "T1"},   {"V", "a a ", "T2"}, {"S", "N b ", "主谓"},
                                {"S", "V b ", "主谓"}, {"S", "a b a ", ""}, {"S", "b b b ", "X"},
                                {"P", "b b b ", "Y"}};
  const Outcome out = Build(true, {"a", "b"}, rules);
  EXPECT_EQ(out.bytes,
            OnDisk("\n\n全部标记共有 2 个: \n\ta b \n"
                   "\n\n全部标记全排列——共有排列:8个\n"
                   "\n\n无组合关系的排列:5个\n"
                   "\n\n有组合关系的排列:3个\n"
                   "\n\n\t其中只有一种组合关系的排列:1个\n"
                   "\n\n\t其中有两种以上组合关系的排列:2个\n"
                   "\n\n\t\t其中有外显型歧义的排列:1个\n"
                   "\n\n\t\t其中有内含型歧义的排列:1个\n"
                   "\n\n全部标记全排列——3项词类或短语类标记的全部排列如下:\n\n"
                   "\ta a a\n\ta a b\n\ta b a\n\ta b b\n\tb a a\n\tb a b\n\tb b a\n\tb b b\n"
                   "\n\n全部标记全排列——3项词类或短语类标记不能组合的排列如下:\n\n"
                   "\ta a a \n\ta b b \n\tb a a \n\tb a b \n\tb b a \n"
                   "\n\n全部标记全排列——3项词类或短语类标记能组合的排列如下:\n\n"
                   "\ta a b\n\ta b a\n\tb b b\n"
                   "\n\n全部标记全排列——3项词类或短语类标记只有一种组合方式(无歧义)的排列如下:\n\n"
                   "\ta b a\n\t\t(S(a,b,a))\n"
                   "\n\n全部标记全排列——3项词类或短语类标记外显型歧义的排列如下:\n\n"
                   "\tb b b\n\t\t[1](P:Y(b,b,b))\n\t\t[2](S:X(b,b,b))\n"
                   "\n\n全部标记全排列——3项词类或短语类标记内含型歧义的排列如下:\n\n"
                   "\ta a b\n\t\t[1](S:主谓(V:T2(a,a),b))\n\t\t[2](S:主谓(N:T1(a,a),b))\n"
                   "\n\n全部标记全排列——3项排列的歧义程度统计:\n\n"
                   "\n全部标记全排列——内含型歧义:\n"
                   "\t [1] a a b\t\t2\n"
                   "\n--------全部标记全排列——内含型歧义格式平均歧义个数：2.000000--------\n"
                   "\n全部标记全排列——外显型歧义:\n"
                   "\t [1] b b b\t\t2\n"
                   "\n--------全部标记全排列——外显型歧义格式平均歧义个数：2.000000--------\n"));
}

TEST(TagSetReportTest, LongModeTakesTheEightPatternsInOrder) {
  const Outcome out = Build(false, {"a", "b"}, {});
  const std::vector<std::string> all =
      LinesOf(out.sections.allSection,
              Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记的全部排列如下:\n\n"));
  ASSERT_EQ(all.size(), 64u);
  EXPECT_EQ(all.front(), Gbk("\ta u<的> a a "));
  EXPECT_EQ(all[1], Gbk("\ta u<的> a b "));
  EXPECT_EQ(all[7], Gbk("\tb u<的> b b "));
  EXPECT_EQ(all[8], Gbk("\ta a u<的> a "));
  EXPECT_EQ(all[16], Gbk("\ta c<和> a a "));
  EXPECT_EQ(all[32], Gbk("\ta u<的> a c<和> a"));
  EXPECT_EQ(all.back(), Gbk("\tb b u<的> c<和> b"));
  for (std::size_t k = 0; k < all.size(); ++k) {
    // Five fields in every line: no three-item line in this mode.
    EXPECT_EQ(std::count(all[k].begin(), all[k].end(), ' '), 4) << k;
    EXPECT_EQ(all[k].back() == ' ', k < 32) << k;
  }
  // Without a blank added in the cannot-combine list.
  const std::vector<std::string> cannot =
      LinesOf(out.sections.cannotCombineSection,
              Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记不能组合的排列如下:\n\n"));
  ASSERT_EQ(cannot.size(), 64u);
  EXPECT_EQ(cannot.front(), Gbk("\ta u<的> a a "));
  EXPECT_EQ(cannot.back(), Gbk("\tb b u<的> c<和> b"));
  EXPECT_EQ(
      out.sections.oneWaySection,
      Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记只有一种组合方式(无歧义)的排列如下:\n\n"
          "\t没有[无歧义格式]!!!"));
  EXPECT_EQ(out.sections.degreeSection, Gbk("\n\n全部标记全排列——4项及5项排列的歧义程度统计:\n\n"
                                            "\n全部标记全排列——内含型歧义:\n"
                                            "\t无内含型歧义格式!!!"
                                            "\n全部标记全排列——外显型歧义:\n"
                                            "\t无外显型歧义格式!!!\n"));
  EXPECT_EQ(out.sections.summarySection, Gbk("\n\n全部标记共有 2 个: \n\ta b \n"
                                             "\n\n全部标记全排列——共有排列:64个\n"
                                             "\n\n无组合关系的排列:64个\n"
                                             "\n\n有组合关系的排列:0个\n"
                                             "\n\n\t其中只有一种组合关系的排列:0个\n"
                                             "\n\n\t其中有两种以上组合关系的排列:0个\n"
                                             "\n\n\t\t其中有外显型歧义的排列:0个\n"
                                             "\n\n\t\t其中有内含型歧义的排列:0个\n"));
}

TEST(TagSetReportTest, LongModeEntriesAndDegreeLinesCarryFiveSlots) {
  const std::vector<R> rules = {{"N", "a u<的> ", "T1"},  {"N", "a u<的> ", "T2"},
                                {"S", "N a a ", ""},      {"C", "b c<和> b ", ""},
                                {"M", "C u<的> b ", "A"}, {"M", "C u<的> b ", "B"},
                                {"K", "C u<的> b ", "C"}, {"K", "C u<的> b ", "D"}};
  const Outcome out = Build(false, {"a", "b"}, rules);
  EXPECT_EQ(out.sections.covertSection,
            Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记内含型歧义的排列如下:\n\n"
                "\ta u<的> a a \n"
                "\t\t[1](S(N:T2(a,u<的>),a,a))\n"
                "\t\t[2](S(N:T1(a,u<的>),a,a))\n"));
  EXPECT_EQ(out.sections.overtSection,
            Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记外显型歧义的排列如下:\n\n"
                "\tb c<和> b u<的> b\n"
                "\t\t[1](K:D(C(b,c<和>,b),u<的>,b))\n"
                "\t\t[2](K:C(C(b,c<和>,b),u<的>,b))\n"
                "\t\t[3](M:B(C(b,c<和>,b),u<的>,b))\n"
                "\t\t[4](M:A(C(b,c<和>,b),u<的>,b))\n"));
  EXPECT_EQ(out.sections.degreeSection,
            Gbk("\n\n全部标记全排列——4项及5项排列的歧义程度统计:\n\n"
                "\n全部标记全排列——内含型歧义:\n"
                "\t [1] a u<的> a a \t2\n"
                "\n--------全部标记全排列——内含型歧义格式平均歧义个数：2.000000--------\n"
                "\n全部标记全排列——外显型歧义:\n"
                "\t [1] b c<和> b u<的> b\t4\n"
                "\n--------全部标记全排列——外显型歧义格式平均歧义个数：4.000000--------\n"));
  EXPECT_NE(out.sections.summarySection.find(Gbk("\n\n无组合关系的排列:62个\n")),
            std::string::npos);
}

TEST(TagSetReportTest, TagsAreCopiedIntoTheSummaryAsTheyAre) {
  const Outcome out = Build(true, {"%d", "%s", "名词"}, {});
  EXPECT_EQ(out.sections.summarySection.rfind(Gbk("\n\n全部标记共有 3 个: \n\t%d %s 名词 \n"
                                                  "\n\n全部标记全排列——共有排列:27个\n"),
                                              0),
            0u);
  EXPECT_NE(out.sections.allSection.find(Gbk("\t%s 名词 %d\n")), std::string::npos);
}

TEST(TagSetReportTest, ReportsProgressOverAllPermutations) {
  const Outcome out = Build(false, {"a", "b", "c"}, {});
  ASSERT_FALSE(out.ui.progress.empty());
  EXPECT_EQ(out.ui.progress.back(), std::make_pair(std::int64_t{216}, std::int64_t{216}));
}

TEST(TagSetReportTest, RunningOutOfMemoryLeavesTheFileToTheSequencesReport) {
  const TagSet tags = Tags({"p", "q"});
  const RuleSet rules = Rules({{"X", "p q ", "T1"}, {"Y", "p q ", "T2"}});
  SequenceList sequences;
  sequences.lines = {"p q\n", "q p\n"};

  // The sequences report alone.
  std::string alone;
  {
    ReportFile file;
    RecordingUserInterface ui;
    BuildSequencesReport(sequences, rules, file.stream(), ui);
    alone = file.Bytes();
  }
  ASSERT_FALSE(alone.empty());

  // Both reports, one after the other.
  std::string tagSetAlone;
  {
    ReportFile file;
    RecordingUserInterface ui;
    BuildTagSetReport(true, tags, rules, file.stream(), ui);
    tagSetAlone = file.Bytes();
  }
  {
    ReportFile file;
    RecordingUserInterface ui;
    BuildTagSetReport(true, tags, rules, file.stream(), ui);
    BuildSequencesReport(sequences, rules, file.stream(), ui);
    EXPECT_EQ(file.Bytes(), tagSetAlone + alone);
  }

  // The tag-set report runs out of memory at its fifth permutation.
  ReportFile file;
  RecordingUserInterface ui;
  FailingEngine engine(rules, 5);
  BuildTagSetReport(true, tags, file.stream(), ui, engine);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Memory Allocation Error !"}));
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
  BuildSequencesReport(sequences, rules, file.stream(), ui);
  EXPECT_EQ(file.Bytes(), alone);
}

}  // namespace
}  // namespace marvolen
