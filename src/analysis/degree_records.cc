// Recording, ranking and averaging ambiguity degrees.
#include "analysis/degree_records.h"

#include <algorithm>
#include <charconv>

namespace marvolen {

void RecordDegree(DegreeLists& lists, PermutationClass cls, const Permutation& permutation,
                  int count) {
  std::vector<DegreeRecord>* list = nullptr;
  if (cls == PermutationClass::Overt) list = &lists.overtRecords;
  if (cls == PermutationClass::Covert) list = &lists.covertRecords;
  if (list == nullptr) return;
  DegreeRecord record;
  const int items = std::clamp(permutation.currentItemCount, 0, kMaxItems);
  for (int k = 0; k < items; ++k) record.items[k] = permutation.items[k];
  record.count = count;
  list->push_back(std::move(record));
}

void RankDegreeRecords(std::vector<DegreeRecord>& records) {
  std::stable_sort(records.begin(), records.end(),
                   [](const DegreeRecord& a, const DegreeRecord& b) { return a.count > b.count; });
}

DegreeAverage AverageDegree(const std::vector<DegreeRecord>& records) {
  DegreeAverage result;
  result.records = static_cast<int>(records.size());
  for (const DegreeRecord& record : records) result.sum += record.count;
  if (result.records > 0) {
    result.average = static_cast<double>(result.sum) / static_cast<double>(result.records);
  }
  return result;
}

std::string FormatAverage(double average) {
  char text[400];
  const auto result =
      std::to_chars(text, text + sizeof text, average, std::chars_format::fixed, 6);
  return std::string(text, result.ptr);
}

}  // namespace marvolen
