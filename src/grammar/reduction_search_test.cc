#include "grammar/reduction_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "grammar/search_test_util.h"
#include "grammar/unary_cycles.h"

namespace marvolen {
namespace {

using namespace search_testing;

std::vector<std::string> Parse(const std::vector<std::string>& items, const std::vector<R>& rules,
                               UnaryCycleGuard guard = UnaryCycleGuard::kOn) {
  return Print(FindDistinctParses(Items(items), Rules(rules), guard));
}

using Texts = std::vector<std::string>;

TEST(FindDistinctParsesTest, TheParseCompletedLastComesFirst) {
  EXPECT_EQ(Parse({"p", "q", "r"},
                  {{"X", "p q ", ""}, {"Y", "q r ", ""}, {"S", "X r ", ""}, {"S", "p Y ", ""}}),
            (Texts{"(S(p,Y(q,r)))", "(S(X(p,q),r))"}));
}

TEST(FindDistinctParsesTest, CovertExampleWithTreeTitles) {
  EXPECT_EQ(
      Parse({"p", "q", "r"},
            {{"X", "p q ", "T1"}, {"Y", "q r ", "T2"}, {"Z", "X r ", "T3"}, {"Z", "p Y ", "T4"}}),
      (Texts{"(Z:T4(p,Y:T2(q,r)))", "(Z:T3(X:T1(p,q),r))"}));
}

TEST(FindDistinctParsesTest, TwoIndependentReductionsInEitherOrderGiveOneParse) {
  EXPECT_EQ(Parse({"p", "q", "r", "s"}, {{"A", "p q ", ""}, {"B", "r s ", ""}, {"S", "A B ", ""}}),
            (Texts{"(S(A(p,q),B(r,s)))"}));
}

TEST(FindDistinctParsesTest, LeftRecursionOverThreeItemsGivesOneParse) {
  EXPECT_EQ(Parse({"p", "q", "r"}, {{"X", "p q ", ""}, {"X", "X r ", ""}}),
            (Texts{"(X(X(p,q),r))"}));
}

TEST(FindDistinctParsesTest, EqualRulesGiveOneParseAndDifferentTitlesTwo) {
  EXPECT_EQ(Parse({"p", "q"}, {{"X", "p q ", "T"}, {"X", "p q ", "T"}}), (Texts{"(X:T(p,q))"}));
  EXPECT_EQ(Parse({"p", "q"}, {{"X", "p q ", "T1"}, {"X", "p q ", "T2"}}),
            (Texts{"(X:T2(p,q))", "(X:T1(p,q))"}));
  EXPECT_EQ(Parse({"p", "q"}, {{"X", "p q ", "T1"}, {"Y", "p q ", "T2"}}),
            (Texts{"(Y:T2(p,q))", "(X:T1(p,q))"}));
}

TEST(FindDistinctParsesTest, NothingCombinesOrNothingToCombine) {
  EXPECT_EQ(Parse({"p", "q", "r"}, {{"X", "q p ", ""}, {"Y", "p r ", ""}}), Texts{});
  EXPECT_EQ(Parse({}, {{"X", "p ", ""}}), Texts{});
  EXPECT_EQ(Parse({"p", "q"}, {}), Texts{});
}

TEST(FindDistinctParsesTest, OneItemIsCompleteFromTheStart) {
  EXPECT_EQ(Parse({"t"}, {}), (Texts{"(t)"}));
  // A state of one symbol is expanded before it is taken as complete.
  EXPECT_EQ(Parse({"t"}, {{"X", "t ", "T"}}), (Texts{"(X:T(t))", "(t)"}));
  EXPECT_EQ(Parse({"p", "q"}, {{"X", "p q ", ""}, {"Y", "X ", ""}}),
            (Texts{"(Y(X(p,q)))", "(X(p,q))"}));
}

TEST(FindDistinctParsesTest, RightSidesOfFourOrFiveItemsNeverApply) {
  EXPECT_EQ(Parse({"a", "b", "c", "d"}, {{"X", "a b c d ", ""}}), Texts{});
  EXPECT_EQ(Parse({"a", "b", "c", "d", "e"}, {{"X", "a b c d e ", ""}}), Texts{});
  EXPECT_EQ(Parse({"a", "b", "c"}, {{"X", "a b c ", ""}}), (Texts{"(X(a,b,c))"}));
}

TEST(FindDistinctParsesTest, LongItemsAndTitlesAreMatchedAndPrintedWhole) {
  const std::string item = "u<\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4>";
  const std::string other = "u<\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC5>";
  ASSERT_EQ(item.size(), 19u);
  const std::string title = "abcdefghijklmnopqrstuvwx";  // 24
  EXPECT_EQ(Parse({"n", item}, {{"NP", "n " + item + " ", title}}),
            (Texts{"(NP:" + title + "(n," + item + "))"}));
  EXPECT_EQ(Parse({"n", other}, {{"NP", "n " + item + " ", title}}), Texts{});
}

TEST(FindDistinctParsesTest, OnlyTheFirstCurrentItemCountSlotsTakePart) {
  Permutation p = Items({"p", "q", "r"});
  p.currentItemCount = 2;
  EXPECT_EQ(Print(FindDistinctParses(p, Rules({{"X", "p q ", ""}, {"Y", "p q r ", ""}}))),
            (Texts{"(X(p,q))"}));
}

// The successors of a state are queued position by position, and at each
// position the one-item rules first, then the two- and three-item ones, each
// length in table order. Each successor below completes in one more step,
// so the list (the last completed first) shows the order they were queued.
TEST(FindDistinctParsesTest, SuccessorsAreQueuedOneThenTwoThenThreeItemRulesInTableOrder) {
  EXPECT_EQ(
      Parse({"p", "q", "r"}, {{"C", "p q r ", ""},
                              {"B", "p q ", ""},
                              {"A", "p ", ""},
                              {"D", "p q ", ""},
                              {"E", "p ", ""},
                              {"S", "A q r ", ""},
                              {"S", "E q r ", ""},
                              {"S", "B r ", ""},
                              {"S", "D r ", ""}}),
      (Texts{"(S(D(p,q),r))", "(S(B(p,q),r))", "(S(E(p),q,r))", "(S(A(p),q,r))", "(C(p,q,r))"}));
}

// States get shorter than the permutation; the positions past a state's end
// add nothing to it.
TEST(FindDistinctParsesTest, PositionsPastAShorterStateAddNothing) {
  EXPECT_EQ(Parse({"p", "q", "r"}, {{"X", "p q ", ""}}), Texts{});
  EXPECT_EQ(Parse({"p", "q", "r"}, {{"X", "q r ", ""}, {"Y", "p X ", ""}, {"Z", "Y ", ""}}),
            (Texts{"(Z(Y(p,X(q,r))))", "(Y(p,X(q,r)))"}));
}

// Cycles of one-item rules: every search ends, and the parses that do not go
// round a cycle are all there.
TEST(UnaryCycleGuardTest, ASelfLoopIsNeverApplied) {
  EXPECT_EQ(Parse({"a"}, {{"a", "a ", ""}}), (Texts{"(a)"}));
  EXPECT_EQ(Parse({"p", "q"}, {{"X", "p q ", ""}, {"X", "X ", "again"}}), (Texts{"(X(p,q))"}));
}

TEST(UnaryCycleGuardTest, TwoAndThreeRuleCyclesEnd) {
  EXPECT_EQ(Parse({"a"}, {{"X", "a ", ""}, {"a", "X ", ""}}), (Texts{"(X(a))", "(a)"}));
  EXPECT_EQ(
      Parse({"p", "q"}, {{"A", "p q ", ""}, {"B", "A ", ""}, {"C", "B ", ""}, {"A", "C ", ""}}),
      (Texts{"(C(B(A(p,q))))", "(B(A(p,q)))", "(A(p,q))"}));
}

TEST(UnaryCycleGuardTest, TheSpineEndsAtTheFirstNodeWithSeveralChildren) {
  // S -> NP and NP -> S form a cycle; NP(a,n) is on the spine of S(NP(a,n)).
  EXPECT_EQ(Parse({"a", "n"}, {{"NP", "a n ", ""}, {"S", "NP ", ""}, {"NP", "S ", ""}}),
            (Texts{"(S(NP(a,n)))", "(NP(a,n))"}));
  // a -> X and X -> a form a cycle; the leaf a under X(a,b) is below the
  // spine, so a can still be built over X(a,b), but X not again over that.
  const Texts parses = Parse({"a", "b"}, {{"X", "a b ", ""}, {"a", "X ", ""}, {"X", "a ", ""}});
  EXPECT_NE(std::find(parses.begin(), parses.end(), "(a(X(a,b)))"), parses.end());
  EXPECT_EQ(std::find(parses.begin(), parses.end(), "(X(a(X(a,b))))"), parses.end());
}

TEST(UnaryCycleGuardTest, CyclesInEveryPositionOfAFiveItemPermutationEnd) {
  std::vector<R> rules = {
      {"X", "a ", ""}, {"a", "X ", ""}, {"a", "a ", ""}, {"Y", "a a ", ""}, {"a", "Y ", ""}};
  const Texts parses = Parse({"a", "a", "a", "a", "a"}, rules);
  EXPECT_FALSE(parses.empty());
}

bool HasUnaryNode(const ParseTreeNode* node) {
  for (; node != nullptr; node = node->nextSibling.get()) {
    const ParseTreeNode* child = node->firstChild.get();
    if (child != nullptr && child->nextSibling == nullptr) return true;
    if (HasUnaryNode(child)) return true;
  }
  return false;
}

// Random grammars whose one-item rules form no cycle: the guarded search
// gives exactly the trees of the unguarded one, in the same order.
TEST(UnaryCycleGuardTest, ChangesNothingOnGrammarsWithoutCycles) {
  std::mt19937 random(20240601);
  const std::vector<std::string> tags = {"a", "b", "c", "N", "V", "S"};
  int withParses = 0, withUnaryChains = 0;
  for (int g = 0; g < 400; ++g) {
    // A one-item rule only rewrites a tag into one later in the list, so
    // one-item rules never lead back to where they started. At most three
    // of them: the search tries every order of reductions, and long chains
    // over five items would make the test take minutes.
    std::vector<R> rules;
    const int ruleCount = 2 + static_cast<int>(random() % 10);
    int unaryRules = 0;
    for (int r = 0; r < ruleCount; ++r) {
      int length = 1 + static_cast<int>(random() % 4);  // four items never apply
      if (length == 1 && ++unaryRules > 3) length = 2;
      const int left = 1 + static_cast<int>(random() % (tags.size() - 1));
      std::string right;
      for (int k = 0; k < length; ++k) {
        const int item = length == 1 ? static_cast<int>(random() % left)
                                     : static_cast<int>(random() % tags.size());
        right += tags[item] + " ";
      }
      rules.push_back({tags[left], right, random() % 3 == 0 ? "T" + std::to_string(r % 2) : ""});
    }
    const RuleSet ruleSet = Rules(rules);
    ASSERT_TRUE(FindUnaryRuleCycles(ruleSet).empty());
    for (int s = 0; s < 8; ++s) {
      const int count = 1 + static_cast<int>(random() % 5);
      std::vector<std::string> items;
      for (int k = 0; k < count; ++k) items.push_back(tags[random() % 4]);
      const Permutation p = Items(items);
      const ParseList literal = FindDistinctParses(p, ruleSet, UnaryCycleGuard::kOff);
      ASSERT_EQ(Print(FindDistinctParses(p, ruleSet, UnaryCycleGuard::kOn)), Print(literal))
          << "grammar " << g << ", sequence " << s;
      if (!literal.empty()) ++withParses;
      for (const auto& tree : literal) {
        if (HasUnaryNode(tree.get())) {
          ++withUnaryChains;
          break;
        }
      }
    }
  }
  // The grammars must exercise the search, not only fail to parse.
  EXPECT_GT(withParses, 300);
  EXPECT_GT(withUnaryChains, 100);
}

}  // namespace
}  // namespace marvolen
