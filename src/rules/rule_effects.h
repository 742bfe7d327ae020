// What each rule does in a run, from the parses the run found: how many
// parses and patterns use it, by judgement and source (usage), and what the
// run would give without it (the what-if). A parse survives the removal of a
// rule exactly when it does not use the rule, so no second run is needed.
//
// A parse tree shows of a rule its left tag, tree title and items; rules
// alike in those three make the same nodes (the search keeps one of equal
// trees), so removing one of them, while another stays, changes nothing.
//
// Memory holds counts per rule and per judgement, never per parse: one
// pattern's counts at a time, besides. A pattern with more parses than the
// run lists (--max-parses), or whose parses cannot be read back into rules,
// is not computed: it is left out of the what-if's transitions, and the
// what-if gives no averages for a source that has one.
#ifndef MARVOLEN_RULES_RULE_EFFECTS_H_
#define MARVOLEN_RULES_RULE_EFFECTS_H_

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/report_observer.h"
#include "grammar/cfg_rule.h"

namespace marvolen {

// Judgements as indexes: CannotCombine, OneWay, Overt, Covert.
inline constexpr int kJudgements = 4;
// Sources as indexes: 0 the tag-set permutations, 1 the sequences.
inline constexpr int kSources = 2;
int SourceIndex(ReportKind kind);

using JudgementCounts = std::array<std::uint64_t, kJudgements>;

// A sum of parse counts, exact however many and however large.
struct WideSum {
  std::uint64_t low = 0, high = 0;
  void Add(std::uint64_t value);
  void Subtract(const WideSum& other);  // never below zero
  void Add(const WideSum& other);
  double ToDouble() const;
};

// One source as the run gave it and as it would be without one rule.
struct SourceWithout {
  bool present = false;  // the source's report ran and ended
  // [old][new] judgement, over the patterns computed.
  std::array<JudgementCounts, kJudgements> transitions{};
  std::uint64_t parsesLost = 0;
  std::uint64_t notComputed = 0;  // patterns left out (see above)
  // The average degrees of the run and without the rule (none without
  // such patterns, or, without the rule, when a pattern was not computed).
  std::optional<double> overtBefore, covertBefore, overtAfter, covertAfter;

  // Patterns whose judgement changes.
  std::uint64_t Changed() const;
};

struct RuleEffect {
  int rule = 0;  // its index in the rule set
  // By source and judgement of the pattern: the parses that use the rule
  // and the patterns with such a parse.
  std::array<JudgementCounts, kSources> parses{};
  std::array<JudgementCounts, kSources> patterns{};
  // Another rule makes the same nodes: without this one nothing changes.
  bool sharesNodes = false;
  std::array<SourceWithout, kSources> without;

  std::uint64_t ParsesUsing() const;
};

class RuleEffects : public ReportObserver {
 public:
  // `rules` must outlive this.
  explicit RuleEffects(const RuleSet& rules);
  ~RuleEffects() override;
  RuleEffects(const RuleEffects&) = delete;
  RuleEffects& operator=(const RuleEffects&) = delete;

  void BeginReport(ReportKind kind, std::int64_t permutations) override;
  void BeginPermutation(const ListedPermutation& permutation) override;
  void Parse(std::string_view bracketed, std::string_view rootLabel) override;
  void EndReport(const ReportSummary& summary) override;
  // The patterns are counted one by one, in any order.
  bool InReportOrder() const override { return false; }

  // Forget the last report begun unless it ended (the run drops what it did
  // not finish).
  void DropUnfinishedReport();

  // One entry per rule, in rule-set order.
  std::vector<RuleEffect> Effects() const;

 private:
  struct ClassCounts;  // per class and source
  struct SourceState;

  void EndPattern();
  // Add the classes of the parse's nodes to parseClasses_; false when the
  // text is no tree of ours or a node matches no rule.
  bool ReadParse(std::string_view text);
  // `word`: the number of the node's label among the rules' words, or -1.
  bool ReadNode(std::string_view text, std::size_t& at, int& word, int depth);

  const RuleSet& rules_;
  std::vector<int> classOfRule_;  // -1 for a rule never applied
  std::vector<int> rulesInClass_;
  // The rules' words (left tags, tree titles, items) by number, and the
  // classes by the numbers of their left tag, tree title and items, so that
  // a node of a parse is matched without building a key: open addressing,
  // a power of two of slots, at most half of them used.
  struct WordSlot {
    std::uint64_t hash = 0;
    std::string_view text;  // of the rule set
    int word = -1;          // -1: empty
  };
  struct Shape {
    std::array<int, 5> words{};  // left tag, title, up to three items (-1 after the last)
    bool operator==(const Shape&) const = default;
  };
  struct ShapeSlot {
    Shape shape;
    int cls = -1;  // -1: empty
  };
  static std::uint64_t HashOf(const Shape& shape);
  int AddWord(std::string_view text);
  int FindWord(std::string_view text, std::uint64_t hash) const;
  std::vector<WordSlot> words_;
  int wordCount_ = 0;
  std::vector<ShapeSlot> shapes_;
  int FindShape(const Shape& shape) const;  // the class, or -1

  std::vector<ClassCounts> counts_;  // [class * kSources + source]
  std::vector<SourceState> sources_;

  // The open pattern.
  int source_ = 0;
  bool open_ = false;
  bool computed_ = false;
  PermutationClass cls_ = PermutationClass::CannotCombine;
  std::uint64_t parsesSeen_ = 0;
  std::uint64_t expected_ = 0;
  std::vector<std::string> roots_;
  std::vector<std::uint64_t> parsesByRoot_;
  std::vector<int> parseClasses_;                   // of the current parse
  std::vector<int> touched_;                        // classes used in the pattern
  std::vector<int> slotOfClass_;                    // -1 or index into byRoot_
  std::vector<std::vector<std::uint64_t>> byRoot_;  // per touched class: parses by root
};

// "R05 NP -> v n :: 定中" (UTF-8).
std::string DescribeRule(const CfgRule& rule);
// "one way 7/7, overt 0/0, covert 2/2": parses/patterns using the rule in
// `source` (0, 1), by judgement.
std::string DescribeUsage(const RuleEffect& effect, int source);
// "one way -> cannot combine 7, ...; parses lost 9; average overt ...".
std::string DescribeWithout(const RuleEffect& effect, int source);

// The usage and what-if table as text (UTF-8): per rule its usage and what
// removing it changes, then the rules no parse uses. `rulesName` names the
// rules file in the places given.
std::string FormatRuleEffects(const RuleSet& rules, const std::vector<RuleEffect>& effects,
                              const std::string& rulesName);

}  // namespace marvolen

#endif  // MARVOLEN_RULES_RULE_EFFECTS_H_
