// Ambiguity degrees: one record per ambiguous permutation with its number of
// distinct parses, the ranking of the records and their average.
#ifndef MARVOLEN_ANALYSIS_DEGREE_RECORDS_H_
#define MARVOLEN_ANALYSIS_DEGREE_RECORDS_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/permutation_class.h"
#include "grammar/permutation.h"

namespace marvolen {

struct DegreeRecord {
  // Slots 1 to currentItemCount of the permutation; the rest are empty.
  std::array<std::string, kMaxItems> items;
  int count = 0;  // the number of distinct parses (2 or more)
};

// The records of one report, each list in the order in which its
// permutations were analysed.
struct DegreeLists {
  std::vector<DegreeRecord> overtRecords;
  std::vector<DegreeRecord> covertRecords;
};

// Add a record of the permutation with `count` to the list of its class.
// Does nothing for a class that is not ambiguous.
void RecordDegree(DegreeLists& lists, PermutationClass cls, const Permutation& permutation,
                  int count);

// Order the records by descending count; records of equal count keep the
// order in which their permutations were analysed.
void RankDegreeRecords(std::vector<DegreeRecord>& records);

struct DegreeAverage {
  int records = 0;
  std::int64_t sum = 0;
  std::optional<double> average;  // sum / records; none without records
};

DegreeAverage AverageDegree(const std::vector<DegreeRecord>& records);

// The average as "%f" prints it: six decimals, a point whatever the locale.
std::string FormatAverage(double average);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_DEGREE_RECORDS_H_
