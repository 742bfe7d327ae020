// Reading trees back from their bracketed text.
#include "grammar/tree_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marvolen {
namespace {

TEST(TreeTextTest, TheTextOfATreeReadsBackToTheSameTree) {
  for (const std::string text : {
           "(NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))", "(n)", "(VP:述宾(v,NP:定中(a,n)))",
           "(NP(a,n))",           // a rule without a tree title
           "(S:x(A:y(B:z(c))))",  // one-item rules
       }) {
    SCOPED_TRACE(text);
    const std::unique_ptr<ParseTreeNode> tree = ReadBracketedTree(text);
    ASSERT_NE(tree, nullptr);
    std::string printed;
    PrintTree(tree.get(), printed);
    EXPECT_EQ(printed, text);
  }
  // A node without the outer parentheses is taken too.
  const std::unique_ptr<ParseTreeNode> bare = ReadBracketedTree("VP:述宾(v,n)");
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->label, "VP");
  EXPECT_EQ(bare->title, "述宾");
  EXPECT_EQ(bare->firstChild->nextSibling->label, "n");
}

TEST(TreeTextTest, TextThatIsNoTreeGivesNone) {
  std::string deep = "(";
  for (int k = 0; k < 100; ++k) deep += "A:t(";
  deep += "x";
  for (int k = 0; k < 100; ++k) deep += ")";
  deep += ")";
  for (const std::string& text :
       std::vector<std::string>{"", "()", "(NP:定中(a,n)", "(NP:定中(a,n)))", "(NP:定中(a,))",
                                "(NP:定中())", "(NP:定中)", "(a,b)", "(n)x", deep}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ReadBracketedTree(text), nullptr);
  }
}

}  // namespace
}  // namespace marvolen
