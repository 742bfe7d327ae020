// The compact tree code: a worked example, and random trees with labels and
// titles made of the code's own characters read back unchanged.
#include "export/tree_code.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "encoding/gbk.h"

namespace marvolen {
namespace {

std::unique_ptr<ParseTreeNode> Node(std::string_view label, std::string_view title = "") {
  return std::make_unique<ParseTreeNode>(Gbk(label), Gbk(title));
}

// Read a tree code back (the page's script does the same), with the marks
// in preorder.
class Decoder {
 public:
  Decoder(const std::string& code, const std::vector<std::string>& strings)
      : code_(code), strings_(strings) {}

  std::unique_ptr<ParseTreeNode> Tree(std::vector<bool>& marks) {
    auto root = Read(marks);
    EXPECT_EQ(at_, code_.size()) << code_;
    return root;
  }

 private:
  const std::string& Number() {
    std::size_t end = at_;
    while (end < code_.size() && code_[end] >= '0' && code_[end] <= '9') ++end;
    EXPECT_LT(at_, end) << code_;
    const std::size_t n = std::stoul(code_.substr(at_, end - at_));
    at_ = end;
    return strings_.at(n);
  }
  std::unique_ptr<ParseTreeNode> Read(std::vector<bool>& marks) {
    const bool marked = at_ < code_.size() && code_[at_] == '*';
    if (marked) ++at_;
    marks.push_back(marked);
    auto node = std::make_unique<ParseTreeNode>();
    node->label = Number();
    if (at_ < code_.size() && code_[at_] == ':') {
      ++at_;
      node->title = Number();
    }
    if (at_ < code_.size() && code_[at_] == '(') {
      do {
        ++at_;
        AppendChild(*node, Read(marks));
      } while (at_ < code_.size() && code_[at_] == ',');
      EXPECT_EQ(code_.at(at_), ')') << code_;
      ++at_;
    }
    return node;
  }

  const std::string& code_;
  const std::vector<std::string>& strings_;
  std::size_t at_ = 0;
};

TEST(TreeCodeTest, NumbersStringsInTheOrderFirstMetAndMarksNodesInPreorder) {
  // (NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))
  auto verb = Node("VP", "述宾");
  AppendChild(*verb, Node("v"));
  AppendChild(*verb, Node("n"));
  auto de = Node("NP", "的字结构");
  AppendChild(*de, std::move(verb));
  AppendChild(*de, Node("u<的>"));
  auto root = Node("NP", "定中");
  AppendChild(*root, std::move(de));
  AppendChild(*root, Node("n"));

  StringTable table;
  std::string code;
  AppendTreeCode(*root, {true, false, true}, table, code);
  EXPECT_EQ(code, "*0:1(0:2(*3:4(5,6),7),6)");
  const std::vector<std::string> strings = table.TakeNew();
  std::vector<std::string> expected;
  for (const char* s : {"NP", "定中", "的字结构", "VP", "述宾", "v", "n", "u<的>"}) {
    expected.push_back(Gbk(s));
  }
  EXPECT_EQ(strings, expected);
  EXPECT_TRUE(table.TakeNew().empty());  // handed out once

  // A second tree uses the same numbers and adds only what is new.
  std::string second;
  AppendTreeCode(*Node("n"), {}, table, second);
  AppendTreeCode(*Node("S", "主谓"), {}, table, second);
  EXPECT_EQ(second, "68:9");
  EXPECT_EQ(table.TakeNew(), (std::vector<std::string>{"S", Gbk("主谓")}));
}

TEST(TreeCodeTest, TruncatingForgetsStringsAsIfNeverMet) {
  StringTable table;
  EXPECT_EQ(table.Index("a"), 0);
  EXPECT_EQ(table.TakeNew().size(), 1u);
  EXPECT_EQ(table.Index("b"), 1);
  EXPECT_EQ(table.TakeNew().size(), 1u);  // taken, and then forgotten
  EXPECT_EQ(table.Index("c"), 2);         // not taken yet
  table.TruncateTo(1);
  EXPECT_EQ(table.size(), 1u);
  EXPECT_TRUE(table.TakeNew().empty());
  EXPECT_EQ(table.Index("c"), 1);
  EXPECT_EQ(table.Index("b"), 2);
  EXPECT_EQ(table.Index("a"), 0);
  EXPECT_EQ(table.TakeNew(), (std::vector<std::string>{"c", "b"}));
}

// Random trees whose labels and titles are made of the characters the code
// and the bracketed text give a meaning come back node for node, marks
// included.
TEST(TreeCodeTest, RandomTreesWithAwkwardLabelsComeBackUnchanged) {
  const std::vector<std::string> pool = {"(",  ")",   ",",  ":", "*",       "|",        "~",
                                         "12", "a b", "\"", "<", Gbk("的"), "\x81\x40", "NP"};
  std::mt19937 random(7);
  StringTable table;
  std::vector<std::string> strings;
  std::function<std::unique_ptr<ParseTreeNode>(int)> make = [&](int depth) {
    auto node = std::make_unique<ParseTreeNode>(pool[random() % pool.size()], "");
    const int children = depth < 3 ? static_cast<int>(random() % 4) : 0;
    if (children > 0 && random() % 2) node->title = pool[random() % pool.size()];
    for (int c = 0; c < children; ++c) AppendChild(*node, make(depth + 1));
    return node;
  };
  for (int round = 0; round < 500; ++round) {
    const auto tree = make(0);
    std::vector<bool> marks;
    for (int k = 0; k < 40; ++k) marks.push_back(random() % 3 == 0);
    std::string code;
    AppendTreeCode(*tree, marks, table, code);
    for (std::string& s : table.TakeNew()) strings.push_back(std::move(s));
    std::vector<bool> read;
    const auto back = Decoder(code, strings).Tree(read);
    ASSERT_TRUE(TreesEqual(tree.get(), back.get())) << code;
    marks.resize(read.size());
    EXPECT_EQ(read, marks) << code;
  }
}

}  // namespace
}  // namespace marvolen
