#include "rules/rule_effects.h"

#include <gtest/gtest.h>

#include "analysis/degree_records.h"
#include "analysis/reports.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "testing/files.h"

namespace marvolen {
namespace {

// The judgements and counts of every pattern of a run, and its averages.
class Judgements : public ReportObserver {
 public:
  struct Source {
    bool present = false;
    std::vector<ListedPermutation> patterns;
    std::optional<double> overt, covert;
  };

  void BeginReport(ReportKind kind, std::int64_t) override {
    source_ = SourceIndex(kind);
    sources[source_] = Source();
  }
  void BeginPermutation(const ListedPermutation& p) override {
    sources[source_].patterns.push_back(p);
    sources[source_].patterns.back().permutation = nullptr;
  }
  void Parse(std::string_view, std::string_view) override {}
  void EndReport(const ReportSummary& summary) override {
    Source& s = sources[SourceIndex(summary.kind)];
    s.present = true;
    s.overt = AverageDegree(summary.overtRecords).average;
    s.covert = AverageDegree(summary.covertRecords).average;
  }

  Source sources[kSources];

 private:
  int source_ = 0;
};

struct Examples {
  TagSet tags;
  SequenceList sequences;
  RuleSet rules;
};

Examples ReadExamples() {
  Examples e;
  RecordingUserInterface ui;
  ReadTagSet(e.tags, *InputStream::Open((ExamplesDir() / "tags.txt").string()), ui);
  ReadSequences(e.sequences, *InputStream::Open((ExamplesDir() / "sequences.txt").string()), ui);
  ReadRuleSet(e.rules, *InputStream::Open((ExamplesDir() / "rules.txt").string()), ui);
  EXPECT_TRUE(ui.messages.empty());
  return e;
}

// Build both reports with `observers`.
void RunReports(const Examples& e, const RuleSet& rules, bool threeItemsOnly,
                std::vector<ReportObserver*> observers,
                std::uint64_t maxParses = kDefaultMaxParses) {
  RecordingUserInterface ui;
  ReportOptions options;
  options.observers = std::move(observers);
  options.maxParses = maxParses;
  auto out = OutputStream::Discarding();
  ASSERT_EQ(BuildTagSetReport(threeItemsOnly, e.tags, rules, *out, ui, options),
            ReportEnd::kWritten);
  ASSERT_EQ(BuildSequencesReport(e.sequences, rules, *out, ui, options), ReportEnd::kWritten);
}

// The what-if of every rule against a run of the rule set without it.
void ExpectWhatIfMatchesRunsWithoutEachRule(const Examples& e, const RuleSet& rules,
                                            bool threeItemsOnly) {
  RuleEffects effects(rules);
  Judgements full;
  RunReports(e, rules, threeItemsOnly, {&effects, &full});
  const std::vector<RuleEffect> all = effects.Effects();
  ASSERT_EQ(all.size(), rules.rules.size());
  int changing = 0;
  for (int k = 0; k < rules.count(); ++k) {
    SCOPED_TRACE("without rule " + std::to_string(k) + " " + rules.rules[k].title() + " " +
                 rules.rules[k].rightSide());
    RuleSet without = rules;
    without.rules.erase(without.rules.begin() + k);
    without.lines.clear();
    Judgements run;
    RunReports(e, without, threeItemsOnly, {&run});
    for (int s = 0; s < kSources; ++s) {
      const Judgements::Source& before = full.sources[s];
      const Judgements::Source& after = run.sources[s];
      const SourceWithout& w = all[k].without[s];
      ASSERT_TRUE(w.present);
      ASSERT_EQ(before.patterns.size(), after.patterns.size());
      std::array<JudgementCounts, kJudgements> transitions{};
      std::uint64_t lost = 0;
      for (std::size_t p = 0; p < before.patterns.size(); ++p) {
        const ListedPermutation& old = before.patterns[p];
        const ListedPermutation& now = after.patterns[p];
        ++transitions[static_cast<int>(old.cls)][static_cast<int>(now.cls)];
        const auto parses = [](const ListedPermutation& x) {
          return x.cls == PermutationClass::CannotCombine ? 0 : x.count;
        };
        lost += parses(old) - parses(now);
      }
      EXPECT_EQ(w.transitions, transitions) << "source " << s;
      EXPECT_EQ(w.parsesLost, lost) << "source " << s;
      EXPECT_EQ(w.notComputed, 0u);
      EXPECT_EQ(w.overtBefore, before.overt);
      EXPECT_EQ(w.covertBefore, before.covert);
      EXPECT_EQ(w.overtAfter, after.overt) << "source " << s;
      EXPECT_EQ(w.covertAfter, after.covert) << "source " << s;
      // The parses lost are those that use the rule.
      std::uint64_t using_ = 0;
      for (std::uint64_t n : all[k].parses[s]) using_ += n;
      EXPECT_EQ(all[k].sharesNodes ? 0 : using_, lost);
      if (w.Changed() > 0) ++changing;
    }
  }
  EXPECT_GT(changing, 0);
}

TEST(RuleEffectsTest, WhatIfEqualsARunWithoutEachRuleOfTheExamples) {
  const Examples e = ReadExamples();
  ASSERT_GT(e.rules.count(), 40);
  for (const bool threeItemsOnly : {true, false}) {
    SCOPED_TRACE(threeItemsOnly ? "three items" : "long");
    ExpectWhatIfMatchesRunsWithoutEachRule(e, e.rules, threeItemsOnly);
  }
}

TEST(RuleEffectsTest, ARuleRepeatedChangesNothingWithoutOneOfItsCopies) {
  Examples e = ReadExamples();
  RuleSet rules = e.rules;
  // R01 NP -> a n again, with another title: the trees cannot tell them apart.
  rules.rules.emplace_back("R99", rules.rules[0].leftTag(), rules.rules[0].rightSide(),
                           rules.rules[0].treeTitle());
  RuleEffects effects(rules);
  RunReports(e, rules, true, {&effects});
  const std::vector<RuleEffect> all = effects.Effects();
  for (const int k : {0, rules.count() - 1}) {
    EXPECT_TRUE(all[k].sharesNodes);
    EXPECT_GT(all[k].ParsesUsing(), 0u);
    EXPECT_EQ(all[k].without[0].Changed(), 0u);
  }
  ExpectWhatIfMatchesRunsWithoutEachRule(e, rules, true);
}

TEST(RuleEffectsTest, PatternsOverTheParseLimitAreNotComputed) {
  const Examples e = ReadExamples();
  RuleEffects effects(e.rules);
  Judgements full;
  RunReports(e, e.rules, true, {&effects, &full}, 1);
  std::uint64_t ambiguous = 0;
  for (const ListedPermutation& p : full.sources[0].patterns) ambiguous += p.listed ? 0 : 1;
  ASSERT_GT(ambiguous, 0u);
  for (const RuleEffect& r : effects.Effects()) {
    const SourceWithout& w = r.without[0];
    EXPECT_EQ(w.notComputed, ambiguous);
    std::uint64_t counted = 0;
    for (const JudgementCounts& row : w.transitions) {
      for (std::uint64_t n : row) counted += n;
    }
    EXPECT_EQ(counted + ambiguous, full.sources[0].patterns.size());
    // Only the patterns of one parse were listed.
    EXPECT_EQ(r.parses[0][static_cast<int>(PermutationClass::Overt)], 0u);
    if (r.ParsesUsing() > 0 && !r.sharesNodes) {
      EXPECT_FALSE(w.overtAfter.has_value());
    }
  }
}

TEST(RuleEffectsTest, AReportDroppedUnfinishedLeavesNoCounts) {
  const Examples e = ReadExamples();
  RuleEffects effects(e.rules);
  ListedPermutation p;
  Permutation items;
  p.permutation = &items;
  p.cls = PermutationClass::OneWay;
  p.count = 1;
  effects.BeginReport(ReportKind::kSequences, 1);
  effects.BeginPermutation(p);
  effects.Parse("(NP:" + e.rules.rules[0].treeTitle() + "(a,n))", "NP");
  EXPECT_EQ(effects.Effects()[0].ParsesUsing(), 0u);  // the pattern is still open
  effects.DropUnfinishedReport();
  EXPECT_EQ(effects.Effects()[0].ParsesUsing(), 0u);
  EXPECT_FALSE(effects.Effects()[0].without[1].present);
}

}  // namespace
}  // namespace marvolen
