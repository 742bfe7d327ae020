// Recording, ranking and averaging ambiguity degrees.
#include "analysis/degree_records.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace marvolen {

void RecordDegree(DegreeLists& lists, PermutationClass cls, std::int64_t number,
                  std::uint64_t count) {
  if (cls == PermutationClass::Overt) lists.overtRecords.push_back({number, count});
  if (cls == PermutationClass::Covert) lists.covertRecords.push_back({number, count});
}

void RankDegreeRecords(std::vector<DegreeRecord>& records) {
  std::stable_sort(records.begin(), records.end(),
                   [](const DegreeRecord& a, const DegreeRecord& b) { return a.count > b.count; });
}

DegreeAverage AverageDegree(const std::vector<DegreeRecord>& records) {
  DegreeAverage result;
  result.records = static_cast<int>(records.size());
  // Half a million counts of up to 2^64 each fit in two 64-bit words; a sum
  // below 2^64 converts as it always did.
  std::uint64_t low = 0, high = 0;
  for (const DegreeRecord& record : records) {
    low += record.count;
    if (low < record.count) ++high;
  }
  if (result.records > 0) {
    const double sum = std::ldexp(static_cast<double>(high), 64) + static_cast<double>(low);
    result.average = sum / static_cast<double>(result.records);
  }
  return result;
}

std::string FormatAverage(double average) {
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, average, std::chars_format::fixed, 6);
  return std::string(text, result.ptr);
}

}  // namespace marvolen
