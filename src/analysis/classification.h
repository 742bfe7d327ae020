// The judgement on one permutation from its distinct parses, and the
// counters of a report.
#ifndef MARVOLEN_ANALYSIS_CLASSIFICATION_H_
#define MARVOLEN_ANALYSIS_CLASSIFICATION_H_

#include "analysis/permutation_class.h"
#include "grammar/parse_engine.h"

namespace marvolen {

// CannotCombine without parses, OneWay with one; with more, Overt when some
// root label differs from the first parse's, else Covert. Only root labels
// decide between the two.
PermutationClass ClassifyParses(const ParseList& parses);

// The same judgement from what a search counted, before any parse is built.
PermutationClass ClassifySummary(const ParseSummary& summary);

// The judgements of one report.
struct ClassCounters {
  int cannotCombineCount = 0;
  int combinableCount = 0;  // = oneWayCount + overtCount + covertCount
  int oneWayCount = 0;
  int overtCount = 0;
  int covertCount = 0;

  // Count one judgement.
  void Count(PermutationClass cls);
  ClassCounters& operator+=(const ClassCounters& other);
};

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_CLASSIFICATION_H_
