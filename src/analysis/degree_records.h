// Ambiguity degrees: one record per ambiguous permutation with its number of
// distinct parses, the ranking of the records and their average.
#ifndef MARVOLEN_ANALYSIS_DEGREE_RECORDS_H_
#define MARVOLEN_ANALYSIS_DEGREE_RECORDS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/permutation_class.h"

namespace marvolen {

// A record names its permutation by its number in report order, not by its
// items: a report may hold half a million records, and the items are made
// again from the number when the record is written.
struct DegreeRecord {
  std::int64_t permutation = 0;
  // The number of distinct parses (2 or more; kManyParses: at least that).
  std::uint64_t count = 0;
};

// The records of one report, each list in the order in which its
// permutations were analysed.
struct DegreeLists {
  std::vector<DegreeRecord> overtRecords;
  std::vector<DegreeRecord> covertRecords;
};

// Add a record of permutation `number` with `count` to the list of its
// class. Does nothing for a class that is not ambiguous.
void RecordDegree(DegreeLists& lists, PermutationClass cls, std::int64_t number,
                  std::uint64_t count);

// Order the records by descending count; records of equal count keep the
// order in which their permutations were analysed.
void RankDegreeRecords(std::vector<DegreeRecord>& records);

struct DegreeAverage {
  int records = 0;
  std::optional<double> average;  // the sum of the counts / records; none without records
};

// The sum is exact, however large the counts.
DegreeAverage AverageDegree(const std::vector<DegreeRecord>& records);

// The average as "%f" prints it: six decimals, a point whatever the locale.
std::string FormatAverage(double average);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_DEGREE_RECORDS_H_
