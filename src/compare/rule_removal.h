// What the patterns of an earlier run would be without some of its rules,
// read from the table of permutations that run wrote (--csv), with no second
// run: a parse survives the removal exactly when it uses none of the rules
// removed. A rule removed while another rule of the file, kept, makes the
// same nodes (same left tag, tree title and items) takes no parse with it.
//
// The patterns are compared as two grammars' results are (Comparison): the
// run is the old side, the run without the rules the new one, and every
// pattern whose judgement or parses change goes to the sinks. A pattern
// whose parses the table does not hold whole (more than the run listed, or a
// cell cut at its limit), or whose parses cannot be read back into rules, is
// not computed: it is left out of the transitions, and the new side has no
// averages for its source.
#ifndef MARVOLEN_COMPARE_RULE_REMOVAL_H_
#define MARVOLEN_COMPARE_RULE_REMOVAL_H_

#include <array>
#include <cstdint>
#include <set>
#include <stop_token>
#include <string>

#include "compare/comparison.h"
#include "compare/csv_baseline.h"

namespace marvolen {

// `rules` without the records whose indexes are in `removed`.
RuleSet RulesWithout(const RuleSet& rules, const std::set<int>& removed);

class RuleRemoval {
 public:
  // The removal of the rules `removed` (indexes into `rules`, the rules of
  // the run that wrote the table).
  RuleRemoval(const RuleSet& rules, const std::set<int>& removed);
  RuleRemoval(const RuleRemoval&) = delete;
  RuleRemoval& operator=(const RuleRemoval&) = delete;

  void AddSink(ChangeSink* sink) { comparison_.AddSink(sink); }

  // Read the table at `path` (a native path) and compare each of its
  // patterns with the pattern without the rules, in the table's order. False
  // with `error` filled when the table cannot be read or the stop was
  // requested.
  bool Run(const std::string& path, const std::stop_token& stop, CsvBaselineError* error);

  const Comparison& comparison() const { return comparison_; }
  std::uint64_t ParsesLost(ReportKind source) const { return parsesLost_[Side(source)]; }
  std::uint64_t NotComputed(ReportKind source) const { return notComputed_[Side(source)]; }

 private:
  static std::size_t Side(ReportKind source) { return source == ReportKind::kTagSet ? 0 : 1; }
  // Compare one pattern of the table; its new side, or null when it is not
  // computed.
  const PatternResult* ComparePattern(ReportKind source, const PatternResult& old);

  RuleIndex index_;
  std::set<std::string> removedKeys_;
  Comparison comparison_;
  std::array<std::uint64_t, 2> parsesLost_{}, notComputed_{};
  PatternResult now_;
  std::set<std::string> keys_;  // reused
};

}  // namespace marvolen

#endif  // MARVOLEN_COMPARE_RULE_REMOVAL_H_
