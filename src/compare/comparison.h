// The comparison of two analyses of the same patterns: a baseline (another
// rules file, run with the same tag set, sequences and mode) and the current
// run. Per source (the tag-set permutations, the sequences) it counts the
// judgement transitions old -> new, keeps the average degrees of both sides,
// and hands every changed pattern on as it comes: a pattern has changed when
// its judgement or its set of parses differs.
//
// The rules a parse uses are recovered from its bracketed text: a node
// "LHS:title(child,child)" was made by the rule whose left tag, tree title
// and right-side items are LHS, title and the children's labels. Such a rule
// is named by the title it has in its rules file (R14) and `LHS -> RHS`.
// A label that itself holds one of ":(),", which the text cannot tell from
// the brackets, leaves the parse's rules unknown: none are named for it.
#ifndef MARVOLEN_COMPARE_COMPARISON_H_
#define MARVOLEN_COMPARE_COMPARISON_H_

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_observer.h"
#include "grammar/cfg_rule.h"

namespace marvolen {

// One analysed pattern of one side, as the report lists it (texts in GBK).
struct PatternResult {
  std::string items;  // one blank between two items
  PermutationClass cls = PermutationClass::CannotCombine;
  std::uint64_t count = 0;          // distinct parses
  bool listed = true;               // false: more than the run's limit, no parses
  bool partial = false;             // listed, but not all of them are known here
  std::vector<std::string> parses;  // bracketed, in report order
};

// The average degrees of one side's report (none without such patterns).
struct SideAverages {
  std::optional<double> overt;
  std::optional<double> covert;
};
SideAverages AveragesOf(const ReportSummary& summary);

// Gathers the calls of a report into one PatternResult per pattern. The
// parses of one pattern are held together (at most the run's limit of
// listed parses), never more than one pattern.
class PatternCollector : public ReportObserver {
 public:
  void BeginReport(ReportKind kind, std::int64_t permutations) override;
  void BeginPermutation(const ListedPermutation& permutation) override;
  void Parse(std::string_view bracketed, std::string_view rootLabel) override;
  void EndReport(const ReportSummary& summary) override;

 protected:
  // A report begins; each of its patterns in order; its end.
  virtual void SourceBegun(ReportKind kind) = 0;
  virtual void PatternDone(ReportKind kind, PatternResult& pattern) = 0;
  virtual void SourceEnded(ReportKind kind, const SideAverages& averages) = 0;

 private:
  void EndPattern();

  ReportKind kind_ = ReportKind::kTagSet;
  bool open_ = false;
  PatternResult pattern_;
};

// What a parse tree shows of a rule (its left tag, tree title and items),
// as one key: rules with equal keys make the same nodes.
std::string RuleKeyOf(const CfgRule& rule);

// The rules of a rules file by what a parse tree shows of them.
class RuleIndex {
 public:
  explicit RuleIndex(const RuleSet& rules);
  // The keys of the rules used by the bracketed parse, added to `keys`.
  // False (nothing added) when the text cannot be read as a tree.
  bool AddRulesOf(std::string_view bracketed, std::set<std::string>& keys) const;
  // "R14 NP -> VP u<的>" (GBK) for a key; without a title when no rule of
  // the file has the key.
  std::string Describe(const std::string& key) const;
  // The place of the key's first rule in its file; after every rule for a
  // key of none.
  std::size_t Order(const std::string& key) const;

 private:
  struct Entry {
    std::size_t order;
    std::string title;
  };
  std::map<std::string, Entry> rules_;  // key -> its first rule
};

// One changed pattern. `old` is null for a pattern added, `now` for one
// removed. Parses gained and lost are in the report order of their side;
// rules gained occur in gained parses and in no old parse, rules lost in
// lost parses and in no new parse; both in the order of their rules file.
struct PatternChange {
  ReportKind source = ReportKind::kTagSet;
  const PatternResult* old = nullptr;
  const PatternResult* now = nullptr;
  bool judgementChanged = false;
  bool parsesComparable = true;  // false: a side had more parses than it lists
  std::vector<std::string> gained, lost;
  std::vector<std::string> rulesGained, rulesLost;  // as RuleIndex::Describe
};

class ChangeSink {
 public:
  virtual ~ChangeSink() = default;
  virtual void Changed(const PatternChange& change) = 0;
};

// The outcome of one source.
struct SourceComparison {
  static constexpr int kAbsent = 4;  // the row of added, the column of removed
  bool present = false;
  // [old][new] by PermutationClass, kAbsent for a pattern on one side only.
  std::array<std::array<std::uint64_t, 5>, 5> transitions{};
  SideAverages oldAverages, newAverages;
  std::uint64_t patterns = 0;  // pairs compared, added and removed
  std::uint64_t changed = 0;
};

class Comparison {
 public:
  Comparison(const RuleSet& oldRules, const RuleSet& newRules);
  Comparison(const Comparison&) = delete;
  Comparison& operator=(const Comparison&) = delete;

  void AddSink(ChangeSink* sink) { sinks_.push_back(sink); }

  // Compare one pattern; either side may be null (added, removed).
  void Compare(ReportKind source, const PatternResult* old, const PatternResult* now);
  void SetAverages(ReportKind source, const SideAverages& old, const SideAverages& now);

  const SourceComparison& Of(ReportKind source) const {
    return sources_[source == ReportKind::kTagSet ? 0 : 1];
  }
  bool AnyChange() const { return sources_[0].changed + sources_[1].changed > 0; }

 private:
  SourceComparison& Source(ReportKind source) {
    return sources_[source == ReportKind::kTagSet ? 0 : 1];
  }
  std::vector<std::string> RulesOnlyIn(const RuleIndex& index,
                                       const std::vector<std::string>& parses,
                                       const std::vector<std::string>& others) const;

  RuleIndex oldRules_, newRules_;
  std::array<SourceComparison, 2> sources_;
  std::vector<ChangeSink*> sinks_;
};

// The name of a source as the comparison's outputs give it: "tagset",
// "sequences" (as the CSV table's source column).
const char* SourceName(ReportKind source);

}  // namespace marvolen

#endif  // MARVOLEN_COMPARE_COMPARISON_H_
