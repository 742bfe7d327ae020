// The changed patterns of a comparison, held.
#include "compare/change_list.h"

#include <algorithm>
#include <utility>

namespace marvolen {

void ChangeList::Changed(const PatternChange& change) {
  if (changes_.size() >= limit_) {
    ++leftOut_;
    return;
  }
  ChangedPattern& held = changes_.emplace_back();
  held.source = change.source;
  if (change.old != nullptr) held.old = *change.old;
  if (change.now != nullptr) held.now = *change.now;
  held.judgementChanged = change.judgementChanged;
  held.parsesComparable = change.parsesComparable;
  held.gained = change.gained;
  held.lost = change.lost;
  held.rulesGained = change.rulesGained;
  held.rulesLost = change.rulesLost;
}

ComparisonResult ChangeList::Take(const Comparison& comparison) {
  ComparisonResult result;
  result.sources = {comparison.Of(ReportKind::kTagSet), comparison.Of(ReportKind::kSequences)};
  // The tag set's report comes first; a stable partition keeps report order.
  std::stable_partition(changes_.begin(), changes_.end(),
                        [](const ChangedPattern& c) { return c.source == ReportKind::kTagSet; });
  std::stable_partition(changes_.begin(), changes_.end(),
                        [](const ChangedPattern& c) { return c.judgementChanged; });
  result.changes = std::move(changes_);
  result.leftOut = leftOut_;
  changes_.clear();
  leftOut_ = 0;
  return result;
}

}  // namespace marvolen
