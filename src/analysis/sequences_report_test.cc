#include <gtest/gtest.h>

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

SequenceList Lines(std::vector<std::string> utf8Lines) {
  SequenceList list;
  for (const std::string& line : utf8Lines) list.lines.push_back(Gbk(line));
  return list;
}

struct Outcome {
  testing_util::Sections sections;
  ProgressRecorder ui;
  std::string bytes;
};

Outcome Build(const std::vector<std::string>& lines, const std::vector<R>& rules) {
  Outcome run;
  ReportFile file;
  BuildSequencesReport(Lines(lines), Rules(rules), file.stream(), run.ui);
  run.bytes = file.Bytes();
  run.sections = testing_util::SplitReport(run.bytes, testing_util::SequencesHeadings());
  return run;
}

const std::vector<R> kCovertRules = {
    {"X", "p q ", "T1"}, {"Y", "q r ", "T2"}, {"Z", "X r ", "T3"}, {"Z", "p Y ", "T4"}};

TEST(SequencesReportTest, CovertWorkedExampleByteForByte) {
  const Outcome run = Build({"p q r\n"}, kCovertRules);
  EXPECT_EQ(run.bytes,
            OnDisk("\n\nsequences.txt文件中共有排列:1个\n"
                   "\n\n其中无组合关系的排列:0个\n"
                   "\n\n其中有组合关系的排列:1个\n"
                   "\n\n\t其中只有一种组合关系的排列:0个\n"
                   "\n\n\t其中有两种以上组合关系的排列:1个\n"
                   "\n\n\t\t其中有外显型歧义的排列:0个\n"
                   "\n\n\t\t其中有内含型歧义的排列:1个\n"
                   "\n\nsequences.txt文件中的全部排列如下:\n\n"
                   "\tp q r \n"
                   "\n\nsequences.txt文件中不能组合的排列如下:\n\n"
                   "\t没有不能组合的格式!!!"
                   "\n\nsequences.txt文件中能组合的排列如下:\n\n"
                   "\tp q r \n"
                   "\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n"
                   "\t没有[无歧义格式]!!!"
                   "\n\nsequences.txt文件中外显型歧义的排列如下:\n\n"
                   "\t没有外显型歧义格式!!!"
                   "\n\nsequences.txt文件中内含型歧义的排列如下:\n\n"
                   "\tp q r \n"
                   "\t\t[1](Z:T4(p,Y:T2(q,r)))\n"
                   "\t\t[2](Z:T3(X:T1(p,q),r))\n"
                   "\n\nsequences.txt文件中歧义程度统计:\n\n"
                   "\nsequences.txt文件中的内含型歧义:\n"
                   "\t [1] p q r \t2\n"
                   "\n--------sequences.txt文件中内含型歧义格式平均歧义个数：2.000000--------\n"
                   "\nsequences.txt文件中的外显型歧义:\n"
                   "\tsequences.txt文件中没有外显型歧义格式!!!\n"));
  EXPECT_TRUE(run.ui.messages.empty());
  EXPECT_EQ(run.ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST(SequencesReportTest, OvertWorkedExampleListsTheLastCompletedParseFirst) {
  const Outcome run = Build({"p q"}, {{"X", "p q ", "T1"}, {"Y", "p q ", "T2"}});
  EXPECT_EQ(run.sections.overtSection, Gbk("\n\nsequences.txt文件中外显型歧义的排列如下:\n\n"
                                           "\tp q \n\t\t[1](Y:T2(p,q))\n\t\t[2](X:T1(p,q))\n"));
  EXPECT_EQ(run.sections.covertSection,
            Gbk("\n\nsequences.txt文件中内含型歧义的排列如下:\n\n\t没有内含型歧义格式!!!"));
  EXPECT_EQ(run.sections.degreeSection,
            Gbk("\n\nsequences.txt文件中歧义程度统计:\n\n"
                "\nsequences.txt文件中的内含型歧义:\n"
                "\tsequences.txt文件中没有内含型歧义格式!!!\n"
                "\nsequences.txt文件中的外显型歧义:\n"
                "\t [1] p q \t2\n"
                "\n--------sequences.txt文件中外显型歧义格式平均歧义个数：2.000000--------\n"));
}

TEST(SequencesReportTest, OneWayLinesWriteTheirParseRightAfterTheItemLine) {
  const Outcome run = Build({"a n\n", "t\n"}, {{"NP", "a n ", "T"}});
  EXPECT_EQ(run.sections.oneWaySection,
            Gbk("\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n"
                "\ta n \n\t\t(NP:T(a,n))\n"
                "\tt \n\t\t(t)\n"));
  EXPECT_EQ(run.sections.combinableSection,
            Gbk("\n\nsequences.txt文件中能组合的排列如下:\n\n\ta n \n\tt \n"));
}

TEST(SequencesReportTest, ABlankLineCannotCombineAndNothingCombinesWithoutRules) {
  const Outcome run = Build({"\n", "a b\n", "c"}, {});
  EXPECT_EQ(run.sections.allSection,
            Gbk("\n\nsequences.txt文件中的全部排列如下:\n\n\t\n\ta b \n\tc \n"));
  EXPECT_EQ(run.sections.cannotCombineSection,
            Gbk("\n\nsequences.txt文件中不能组合的排列如下:\n\n\t\n\ta b \n"));
  EXPECT_EQ(run.sections.oneWaySection,
            Gbk("\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n\tc \n\t\t(c)\n"));
  EXPECT_EQ(run.sections.summarySection, Gbk("\n\nsequences.txt文件中共有排列:3个\n"
                                             "\n\n其中无组合关系的排列:2个\n"
                                             "\n\n其中有组合关系的排列:1个\n"
                                             "\n\n\t其中只有一种组合关系的排列:1个\n"
                                             "\n\n\t其中有两种以上组合关系的排列:0个\n"
                                             "\n\n\t\t其中有外显型歧义的排列:0个\n"
                                             "\n\n\t\t其中有内含型歧义的排列:0个\n"));
}

TEST(SequencesReportTest, NoLineCombines) {
  const Outcome run = Build({"a b\n", "b a\n"}, {{"X", "a a ", ""}});
  EXPECT_EQ(run.bytes, OnDisk("\n\nsequences.txt文件中共有排列:2个\n"
                              "\n\n其中无组合关系的排列:2个\n"
                              "\n\n其中有组合关系的排列:0个\n"
                              "\n\n\t其中只有一种组合关系的排列:0个\n"
                              "\n\n\t其中有两种以上组合关系的排列:0个\n"
                              "\n\n\t\t其中有外显型歧义的排列:0个\n"
                              "\n\n\t\t其中有内含型歧义的排列:0个\n"
                              "\n\nsequences.txt文件中的全部排列如下:\n\n"
                              "\ta b \n\tb a \n"
                              "\n\nsequences.txt文件中不能组合的排列如下:\n\n"
                              "\ta b \n\tb a \n"
                              "\n\nsequences.txt文件中能组合的排列如下:\n\n"
                              "\t没有能组合的格式!!!"
                              "\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n"
                              "\t没有[无歧义格式]!!!"
                              "\n\nsequences.txt文件中外显型歧义的排列如下:\n\n"
                              "\t没有外显型歧义格式!!!"
                              "\n\nsequences.txt文件中内含型歧义的排列如下:\n\n"
                              "\t没有内含型歧义格式!!!"
                              "\n\nsequences.txt文件中歧义程度统计:\n\n"
                              "\nsequences.txt文件中的内含型歧义:\n"
                              "\tsequences.txt文件中没有内含型歧义格式!!!\n"
                              "\nsequences.txt文件中的外显型歧义:\n"
                              "\tsequences.txt文件中没有外显型歧义格式!!!\n"));
}

TEST(SequencesReportTest, DegreesAreRankedAndAveraged) {
  // p q: covert, 2 parses; a b c: covert, 3 parses; x y: covert, 2 parses.
  const std::vector<R> rules = {{"S", "p q ", "T1"},   {"S", "p q ", "T2"},   {"S", "a b c ", "U1"},
                                {"S", "a b c ", "U2"}, {"S", "a b c ", "U3"}, {"S", "x y ", "V1"},
                                {"S", "x y ", "V2"}};
  const Outcome run = Build({"p q\n", "a b c\n", "x y\n"}, rules);
  EXPECT_EQ(run.sections.degreeSection,
            Gbk("\n\nsequences.txt文件中歧义程度统计:\n\n"
                "\nsequences.txt文件中的内含型歧义:\n"
                "\t [1] a b c \t3\n"
                "\t [2] p q \t2\n"
                "\t [3] x y \t2\n"
                "\n--------sequences.txt文件中内含型歧义格式平均歧义个数：2.333333--------\n"
                "\nsequences.txt文件中的外显型歧义:\n"
                "\tsequences.txt文件中没有外显型歧义格式!!!\n"));
  const Outcome two = Build({"p q\n", "a b c\n"}, rules);
  EXPECT_NE(two.sections.degreeSection.find(Gbk("平均歧义个数：2.500000--------\n")),
            std::string::npos);
}

TEST(SequencesReportTest, ThreeParsesAreNumberedInListOrder) {
  const Outcome run = Build({"a b"}, {{"X", "a b ", "1"}, {"Y", "a b ", "2"}, {"X", "a b ", "3"}});
  EXPECT_EQ(run.sections.overtSection,
            Gbk("\n\nsequences.txt文件中外显型歧义的排列如下:\n\n"
                "\ta b \n\t\t[1](X:3(a,b))\n\t\t[2](Y:2(a,b))\n\t\t[3](X:1(a,b))\n"));
}

TEST(SequencesReportTest, PercentSignsInItemsAndTitlesAreWrittenAsTheyAre) {
  const Outcome run = Build({"%s %d%n\n"}, {{"X", "%s %d%n ", "%f%%"}});
  EXPECT_EQ(run.sections.oneWaySection,
            Gbk("\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n"
                "\t%s %d%n \n\t\t(X:%f%%(%s,%d%n))\n"));
  EXPECT_NE(run.bytes.find("\t%s %d%n \r\n\t\t(X:%f%%(%s,%d%n))\r\n"), std::string::npos);
}

TEST(SequencesReportTest, TheSameLineTwiceIsListedAndCountedTwice) {
  const Outcome run = Build({"p q\n", "p q\n"}, {{"X", "p q ", "T1"}, {"Y", "p q ", "T2"}});
  EXPECT_EQ(run.sections.allSection,
            Gbk("\n\nsequences.txt文件中的全部排列如下:\n\n\tp q \n\tp q \n"));
  EXPECT_NE(run.sections.degreeSection.find("\t [1] p q \t2\n\t [2] p q \t2\n"), std::string::npos);
  EXPECT_NE(run.sections.summarySection.find(Gbk("\n\n\t\t其中有外显型歧义的排列:2个\n")),
            std::string::npos);
}

TEST(SequencesReportTest, FiveItemsAreAcceptedAndKeepTheirLongItems) {
  const std::string longItem = "abcdefghijklmnopqrs";  // 19 bytes
  const Outcome run = Build({"a b c d " + longItem + "\n"}, {});
  EXPECT_TRUE(run.ui.messages.empty());
  EXPECT_EQ(run.sections.allSection,
            Gbk("\n\nsequences.txt文件中的全部排列如下:\n\n\ta b c d " + longItem + " \n"));
}

TEST(SequencesReportTest, ASixItemLineStopsTheReportWithoutWritingAnything) {
  ProgressRecorder ui;
  ReportFile file;
  file.stream().Write("the tag-set report\n");
  EXPECT_EQ(BuildSequencesReport(Lines({"p q\n", "a b c d e f\n", "p q\n"}),
                                 Rules({{"X", "p q ", ""}}), file.stream(), ui),
            ReportEnd::kStoppedOnError);
  EXPECT_EQ(file.Bytes(), "the tag-set report\r\n");
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"One permutation contains too many tokens"}));
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST(SequencesReportTest, RunningOutOfMemoryStopsTheReportWithoutWritingAnything) {
  const RuleSet rules = Rules({{"X", "p q ", ""}, {"Y", "p q ", ""}});
  // While judging (the second of three lines), or while listing the parses
  // (the fifth search: the second line again), after part of the report was
  // written.
  for (const int failAt : {2, 5}) {
    SCOPED_TRACE(failAt);
    ProgressRecorder ui;
    ReportFile file;
    file.stream().Write("the tag-set report\n");
    FailingEngine engine(rules, failAt);
    EXPECT_EQ(BuildSequencesReport(Lines({"p q\n", "p q\n", "p q\n"}), file.stream(), ui, engine),
              ReportEnd::kStoppedOnError);
    EXPECT_EQ(engine.calls(), failAt);
    EXPECT_EQ(file.Bytes(), "the tag-set report\r\n");
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Memory Allocation Error !"}));
    EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
  }
}

TEST(SequencesReportTest, ReportsProgressOverTheJudgingAndTheListing) {
  ProgressRecorder ui;
  ReportFile file;
  std::vector<std::string> lines(450, "p q\n");
  lines.push_back("q p\n");
  BuildSequencesReport(Lines(lines), Rules({{"X", "p q ", ""}}), file.stream(), ui);
  ASSERT_FALSE(ui.progress.empty());
  EXPECT_LE(ui.progress.size(), 450u);
  // 451 lines judged, then the 450 that combine listed.
  EXPECT_EQ(ui.progress.back(), std::make_pair(std::int64_t{901}, std::int64_t{901}));
  for (std::size_t k = 1; k < ui.progress.size(); ++k) {
    EXPECT_GT(ui.progress[k].first, ui.progress[k - 1].first);
    EXPECT_GE(ui.progress[k].second, ui.progress[k - 1].second);
  }
}

TEST(SequencesReportTest, CyclesOfOneItemRulesDoNotStopTheReport) {
  const Outcome run =
      Build({"a\n", "p q\n"},
            {{"X", "a ", ""}, {"a", "X ", ""}, {"S", "p q ", ""}, {"S", "S ", "again"}});
  EXPECT_EQ(
      run.sections.overtSection,
      Gbk("\n\nsequences.txt文件中外显型歧义的排列如下:\n\n\ta \n\t\t[1](X(a))\n\t\t[2](a)\n"));
  EXPECT_EQ(
      run.sections.oneWaySection,
      Gbk("\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n\tp q \n\t\t(S(p,q))\n"));
}

}  // namespace
}  // namespace marvolen
