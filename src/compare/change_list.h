// The outcome of a comparison as data, for a program that shows it: the
// tables of both sources and the changed patterns, each held whole (items,
// both judgements, both sides' parses, the parses gained and lost, the rules
// gained and lost).
//
// Only the first changed patterns are held (as many, and as many bytes of
// their texts, as the caller allows); those beyond are counted. So the
// memory stays bounded however much a rules file changed.
#ifndef MARVOLEN_COMPARE_CHANGE_LIST_H_
#define MARVOLEN_COMPARE_CHANGE_LIST_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compare/comparison.h"

namespace marvolen {

// One changed pattern, held whole. `old` is absent for a pattern added,
// `now` for one removed. Texts in GBK.
struct ChangedPattern {
  ReportKind source = ReportKind::kTagSet;
  std::optional<PatternResult> old, now;
  bool judgementChanged = false;
  bool parsesComparable = true;
  std::vector<std::string> gained, lost;
  std::vector<std::string> rulesGained, rulesLost;
};

struct ComparisonResult {
  // By source: [0] the tag-set permutations, [1] the sequences.
  std::array<SourceComparison, 2> sources;
  // Those whose judgement changed first, then those whose parses alone
  // changed; each group in report order, the tag set's before the
  // sequences'.
  std::vector<ChangedPattern> changes;
  std::uint64_t leftOut = 0;  // changed patterns beyond the limit, not held
};

// Holds the first `limit` changed patterns, while their texts take at most
// `byteLimit` bytes.
class ChangeList : public ChangeSink {
 public:
  explicit ChangeList(std::size_t limit, std::size_t byteLimit = std::size_t{64} << 20)
      : limit_(limit), byteLimit_(byteLimit) {}

  void Changed(const PatternChange& change) override;

  // The result, with the tables of `comparison`; the list is left empty.
  ComparisonResult Take(const Comparison& comparison);

 private:
  std::size_t limit_, byteLimit_;
  std::size_t bytes_ = 0;
  std::vector<ChangedPattern> changes_;
  std::uint64_t leftOut_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_COMPARE_CHANGE_LIST_H_
