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

int CountParses(const ParseList& parses) { return static_cast<int>(parses.size()); }

PermutationClass AnalyseParses(const ParseList& parses, const Permutation& permutation,
                               ClassCounters& counters, DegreeLists& lists) {
  const PermutationClass cls = ClassifyParses(parses);
  if (cls == PermutationClass::CannotCombine) {
    ++counters.cannotCombineCount;
    return cls;
  }
  ++counters.combinableCount;
  switch (cls) {
    case PermutationClass::OneWay:
      ++counters.oneWayCount;
      break;
    case PermutationClass::Overt:
      RecordDegree(lists, cls, permutation, CountParses(parses));
      ++counters.overtCount;
      break;
    case PermutationClass::Covert:
      RecordDegree(lists, cls, permutation, CountParses(parses));
      ++counters.covertCount;
      break;
    case PermutationClass::CannotCombine:
      break;
  }
  return cls;
}

}  // namespace marvolen
