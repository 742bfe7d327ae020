#include "grammar/symbols.h"

#include <gtest/gtest.h>

namespace marvolen {
namespace {

std::vector<std::string> Texts(const SymbolNode* s) {
  std::vector<std::string> texts;
  for (; s != nullptr; s = s->next.get()) texts.push_back(s->text);
  return texts;
}

std::string Trees(const SymbolNode* s) {
  std::string text;
  for (; s != nullptr; s = s->next.get()) PrintTree(s->tree.get(), text);
  return text;
}

// Symbols a b c d with leaf trees.
std::unique_ptr<SymbolNode> FourLeaves() {
  Permutation p;
  p.items = {"a", "b", "c", "d", "e"};
  p.currentItemCount = 4;
  auto first = BuildInitialSymbols(p);
  for (SymbolNode* s = first.get(); s != nullptr; s = s->next.get()) {
    s->tree = std::make_unique<ParseTreeNode>(s->text, "");
  }
  return first;
}

std::unique_ptr<SymbolNode> NewSymbol(const std::string& tag, const std::string& title) {
  auto node = std::make_unique<SymbolNode>();
  node->text = tag;
  node->tree = std::make_unique<ParseTreeNode>(tag, title);
  return node;
}

const SymbolNode* Nth(const SymbolNode* s, int n) {
  while (--n > 0) s = s->next.get();
  return s;
}

TEST(BuildInitialSymbolsTest, TakesTheFirstCurrentItemCountSlotsInOrder) {
  Permutation p;
  p.items = {"a", "b", "c", "d", "e"};
  for (int count = 0; count <= 5; ++count) {
    p.currentItemCount = count;
    auto first = BuildInitialSymbols(p);
    EXPECT_EQ(CountSymbols(first.get()), count);
    EXPECT_EQ(Texts(first.get()),
              std::vector<std::string>(p.items.begin(), p.items.begin() + count));
    for (const SymbolNode* s = first.get(); s != nullptr; s = s->next.get()) {
      EXPECT_EQ(s->tree, nullptr);
    }
  }
  p.currentItemCount = 0;
  EXPECT_EQ(BuildInitialSymbols(p), nullptr);
  EXPECT_EQ(CountSymbols(nullptr), 0);
}

TEST(BuildSuccessorTest, ReplacesAMiddleSpanAndLeavesTheOldListAlone) {
  auto old = FourLeaves();
  auto next = BuildSuccessor(old.get(), Nth(old.get(), 2), NewSymbol("X", "T"), Nth(old.get(), 3));
  EXPECT_EQ(Texts(next.get()), (std::vector<std::string>{"a", "X", "d"}));
  EXPECT_EQ(Trees(next.get()), "(a)(X:T(b,c))(d)");
  EXPECT_EQ(Texts(old.get()), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(Trees(old.get()), "(a)(b)(c)(d)");
  // The copies share nothing with the old list.
  EXPECT_NE(next->tree.get(), old->tree.get());
}

TEST(BuildSuccessorTest, ASpanOverTheWholeListGivesTheNewSymbolAlone) {
  auto old = FourLeaves();
  auto node = NewSymbol("S", "");
  const SymbolNode* raw = node.get();
  auto next = BuildSuccessor(old.get(), old.get(), std::move(node), Nth(old.get(), 4));
  EXPECT_EQ(next.get(), raw);
  EXPECT_EQ(CountSymbols(next.get()), 1);
  EXPECT_EQ(Trees(next.get()), "(S(a,b,c,d))");
}

TEST(BuildSuccessorTest, SpansAtEitherEndAndOfOneSymbol) {
  auto old = FourLeaves();
  auto head = BuildSuccessor(old.get(), old.get(), NewSymbol("X", ""), old.get());
  EXPECT_EQ(Trees(head.get()), "(X(a))(b)(c)(d)");
  auto tail = BuildSuccessor(old.get(), Nth(old.get(), 3), NewSymbol("Y", "t"), Nth(old.get(), 4));
  EXPECT_EQ(Trees(tail.get()), "(a)(b)(Y:t(c,d))");
  // Trees of reduced symbols are copied whole into the new node.
  auto deeper =
      BuildSuccessor(tail.get(), Nth(tail.get(), 2), NewSymbol("Z", ""), Nth(tail.get(), 3));
  EXPECT_EQ(Trees(deeper.get()), "(a)(Z(b,Y:t(c,d)))");
}

}  // namespace
}  // namespace marvolen
