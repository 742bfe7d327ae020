// The comparison of two analyses pattern by pattern: the rules read from
// bracketed parses, the transitions, what counts as a change, the parses
// and rules gained and lost, and the order and form of the outputs.
#include "compare/comparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "compare/change_writers.h"

namespace marvolen {
namespace {

RuleSet Rules() {
  RuleSet rules;
  rules.rules.emplace_back("R08", "NP", "NP n ", "定中");
  rules.rules.emplace_back("R14", "NP", "VP u<的> ", "的字结构");
  rules.rules.emplace_back("R30", "VP", "v n ", "述宾");
  rules.rules.emplace_back("R31", "VP", "v NP ", "述宾");
  rules.rules.emplace_back("R05", "NP", "v n ", "定中");
  rules.rules.emplace_back("R40", "S", "NP ", "");
  return rules;
}

std::set<std::string> Described(const RuleIndex& index, const std::set<std::string>& keys) {
  std::set<std::string> names;
  for (const std::string& key : keys) names.insert(index.Describe(key));
  return names;
}

TEST(RuleIndexTest, NamesTheRulesOfAParseByTitleAndRule) {
  const RuleSet rules = Rules();
  const RuleIndex index(rules);
  struct Case {
    const char* tree;
    std::set<std::string> rules;
  } cases[] = {
      {"NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n)",
       {"R08 NP -> NP n", "R14 NP -> VP u<的>", "R30 VP -> v n"}},
      {"VP:述宾(v,NP:定中(NP:定中(v,n),n))", {"R31 VP -> v NP", "R08 NP -> NP n", "R05 NP -> v n"}},
      // The same label over other children is another rule.
      {"NP:定中(v,n)", {"R05 NP -> v n"}},
      // A rule of no rules file: named by its form alone.
      {"XP:并列(a,b,c)", {"XP -> a b c"}},
      // A rule without a tree title.
      {"S(NP:定中(v,n))", {"R40 S -> NP", "R05 NP -> v n"}},
      {"n", {}},
      // As the report writes them: in parentheses.
      {"(NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))",
       {"R08 NP -> NP n", "R14 NP -> VP u<的>", "R30 VP -> v n"}},
      {"(n)", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tree);
    std::set<std::string> keys;
    ASSERT_TRUE(index.AddRulesOf(c.tree, keys));
    EXPECT_EQ(Described(index, keys), c.rules);
  }
}

TEST(RuleIndexTest, TextsThatAreNoTreeGiveNoRules) {
  const RuleSet rules = Rules();
  const RuleIndex index(rules);
  for (const char* text :
       {"", "NP:定中(v", "NP:定中(v,)", "NP:定中(v,n", "NP:定中(v,n))", "NP:定中(v,n)x", "NP:定中",
        ",", "NP:定中()", "(NP:定中(v,n)", "((v))", "(NP:定中(v,n)))", "()"}) {
    SCOPED_TRACE(text);
    std::set<std::string> keys;
    EXPECT_FALSE(index.AddRulesOf(text, keys));
    EXPECT_TRUE(keys.empty());
  }
  // Nesting deeper than any tree of five items.
  std::string deep;
  for (int k = 0; k < 200; ++k) deep += "A:t(";
  deep += "x";
  for (int k = 0; k < 200; ++k) deep += ")";
  std::set<std::string> keys;
  EXPECT_FALSE(index.AddRulesOf(deep, keys));
}

PatternResult Pattern(PermutationClass cls, std::vector<std::string> parses,
                      const char* items = "v n u<的> n") {
  PatternResult p;
  p.items = items;
  p.cls = cls;
  p.count = parses.size();
  p.parses = std::move(parses);
  return p;
}

class Recorder : public ChangeSink {
 public:
  void Changed(const PatternChange& change) override { changes.push_back(change); }
  std::vector<PatternChange> changes;
};

using PC = PermutationClass;
const char kWithR14[] = "NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n)";
const char kWithR31[] = "VP:述宾(v,NP:定中(NP:定中(v,n),n))";
const char kOther[] = "NP:定中(NP:定中(v,n),n)";

TEST(ComparisonTest, ChangesAreJudgementsOrSetsOfParsesThatDiffer) {
  struct Case {
    const char* what;
    PatternResult old, now;
    bool changed;
    std::vector<std::string> gained, lost, rulesGained, rulesLost;
  } cases[] = {
      {"the same parses in another order",
       Pattern(PC::Overt, {kWithR14, kWithR31}),
       Pattern(PC::Overt, {kWithR31, kWithR14}),
       false,
       {},
       {},
       {},
       {}},
      {"a parse lost, judgement changed",
       Pattern(PC::Overt, {kWithR31, kWithR14}),
       Pattern(PC::OneWay, {kWithR31}),
       true,
       {},
       {kWithR14},
       {},
       {"R14 NP -> VP u<的>", "R30 VP -> v n"}},
      {"a parse gained, same judgement",
       Pattern(PC::Covert, {kWithR14, kOther}),
       Pattern(PC::Covert, {kWithR14, kOther, "NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n)x"}),
       true,
       {"NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n)x"},
       {},
       {},
       {}},
      {"one parse traded for another",
       Pattern(PC::OneWay, {kOther}),
       Pattern(PC::OneWay, {kWithR14}),
       true,
       {kWithR14},
       {kOther},
       {"R14 NP -> VP u<的>", "R30 VP -> v n"},
       {"R05 NP -> v n"}},
      {"from nothing to a parse",
       Pattern(PC::CannotCombine, {}),
       Pattern(PC::OneWay, {kOther}),
       true,
       {kOther},
       {},
       {"R05 NP -> v n", "R08 NP -> NP n"},
       {}},
      {"nothing on both sides",
       Pattern(PC::CannotCombine, {}),
       Pattern(PC::CannotCombine, {}),
       false,
       {},
       {},
       {},
       {}},
  };
  const RuleSet rules = Rules();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Comparison comparison(rules, rules);
    Recorder recorder;
    comparison.AddSink(&recorder);
    comparison.Compare(ReportKind::kSequences, &c.old, &c.now);
    const SourceComparison& side = comparison.Of(ReportKind::kSequences);
    EXPECT_EQ(side.transitions[static_cast<int>(c.old.cls)][static_cast<int>(c.now.cls)], 1u);
    EXPECT_EQ(side.changed, c.changed ? 1u : 0u);
    EXPECT_EQ(comparison.AnyChange(), c.changed);
    EXPECT_FALSE(comparison.Of(ReportKind::kTagSet).present);
    ASSERT_EQ(recorder.changes.size(), c.changed ? 1u : 0u);
    if (!c.changed) continue;
    const PatternChange& change = recorder.changes.front();
    EXPECT_EQ(change.judgementChanged, c.old.cls != c.now.cls);
    EXPECT_EQ(change.gained, c.gained);
    EXPECT_EQ(change.lost, c.lost);
    EXPECT_EQ(std::set<std::string>(change.rulesGained.begin(), change.rulesGained.end()),
              std::set<std::string>(c.rulesGained.begin(), c.rulesGained.end()));
    EXPECT_EQ(std::set<std::string>(change.rulesLost.begin(), change.rulesLost.end()),
              std::set<std::string>(c.rulesLost.begin(), c.rulesLost.end()));
  }
}

TEST(ComparisonTest, RulesAreNamedAfterTheFileOfTheirSide) {
  RuleSet oldRules = Rules(), newRules = Rules();
  newRules.rules[1] = CfgRule("R99", "NP", "VP u<的> ", "的字结构");
  Comparison comparison(oldRules, newRules);
  Recorder recorder;
  comparison.AddSink(&recorder);
  const PatternResult old = Pattern(PC::OneWay, {kWithR14});
  const PatternResult now = Pattern(PC::Overt, {kWithR14, kWithR31});
  comparison.Compare(ReportKind::kTagSet, &old, &now);
  const PatternResult lost = Pattern(PC::OneWay, {kWithR14}, "a b");
  const PatternResult none = Pattern(PC::CannotCombine, {}, "a b");
  comparison.Compare(ReportKind::kTagSet, &lost, &none);
  comparison.Compare(ReportKind::kTagSet, &none, &lost);
  ASSERT_EQ(recorder.changes.size(), 3u);
  EXPECT_NE(std::find(recorder.changes[2].rulesGained.begin(),
                      recorder.changes[2].rulesGained.end(), "R99 NP -> VP u<的>"),
            recorder.changes[2].rulesGained.end());
  // R31 and R05 occur in the gained parse only; R08 and R30 in both.
  EXPECT_EQ(std::set<std::string>(recorder.changes[0].rulesGained.begin(),
                                  recorder.changes[0].rulesGained.end()),
            (std::set<std::string>{"R31 VP -> v NP", "R05 NP -> v n"}));
  EXPECT_EQ(recorder.changes[1].rulesLost.size(), 3u);
  EXPECT_NE(std::find(recorder.changes[1].rulesLost.begin(), recorder.changes[1].rulesLost.end(),
                      "R14 NP -> VP u<的>"),
            recorder.changes[1].rulesLost.end());
}

TEST(ComparisonTest, PatternsOnOneSideAndUnlistedParses) {
  const RuleSet rules = Rules();
  Comparison comparison(rules, rules);
  Recorder recorder;
  comparison.AddSink(&recorder);
  const PatternResult a = Pattern(PC::OneWay, {kOther});
  comparison.Compare(ReportKind::kTagSet, nullptr, &a);
  comparison.Compare(ReportKind::kTagSet, &a, nullptr);
  PatternResult many = Pattern(PC::Covert, {});
  many.count = 5000;
  many.listed = false;
  PatternResult more = many;
  comparison.Compare(ReportKind::kTagSet, &many, &more);  // unchanged: same count
  more.count = 6000;
  comparison.Compare(ReportKind::kTagSet, &many, &more);
  const SourceComparison& side = comparison.Of(ReportKind::kTagSet);
  const int absent = SourceComparison::kAbsent;
  EXPECT_EQ(side.transitions[absent][static_cast<int>(PC::OneWay)], 1u);
  EXPECT_EQ(side.transitions[static_cast<int>(PC::OneWay)][absent], 1u);
  EXPECT_EQ(side.transitions[static_cast<int>(PC::Covert)][static_cast<int>(PC::Covert)], 2u);
  EXPECT_EQ(side.patterns, 4u);
  ASSERT_EQ(recorder.changes.size(), 3u);
  EXPECT_TRUE(recorder.changes[0].judgementChanged);
  EXPECT_EQ(recorder.changes[0].gained, std::vector<std::string>{kOther});
  EXPECT_EQ(recorder.changes[1].lost, std::vector<std::string>{kOther});
  EXPECT_FALSE(recorder.changes[2].parsesComparable);
  EXPECT_FALSE(recorder.changes[2].judgementChanged);
}

std::string TextOf(ChangeText& text, const Comparison& comparison) {
  std::string out;
  EXPECT_TRUE(text.WriteTo("title", comparison, [&](std::string_view piece) {
    out += piece;
    return true;
  }));
  return out;
}

TEST(ChangeTextTest, TablesThenJudgementChangesThenParseChanges) {
  const RuleSet rules = Rules();
  Comparison comparison(rules, rules);
  ChangeText text;
  comparison.AddSink(&text);
  const PatternResult sameOld = Pattern(PC::OneWay, {kOther}, "a b");
  const PatternResult sameNew = Pattern(PC::OneWay, {kWithR14}, "a b");
  const PatternResult overt = Pattern(PC::Overt, {kWithR14, kWithR31}, "c d");
  const PatternResult oneWay = Pattern(PC::OneWay, {kWithR31}, "c d");
  comparison.Compare(ReportKind::kTagSet, &sameOld, &sameNew);  // parses only, first
  comparison.Compare(ReportKind::kTagSet, &overt, &oneWay);     // judgement, second
  comparison.SetAverages(ReportKind::kTagSet, {2.0, std::nullopt}, {std::nullopt, std::nullopt});
  const std::string out = TextOf(text, comparison);
  // The texts of the data files are GBK and the comparison's text UTF-8.
  Utf8Converter shown;
  const std::size_t table = out.find("tagset: 2 patterns, 2 changed\n");
  const std::size_t judgement = out.find("tagset  c d  overt -> one_way  parses 2 -> 1\n");
  const std::size_t lost = out.find("    - " + shown.Convert(kWithR14) + "\n", judgement);
  const std::size_t rulesAt =
      out.find(shown.Convert("    rules lost: R14 NP -> VP u<的>; R30 VP -> v n\n"));
  const std::size_t parses = out.find("tagset  a b  one_way -> one_way  parses 1 -> 1\n");
  const std::size_t gained = out.find("    + " + shown.Convert(kWithR14) + "\n", parses);
  for (std::size_t at : {table, judgement, lost, rulesAt, parses, gained}) {
    EXPECT_NE(at, std::string::npos) << out;
  }
  EXPECT_LT(table, judgement);
  EXPECT_LT(judgement, lost);
  EXPECT_LT(lost, rulesAt);
  EXPECT_LT(rulesAt, parses);
  EXPECT_NE(out.find("average degree overt: 2.000000 -> -\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("sequences:"), std::string::npos);
}

TEST(ScratchTextTest, GivesBackWhatWasAppendedHoweverLarge) {
  for (std::size_t pieces : {0u, 1u, 1000u, 300000u}) {
    SCOPED_TRACE(pieces);
    ScratchText scratch;
    std::string expected;
    for (std::size_t k = 0; k < pieces; ++k) {
      const std::string piece = "piece " + std::to_string(k) + "\n";
      scratch.Append(piece);
      expected += piece;
    }
    std::string back;
    EXPECT_TRUE(scratch.CopyTo([&](std::string_view piece) {
      back += piece;
      return true;
    }));
    EXPECT_EQ(back.size(), expected.size());
    EXPECT_TRUE(back == expected);
    EXPECT_EQ(scratch.empty(), pieces == 0);
  }
}

}  // namespace
}  // namespace marvolen
