#include "grammar/parse_tree.h"

#include <gtest/gtest.h>

namespace marvolen {
namespace {

std::unique_ptr<ParseTreeNode> Leaf(std::string_view label) {
  return std::make_unique<ParseTreeNode>(label, "");
}

std::unique_ptr<ParseTreeNode> Node(std::string_view label, std::string_view title,
                                    std::vector<std::unique_ptr<ParseTreeNode>> children) {
  auto node = std::make_unique<ParseTreeNode>(label, title);
  for (auto& child : children) AppendChild(*node, std::move(child));
  return node;
}

template <typename... T>
std::vector<std::unique_ptr<ParseTreeNode>> Children(T... nodes) {
  std::vector<std::unique_ptr<ParseTreeNode>> v;
  (v.push_back(std::move(nodes)), ...);
  return v;
}

std::string Print(const ParseTreeNode* node) {
  std::string text;
  PrintTree(node, text);
  return text;
}

// S:T2 over (NP:T over a, n) and v.
std::unique_ptr<ParseTreeNode> Sentence() {
  return Node("S", "T2", Children(Node("NP", "T", Children(Leaf("a"), Leaf("n"))), Leaf("v")));
}

TEST(PrintTreeTest, NestedNodesPrintWithTitlesAndCommas) {
  EXPECT_EQ(Print(Sentence().get()), "(S:T2(NP:T(a,n),v))");
}

TEST(PrintTreeTest, NullAppendsNothingAndALeafPrintsInBrackets) {
  EXPECT_EQ(Print(nullptr), "");
  EXPECT_EQ(Print(Leaf("a").get()), "(a)");
}

TEST(PrintTreeTest, AnEmptyTitleGivesNoColon) {
  EXPECT_EQ(Print(Node("NP", "", Children(Leaf("a"), Leaf("n"))).get()), "(NP(a,n))");
}

TEST(PrintTreeTest, AppendsToWhatTheTextHolds) {
  std::string text = "\t\t";
  PrintTree(Sentence().get(), text);
  EXPECT_EQ(text, "\t\t(S:T2(NP:T(a,n),v))");
}

TEST(PrintTreeTest, LongLabelsAndTitlesArePrintedWhole) {
  const std::string label19 = "u<\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4>";
  const std::string title24 = "abcdefghijklmnopqrstuvwx";
  const std::string percent = "%s%d%f";
  ASSERT_EQ(label19.size(), 19u);
  auto tree = Node("NP", title24, Children(Leaf(label19), Leaf(percent)));
  EXPECT_EQ(Print(tree.get()), "(NP:" + title24 + "(" + label19 + "," + percent + "))");
}

TEST(TreesEqualTest, ACopyIsEqualAndADeepTitleOrLabelMakesADifference) {
  auto tree = Sentence();
  auto copy = CopyTree(tree.get());
  EXPECT_NE(copy.get(), tree.get());
  EXPECT_TRUE(TreesEqual(tree.get(), copy.get()));
  EXPECT_EQ(Print(copy.get()), Print(tree.get()));

  copy->firstChild->title = "U";
  EXPECT_FALSE(TreesEqual(tree.get(), copy.get()));
  copy->firstChild->title = "T";
  copy->firstChild->firstChild->nextSibling->label = "m";
  EXPECT_FALSE(TreesEqual(tree.get(), copy.get()));
  EXPECT_TRUE(TreesEqual(nullptr, nullptr));
  EXPECT_FALSE(TreesEqual(tree.get(), nullptr));
  EXPECT_FALSE(TreesEqual(nullptr, tree.get()));
}

TEST(TreesEqualTest, LabelsThatShareTheirFirstTenBytesStayDifferent) {
  // Nine- and ten-byte prefixes were once all a label could hold.
  EXPECT_FALSE(TreesEqual(Leaf("abcdefghijX").get(), Leaf("abcdefghijY").get()));
  EXPECT_FALSE(TreesEqual(Node("X", "abcdefghijklmnopqrstuA", {}).get(),
                          Node("X", "abcdefghijklmnopqrstuB", {}).get()));
}

TEST(TreesEqualTest, SameLabelsInADifferentShapeDiffer) {
  auto flat = Node("S", "", Children(Leaf("a"), Leaf("b"), Leaf("c")));
  auto nested = Node("S", "", Children(Node("a", "", Children(Leaf("b"))), Leaf("c")));
  EXPECT_FALSE(TreesEqual(flat.get(), nested.get()));
}

TEST(CopyTreeTest, CopiesTheSiblingChainToo) {
  auto tree = Sentence();
  auto chain = CopyTree(tree->firstChild.get());  // NP and its sibling v
  EXPECT_EQ(Print(chain.get()), "(NP:T(a,n),v)");
  EXPECT_EQ(CopyTree(nullptr), nullptr);
}

TEST(AppendChildTest, AppendsAtTheEndAndIgnoresNull) {
  auto node = Node("S", "", Children(Leaf("a"), Leaf("b")));
  AppendChild(*node, nullptr);
  EXPECT_EQ(Print(node.get()), "(S(a,b))");
  AppendChild(*node, Leaf("c"));
  EXPECT_EQ(Print(node.get()), "(S(a,b,c))");
}

}  // namespace
}  // namespace marvolen
