// Judging a permutation by its distinct parses.
#include "analysis/classification.h"

namespace marvolen {

PermutationClass ClassifyParses(const ParseList& parses) {
  if (parses.empty()) return PermutationClass::CannotCombine;
  if (parses.size() == 1) return PermutationClass::OneWay;
  const std::string& first = parses.front()->label;
  for (std::size_t k = 1; k < parses.size(); ++k) {
    if (parses[k]->label != first) return PermutationClass::Overt;
  }
  return PermutationClass::Covert;
}

PermutationClass ClassifySummary(const ParseSummary& summary) {
  if (summary.count == 0) return PermutationClass::CannotCombine;
  if (summary.count == 1) return PermutationClass::OneWay;
  return summary.rootsDiffer ? PermutationClass::Overt : PermutationClass::Covert;
}

void ClassCounters::Count(PermutationClass cls) {
  if (cls == PermutationClass::CannotCombine) {
    ++cannotCombineCount;
    return;
  }
  ++combinableCount;
  switch (cls) {
    case PermutationClass::OneWay:
      ++oneWayCount;
      break;
    case PermutationClass::Overt:
      ++overtCount;
      break;
    case PermutationClass::Covert:
      ++covertCount;
      break;
    case PermutationClass::CannotCombine:
      break;
  }
}

ClassCounters& ClassCounters::operator+=(const ClassCounters& other) {
  cannotCombineCount += other.cannotCombineCount;
  combinableCount += other.combinableCount;
  oneWayCount += other.oneWayCount;
  overtCount += other.overtCount;
  covertCount += other.covertCount;
  return *this;
}

}  // namespace marvolen
