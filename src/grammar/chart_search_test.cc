#include "grammar/chart_search.h"

#include <gtest/gtest.h>

#include <random>

#include "grammar/reduction_search.h"
#include "grammar/search_test_util.h"
#include "grammar/unary_cycles.h"

namespace marvolen {
namespace {

using namespace search_testing;

// The two lists hold equal trees in the same order. Printed texts alone
// could hide a difference (a label with a comma or bracket in it).
::testing::AssertionResult SameParses(const ParseList& literal, const ParseList& chart) {
  if (literal.size() != chart.size() || Print(literal) != Print(chart)) {
    std::string text = "literal:";
    for (const std::string& t : Print(literal)) text += " " + t;
    text += "\nchart:  ";
    for (const std::string& t : Print(chart)) text += " " + t;
    return ::testing::AssertionFailure() << text;
  }
  for (std::size_t k = 0; k < literal.size(); ++k) {
    if (!TreesEqual(literal[k].get(), chart[k].get())) {
      return ::testing::AssertionFailure() << "tree " << k << " differs";
    }
    if (chart[k]->nextSibling != nullptr) {
      return ::testing::AssertionFailure() << "tree " << k << " has a sibling";
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameAsLiteral(const std::vector<std::string>& items,
                                         const std::vector<R>& rules) {
  const RuleSet ruleSet = Rules(rules);
  const Permutation p = Items(items);
  ChartParseEngine engine(ruleSet);
  // A budget of one tree sends every search through the count and the
  // build of the used trees alone.
  ChartParseEngine counting(ruleSet, {}, 1);
  const ParseList literal = FindDistinctParses(p, ruleSet);
  const auto result = SameParses(literal, engine.FindDistinctParses(p));
  if (!result) return result;
  return SameParses(literal, counting.FindDistinctParses(p));
}

using Texts = std::vector<std::string>;

TEST(ChartParseEngineTest, ListsTheParsesInTheLiteralOrder) {
  // The parse through Y completes last and comes first.
  const RuleSet rules =
      Rules({{"X", "p q ", "T1"}, {"Y", "q r ", "T2"}, {"Z", "X r ", "T3"}, {"Z", "p Y ", "T4"}});
  ChartParseEngine engine(rules);
  EXPECT_EQ(Print(engine.FindDistinctParses(Items({"p", "q", "r"}))),
            (Texts{"(Z:T4(p,Y:T2(q,r)))", "(Z:T3(X:T1(p,q),r))"}));
  // The same trees with the rules in the other order.
  EXPECT_TRUE(
      SameAsLiteral({"p", "q", "r"},
                    {{"Y", "q r ", ""}, {"X", "p q ", ""}, {"Z", "p Y ", ""}, {"Z", "X r ", ""}}));
}

TEST(ChartParseEngineTest, MoreReductionsComeFirstAndEqualRulesCountByTheirLastIndex) {
  // S over the one-item chain has more reductions than S over p q.
  EXPECT_TRUE(SameAsLiteral({"p", "q"}, {{"S", "p q ", ""}, {"A", "p ", ""}, {"S", "A q ", ""}}));
  // The first X -> p q repeats after Y -> p q: the X tree was completed
  // last, through the repeat, and comes first.
  EXPECT_TRUE(
      SameAsLiteral({"p", "q"}, {{"X", "p q ", "T"}, {"Y", "p q ", "T"}, {"X", "p q ", "T"}}));
  // Equal left tags and right sides with different titles are two parses.
  EXPECT_TRUE(SameAsLiteral({"p", "q"}, {{"X", "p q ", "T1"}, {"X", "p q ", "T2"}}));
}

TEST(ChartParseEngineTest, EdgeCasesOfTheInput) {
  EXPECT_TRUE(SameAsLiteral({}, {{"X", "p ", ""}}));
  EXPECT_TRUE(SameAsLiteral({"t"}, {}));
  EXPECT_TRUE(SameAsLiteral({"t"}, {{"X", "t ", ""}, {"Y", "X ", "T"}}));
  EXPECT_TRUE(SameAsLiteral({"p", "q", "r", "s"}, {{"S", "p q r s ", ""}, {"A", "p q ", ""}}));
  EXPECT_TRUE(SameAsLiteral({"p", "q", "r", "s", "t"}, {{"S", "p q r s t ", ""},
                                                        {"A", "p q r ", ""},
                                                        {"B", "s t ", ""},
                                                        {"S", "A B ", "x"},
                                                        {"S", "A s t ", "y"}}));
  // Items and titles longer than the fixed fields, and GBK words.
  EXPECT_TRUE(
      SameAsLiteral({"averyveryverylongitem1", "u<\xB5\xC4>"},
                    {{"NP", "averyveryverylongitem1 u<\xB5\xC4> ",
                      "\xB5\xC4\xD7\xD6\xBD\xE1\xB9\xB9\xB5\xC4\xD7\xD6\xBD\xE1\xB9\xB9"}}));
  // Only the first currentItemCount slots take part; a count above five is
  // taken as five, a negative one as none.
  Permutation p = Items({"p", "q", "r", "s", "t"});
  const RuleSet rules = Rules({{"A", "p q ", ""}, {"B", "A r ", ""}, {"C", "B s t ", ""}});
  ChartParseEngine engine(rules);
  for (int count : {-1, 0, 2, 3, 4, 5, 6}) {
    p.currentItemCount = count;
    EXPECT_TRUE(SameParses(FindDistinctParses(p, rules), engine.FindDistinctParses(p))) << count;
  }
}

TEST(ChartParseEngineTest, OneItemCyclesEndAsInTheGuardedLiteralSearch) {
  EXPECT_TRUE(SameAsLiteral({"a"}, {{"a", "a ", ""}}));
  EXPECT_TRUE(SameAsLiteral({"a"}, {{"X", "a ", ""}, {"a", "X ", ""}}));
  EXPECT_TRUE(SameAsLiteral(
      {"p", "q"}, {{"A", "p q ", ""}, {"B", "A ", ""}, {"C", "B ", ""}, {"A", "C ", ""}}));
  EXPECT_TRUE(SameAsLiteral({"a", "b"}, {{"X", "a b ", ""}, {"a", "X ", ""}, {"X", "a ", ""}}));
  EXPECT_TRUE(SameAsLiteral({"a", "n"}, {{"NP", "a n ", ""}, {"S", "NP ", ""}, {"NP", "S ", ""}}));
  EXPECT_TRUE(SameAsLiteral(
      {"a", "a", "a"},
      {{"X", "a ", ""}, {"a", "X ", ""}, {"a", "a ", ""}, {"Y", "a a ", ""}, {"a", "Y ", ""}}));
}

// A random grammar over a small alphabet, so that rules meet and parses
// multiply: repeated rules, equal rules with other titles, one-item rules
// (a cycle among them when `cycles`), rules of four and five items, GBK
// items, double blanks between items.
std::vector<R> RandomGrammar(std::mt19937& random, bool cycles) {
  // Rules rewrite into X, Y and S.
  static const std::vector<std::string> symbols = {"a", "b", "u<\xB5\xC4>", "X", "Y", "S"};
  static const std::vector<std::string> titles = {"", "", "T1", "T2", "\xB6\xA8\xD6\xD0"};  // 定中
  auto pick = [&random](int n) { return static_cast<int>(random() % n); };
  // Half of the grammars use only a and X on their right sides: dense.
  const int itemChoices = pick(2) == 0 ? 0 : static_cast<int>(symbols.size());
  auto item = [&] { return itemChoices == 0 ? symbols[pick(2) * 3] : symbols[pick(itemChoices)]; };
  std::vector<R> rules;
  int unary = 0;
  if (cycles) {
    // A one-item rule into itself, or two that lead into each other
    // (between a and one of X, Y, S, or between two of these).
    const int first = 3 + pick(3);
    const int second = pick(2) == 0 ? 0 : 3 + pick(3);
    rules.push_back({symbols[first], symbols[second] + " ", titles[pick(5)]});
    if (first != second) rules.push_back({symbols[second], symbols[first] + " ", titles[pick(5)]});
    unary = 2;
  }
  const int count = itemChoices == 0 ? 2 + pick(8) : 2 + pick(10);
  for (int r = 0; r < count; ++r) {
    if (!rules.empty() && pick(6) == 0) {  // a repeat, or the same rule with another title
      R copy = rules[pick(static_cast<int>(rules.size()))];
      if (pick(2) == 0) copy.tree = titles[pick(static_cast<int>(titles.size()))];
      rules.push_back(copy);
      continue;
    }
    static const int lengths[] = {1, 1, 2, 2, 2, 2, 3, 3, 4, 5};
    int length = lengths[pick(10)];
    if (length == 1 && ++unary > 3) length = 2;
    const int left = 3 + pick(3);  // X, Y or S
    std::string right;
    if (length == 1) {
      // Any other one-item rule rewrites a symbol into a later one.
      right = symbols[pick(left)] + " ";
    } else {
      for (int k = 0; k < length; ++k) right += item() + (pick(8) == 0 ? "  " : " ");
    }
    rules.push_back({symbols[left], right, titles[pick(static_cast<int>(titles.size()))]});
  }
  return rules;
}

// The number of internal nodes of `tree` (0 for a leaf). Multiplies `weight`,
// for each internal node, by the number of equal rules that build it over
// the number of internal nodes in its subtree.
int Weigh(const ParseTreeNode& tree, const RuleSet& rules, double& weight) {
  if (tree.firstChild == nullptr) return 0;
  int size = 1;
  std::vector<std::string> children;
  for (const ParseTreeNode* c = tree.firstChild.get(); c != nullptr; c = c->nextSibling.get()) {
    size += Weigh(*c, rules, weight);
    children.push_back(c->label);
  }
  int equalRules = 0;
  for (const CfgRule& rule : rules.rules) {
    equalRules +=
        rule.leftTag() == tree.label && rule.treeTitle() == tree.title && rule.items() == children;
  }
  weight *= static_cast<double>(equalRules) / size;
  return size;
}

// The number of states the literal search expands on `line`. A state is a
// sequence of trees over the line's spans, reached once for every order of
// its reductions and every choice among equal rules. For trees T1..Tr with
// k1..kr internal nodes the orders number (k1 + ... + kr)! over the product,
// over all internal nodes, of the internal nodes in the node's subtree (the
// hook length formula). The trees over a span are the chart search's parses
// of that part of the line.
double LiteralStates(const std::vector<std::string>& line, const RuleSet& rules) {
  const std::size_t n = line.size();
  ChartParseEngine engine(rules);
  // reach[j][k]: over the sequences of trees that cover the first j items
  // with k internal nodes in all, the sum of their products of weights.
  std::vector<std::vector<double>> reach(n + 1);
  reach[0] = {1};
  for (std::size_t j = 1; j <= n; ++j) {
    for (std::size_t i = 0; i < j; ++i) {
      const Permutation span = Items(std::vector<std::string>(line.begin() + i, line.begin() + j));
      for (const auto& tree : engine.FindDistinctParses(span)) {
        double weight = 1;
        const int k = Weigh(*tree, rules, weight);
        for (std::size_t before = 0; before < reach[i].size(); ++before) {
          if (reach[j].size() <= before + k) reach[j].resize(before + k + 1);
          reach[j][before + k] += reach[i][before] * weight;
        }
      }
    }
  }
  double states = 0, factorial = 1;
  for (std::size_t k = 0; k < reach[n].size(); ++k) {
    if (k > 0) factorial *= static_cast<double>(k);
    states += factorial * reach[n][k];
  }
  return states;
}

TEST(ChartParseEngineTest, CountsTheStatesOfTheLiteralSearch) {
  // p q r s with A -> p q, B -> r s, S -> A B: the initial state, A r s,
  // p q B, A B twice, S twice.
  EXPECT_DOUBLE_EQ(LiteralStates({"p", "q", "r", "s"},
                                 Rules({{"A", "p q ", ""}, {"B", "r s ", ""}, {"S", "A B ", ""}})),
                   7);
  // Two equal rules: every state that holds their node is reached twice.
  EXPECT_DOUBLE_EQ(LiteralStates({"p", "q"}, Rules({{"X", "p q ", ""}, {"X", "p q ", ""}})), 3);
}

// The equivalence of the two searches over thousands of random cases.
TEST(ChartParseEngineTest, AgreesWithTheLiteralSearchOnRandomGrammars) {
  std::mt19937 random(12);
  static const std::vector<std::string> items = {"a", "a", "a", "b", "u<\xB5\xC4>", "X"};
  int cases = 0, ambiguous = 0, cyclic = 0, tooLong = 0;
  for (int g = 0; g < 3000; ++g) {
    const bool cycles = g % 3 == 0;
    const RuleSet rules = Rules(RandomGrammar(random, cycles));
    if (cycles) {
      ASSERT_FALSE(FindUnaryRuleCycles(rules).empty());
      ++cyclic;
    }
    // One engine for the grammar's lines, each of which keeps a part of the
    // line before: the engine keeps what it built over equal first items.
    // Another with a budget of a few trees counts first on most lines and
    // builds only the trees the complete parses use.
    ChartParseEngine engine(rules);
    ChartParseEngine counting(rules, {}, 1 + random() % 40);
    LiteralParseEngine literalEngine(rules);
    std::vector<std::string> line;
    for (int s = 0; s < 6; ++s) {
      line.resize(random() % (line.size() + 1));
      const std::size_t count = random() % 6;  // 0 to 5 items
      while (line.size() < count) line.push_back(items[random() % items.size()]);
      line.resize(count);
      const Permutation p = Items(line);
      // The literal search tries every order of reductions: a few cases
      // would take it minutes.
      if (LiteralStates(line, rules) > 50000) {
        ++tooLong;
        continue;
      }
      const ParseList literal = FindDistinctParses(p, rules);
      ASSERT_TRUE(SameParses(literal, engine.FindDistinctParses(p)))
          << "grammar " << g << ", line " << s;
      // Counted and printed one at a time, by every engine, with a limit
      // that lists them or one that does not.
      const Texts texts = Print(literal);
      bool rootsDiffer = false;
      for (const auto& tree : literal) rootsDiffer |= tree->label != literal.front()->label;
      for (ParseEngine* e :
           std::initializer_list<ParseEngine*>{&engine, &counting, &literalEngine}) {
        const std::uint64_t limit = random() % 3 == 0 ? random() % 4 : kManyParses;
        const ParseSummary summary = e->CountDistinctParses(p, limit);
        ASSERT_EQ(summary.count, literal.size()) << "grammar " << g << ", line " << s;
        ASSERT_EQ(summary.rootsDiffer, rootsDiffer) << "grammar " << g << ", line " << s;
        if (summary.count > limit) continue;
        Texts printed;
        e->PrintDistinctParses([&](std::string_view t, std::string_view root) {
          printed.emplace_back(t);
          ASSERT_EQ(root, literal[printed.size() - 1]->label);
        });
        ASSERT_EQ(printed, texts) << "grammar " << g << ", line " << s;
        // Visited one at a time, as the same trees in the same order.
        std::size_t visited = 0;
        e->VisitDistinctParses([&](const ParseTreeNode& tree) {
          ASSERT_LT(visited, literal.size());
          ASSERT_TRUE(TreesEqual(&tree, literal[visited++].get()));
        });
        ASSERT_EQ(visited, literal.size()) << "grammar " << g << ", line " << s;
      }
      ++cases;
      if (literal.size() >= 2) ++ambiguous;
    }
  }
  EXPECT_EQ(cases + tooLong, 18000);
  EXPECT_LT(tooLong, 180);
  // The cases must exercise the order of the list and the guard, and few
  // may be left out.
  EXPECT_GT(ambiguous, 900);
  EXPECT_GT(cyclic, 900);
}

}  // namespace
}  // namespace marvolen
