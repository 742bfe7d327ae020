#include "analysis/sequence_analysis.h"

#include <gtest/gtest.h>

#include "analysis/report_test_util.h"

namespace marvolen {
namespace {

using testing_util::R;
using testing_util::Rules;

std::vector<std::string> Print(const ParseList& parses) {
  std::vector<std::string> texts;
  for (const auto& tree : parses) {
    texts.emplace_back();
    PrintTree(tree.get(), texts.back());
  }
  return texts;
}

TEST(SplitSequenceTest, ItemsAreSplitAsInTheSequencesFileAndCheckedAgainstTheSlots) {
  const std::string item19(19, 'x'), item20(20, 'y');
  const struct {
    std::string line;
    SequenceProblem problem;
    int count;
    std::vector<std::string> items;
  } cases[] = {
      {"", SequenceProblem::kNone, 0, {}},
      {" \r\n", SequenceProblem::kNone, 0, {}},
      {"  v  n\tx " + Gbk("u<的>") + "\r\n",
       SequenceProblem::kNone,
       3,
       {"v", "n\tx", Gbk("u<的>")}},
      {"a b c d e", SequenceProblem::kNone, 5, {"a", "b", "c", "d", "e"}},
      {"a b c d e f", SequenceProblem::kTooManyItems, 6, {"a", "b", "c", "d", "e"}},
      {"a " + item19, SequenceProblem::kNone, 2, {"a", item19}},
      {"a " + item20 + " " + item20 + "z",
       SequenceProblem::kItemTooLong,
       3,
       {"a", item20, item20 + "z"}},
  };
  for (const auto& c : cases) {
    const SequenceAnalysis split = SplitSequence(c.line);
    EXPECT_EQ(split.problem, c.problem) << c.line;
    EXPECT_EQ(split.itemCount, c.count) << c.line;
    EXPECT_EQ(split.items, c.items) << c.line;
    EXPECT_EQ(split.overlongItem, c.problem == SequenceProblem::kItemTooLong ? item20 : "");
    EXPECT_TRUE(split.parses.empty());
  }
}

TEST(SequenceAnalyserTest, JudgesTheWorkedExamplesAsTheReportDoes) {
  // Covert: two parses with root Z, the one through Y first.
  SequenceAnalyser covert(
      Rules({{"X", "p q ", "T1"}, {"Y", "q r ", "T2"}, {"Z", "X r ", "T3"}, {"Z", "p Y ", "T4"}}));
  SequenceAnalysis a = covert.Analyse("p q r\n");
  EXPECT_EQ(a.problem, SequenceProblem::kNone);
  EXPECT_EQ(a.judgement, PermutationClass::Covert);
  EXPECT_EQ(Print(a.parses),
            (std::vector<std::string>{"(Z:T4(p,Y:T2(q,r)))", "(Z:T3(X:T1(p,q),r))"}));
  // The same analyser serves the next line: one way, then cannot combine.
  a = covert.Analyse("p q");
  EXPECT_EQ(a.judgement, PermutationClass::OneWay);
  EXPECT_EQ(Print(a.parses), (std::vector<std::string>{"(X:T1(p,q))"}));
  EXPECT_EQ(covert.Analyse("q p").judgement, PermutationClass::CannotCombine);
  EXPECT_EQ(covert.Analyse("").judgement, PermutationClass::CannotCombine);

  // Overt, with the rules given as a temporary: the analyser keeps them.
  SequenceAnalyser overt(Rules({{"X", "p q ", "T1"}, {"Y", "p q ", "T2"}}));
  a = overt.Analyse("p q");
  EXPECT_EQ(a.judgement, PermutationClass::Overt);
  EXPECT_EQ(Print(a.parses), (std::vector<std::string>{"(Y:T2(p,q))", "(X:T1(p,q))"}));
  EXPECT_EQ(overt.rules().count(), 2);
}

// Past the limit a line is judged and counted, and no tree is built; at the
// limit every parse is there. S -> S S over five S has 14 parses (Catalan).
TEST(SequenceAnalyserTest, ALineWithMoreParsesThanTheLimitIsCountedWithoutTrees) {
  const auto rules = [] { return Rules({{"S", "S S ", "T"}}); };
  for (const std::uint64_t limit : {1u, 13u, 14u, 1000u}) {
    SequenceAnalyser analyser(rules(), SearchEngine::kChart, limit);
    const SequenceAnalysis a = analyser.Analyse("S S S S S");
    EXPECT_EQ(a.problem, SequenceProblem::kNone);
    EXPECT_EQ(a.parseCount, 14u) << limit;
    EXPECT_EQ(a.judgement, PermutationClass::Covert) << limit;
    EXPECT_EQ(a.parses.size(), limit >= 14 ? 14u : 0u) << limit;
  }
  // Two root labels over the limit: still overt.
  SequenceAnalyser overt(Rules({{"S", "S S ", "T"}, {"X", "S S ", "U"}}), SearchEngine::kLiteral,
                         1);
  const SequenceAnalysis a = overt.Analyse("S S S");
  EXPECT_GT(a.parseCount, 1u);
  EXPECT_TRUE(a.parses.empty());
  EXPECT_EQ(a.judgement, PermutationClass::Overt);
}

TEST(SequenceAnalyserTest, ALineThatCannotBeAnalysedIsNotSearched) {
  SequenceAnalyser analyser(Rules({{"X", "a ", ""}}));
  for (const std::string& line : {std::string("a a a a a a"), "a " + std::string(20, 'a')}) {
    const SequenceAnalysis a = analyser.Analyse(line);
    EXPECT_NE(a.problem, SequenceProblem::kNone) << line;
    EXPECT_TRUE(a.parses.empty());
    EXPECT_EQ(a.judgement, PermutationClass::CannotCombine);
  }
  EXPECT_EQ(analyser.Analyse("a").judgement, PermutationClass::Overt);
}

TEST(SequenceAnalyserTest, BothSearchesGiveTheSameParses) {
  const std::vector<R> rules = {{"NP", "n n ", "A"},
                                {"NP", "NP n ", "A"},
                                {"NP", "n NP ", "A"},
                                {"S", "NP ", "B"},
                                {"NP", "NP NP ", "C"}};
  SequenceAnalyser chart(Rules(rules), SearchEngine::kChart);
  SequenceAnalyser literal(Rules(rules), SearchEngine::kLiteral);
  for (const char* line : {"n", "n n", "n n n", "n n n n", "n n n n n", "n v n"}) {
    const SequenceAnalysis a = chart.Analyse(line), b = literal.Analyse(line);
    EXPECT_EQ(Print(a.parses), Print(b.parses)) << line;
    EXPECT_EQ(a.judgement, b.judgement) << line;
  }
}

TEST(JudgementWordsTest, TheReportsWords) {
  EXPECT_STREQ(JudgementWords(PermutationClass::CannotCombine), "不能组合");
  EXPECT_STREQ(JudgementWords(PermutationClass::OneWay), "只有一种组合方式(无歧义)");
  EXPECT_STREQ(JudgementWords(PermutationClass::Overt), "外显型歧义");
  EXPECT_STREQ(JudgementWords(PermutationClass::Covert), "内含型歧义");
}

}  // namespace
}  // namespace marvolen
