// The changed patterns of a comparison, held.
#include "compare/change_list.h"

#include <algorithm>
#include <utility>

namespace marvolen {

namespace {

std::size_t BytesOf(const std::vector<std::string>& texts) {
  std::size_t bytes = 0;
  for (const std::string& text : texts) bytes += text.size() + sizeof(std::string);
  return bytes;
}

}  // namespace

void ChangeList::Changed(const PatternChange& change) {
  // Gained and lost parses are among the sides' parses.
  const std::size_t bytes = sizeof(ChangedPattern) +
                            (change.old ? BytesOf(change.old->parses) : 0) +
                            (change.now ? BytesOf(change.now->parses) : 0) +
                            BytesOf(change.gained) + BytesOf(change.lost);
  if (changes_.size() >= limit_ || bytes > byteLimit_ - std::min(bytes_, byteLimit_)) {
    ++leftOut_;
    return;
  }
  bytes_ += bytes;
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
  bytes_ = 0;
  return result;
}

}  // namespace marvolen
