// A comparison with another rules file: the baseline's reports run on a
// thread of their own, over the same tag set, sequences and mode, in step
// with the current run, and each pattern the current run's report gives is
// compared with the baseline's at once. The two sides enumerate the same
// patterns in the same order, so only a few patterns are ever held between
// them: memory does not grow with the report.
#ifndef MARVOLEN_COMPARE_RULES_BASELINE_H_
#define MARVOLEN_COMPARE_RULES_BASELINE_H_

#include <memory>
#include <stop_token>

#include "analysis/reports.h"
#include "compare/comparison.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "datafiles/user_interface.h"
#include "grammar/cfg_rule.h"

namespace marvolen {

class BaselineQueue;

// The observer of the current run's reports that compares them with the
// baseline's. The baseline starts when it is made; everything it is given
// must outlive it.
class RulesBaselineComparison : public PatternCollector {
 public:
  RulesBaselineComparison(Comparison& comparison, bool threeItemsOnly, const TagSet& tagSet,
                          const SequenceList& sequences, const RuleSet& baselineRules,
                          const ReportOptions& options);
  // Stops the baseline if it still runs, and waits for it.
  ~RulesBaselineComparison() override;
  RulesBaselineComparison(const RulesBaselineComparison&) = delete;
  RulesBaselineComparison& operator=(const RulesBaselineComparison&) = delete;

  // After the current run's reports: wait for the baseline's end and show
  // its messages on `ui` (from this thread). True when both sides gave the
  // same patterns and every report of both was complete.
  bool Finish(UserInterface& ui);

 protected:
  void SourceBegun(ReportKind kind) override;
  void PatternDone(ReportKind kind, PatternResult& pattern) override;
  void SourceEnded(ReportKind kind, const SideAverages& averages) override;

 private:
  void Break();

  Comparison& comparison_;
  std::unique_ptr<BaselineQueue> queue_;
  bool broken_ = false;
  bool finished_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_COMPARE_RULES_BASELINE_H_
