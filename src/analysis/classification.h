// The judgement on one permutation from its distinct parses, and the
// counters of a report.
#ifndef MARVOLEN_ANALYSIS_CLASSIFICATION_H_
#define MARVOLEN_ANALYSIS_CLASSIFICATION_H_

#include "analysis/degree_records.h"
#include "grammar/parse_engine.h"
#include "grammar/permutation.h"

namespace marvolen {

// CannotCombine without parses, OneWay with one; with more, Overt when some
// root label differs from the first parse's, else Covert. Only root labels
// decide between the two.
PermutationClass ClassifyParses(const ParseList& parses);

int CountParses(const ParseList& parses);

// The judgements of one report.
struct ClassCounters {
  int cannotCombineCount = 0;
  int combinableCount = 0;  // = oneWayCount + overtCount + covertCount
  int oneWayCount = 0;
  int overtCount = 0;
  int covertCount = 0;
};

// The step every report runs on each permutation once it has its parses:
// judge them, count the judgement and, for an ambiguous permutation, record
// its degree. Returns the judgement.
PermutationClass AnalyseParses(const ParseList& parses, const Permutation& permutation,
                               ClassCounters& counters, DegreeLists& lists);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_CLASSIFICATION_H_
