#include "analysis/parse_differences.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/classification.h"
#include "analysis/report_test_util.h"
#include "grammar/reduction_search.h"

namespace marvolen {
namespace {

using testing_util::R;
using testing_util::Rules;

// The marks of every parse of `items` under `rules`, as one string per
// parse: for each node in preorder, its label followed by "*" when marked.
std::vector<std::string> Marked(const std::vector<R>& rules,
                                const std::vector<std::string>& items) {
  Permutation p;
  for (std::size_t k = 0; k < items.size(); ++k) p.items[k] = items[k];
  p.currentItemCount = static_cast<int>(items.size());
  const ParseList parses = FindDistinctParses(p, Rules(rules));
  const ParseMarks marks = MarkDifferences(parses, ClassifyParses(parses));
  EXPECT_EQ(marks.size(), parses.size());
  std::vector<std::string> out;
  for (std::size_t t = 0; t < parses.size(); ++t) {
    std::string text;
    std::size_t n = 0;
    std::vector<const ParseTreeNode*> stack = {parses[t].get()};
    while (!stack.empty()) {
      const ParseTreeNode* node = stack.back();
      stack.pop_back();
      if (!text.empty()) text += ' ';
      text += node->label;
      EXPECT_LT(n, marks[t].size());
      if (n < marks[t].size() && marks[t][n]) text += '*';
      ++n;
      std::vector<const ParseTreeNode*> children;
      for (const ParseTreeNode* c = node->firstChild.get(); c; c = c->nextSibling.get()) {
        children.push_back(c);
      }
      stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    EXPECT_EQ(n, marks[t].size());
    out.push_back(text);
  }
  return out;
}

using Texts = std::vector<std::string>;

TEST(MarkDifferencesTest, NothingIsMarkedWithoutAmbiguity) {
  EXPECT_EQ(Marked({{"NP", "a n ", "T"}}, {"a", "n"}), Texts{"NP a n"});
  EXPECT_EQ(Marked({{"NP", "a n ", "T"}}, {"n", "a"}), Texts{});
  EXPECT_EQ(Marked({}, {"n"}), Texts{"n"});
}

TEST(MarkDifferencesTest, OvertAmbiguityMarksTheRootsOnly) {
  // v n u<的> n of the examples, in small: VP(v, NP(NP(n, u), n)) and
  // NP(NP(VP(v, n), u), n).
  const std::vector<R> rules = {{"VP", "v NP ", "A"},
                                {"VP", "v n ", "A"},
                                {"NP", "n u ", "B"},
                                {"NP", "VP u ", "B"},
                                {"NP", "NP n ", "C"}};
  EXPECT_EQ(Marked(rules, {"v", "n", "u", "n"}), (Texts{"VP* v NP NP n u n", "NP* NP VP v n u n"}));
  // Three parses, two of them with the same root label: all roots differ
  // from some other root.
  EXPECT_EQ(Marked({{"X", "p q ", "1"}, {"X", "p q ", "2"}, {"Y", "p q ", ""}}, {"p", "q"}),
            (Texts{"Y* p q", "X* p q", "X* p q"}));
  // A lone item that is a parse of its own is a root too.
  EXPECT_EQ(Marked({{"X", "t ", ""}}, {"t"}), (Texts{"X* t", "t*"}));
}

TEST(MarkDifferencesTest, CovertAmbiguityMarksTheConstituentsNotEveryParseHas) {
  // n n n: the inner NPs stand over different items; the roots agree.
  const std::vector<R> np = {{"NP", "n n ", "A"}, {"NP", "NP n ", "A"}, {"NP", "n NP ", "A"}};
  EXPECT_EQ(Marked(np, {"n", "n", "n"}), (Texts{"NP n NP* n n", "NP NP* n n n"}));
  // n n n n: each inner constituent is in two of the four parses, so every
  // one is marked.
  Texts four = Marked(np, {"n", "n", "n", "n"});
  std::sort(four.begin(), four.end());
  EXPECT_EQ(four, (Texts{"NP NP* NP* n n n n", "NP NP* n NP* n n n", "NP n NP* NP* n n n",
                         "NP n NP* n NP* n n"}));
  // The same label over the same items with another title differs.
  EXPECT_EQ(Marked({{"X", "p q ", "T1"}, {"X", "p q ", "T2"}}, {"p", "q"}),
            (Texts{"X* p q", "X* p q"}));
  // A constituent that every parse shares stays unmarked: X over p q is in
  // both S:1(X, r) and S:2(X, r), whose roots differ by their titles.
  EXPECT_EQ(Marked({{"X", "p q ", ""}, {"S", "X r ", "1"}, {"S", "X r ", "2"}}, {"p", "q", "r"}),
            (Texts{"S* X p q r", "S* X p q r"}));
}

}  // namespace
}  // namespace marvolen
