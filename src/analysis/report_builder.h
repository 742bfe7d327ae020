// What the tag-set report and the sequences report share: the wait state,
// progress, the entries of a permutation by its judgement, the "none" texts,
// the degree statistics and the writing of the sections.
#ifndef MARVOLEN_ANALYSIS_REPORT_BUILDER_H_
#define MARVOLEN_ANALYSIS_REPORT_BUILDER_H_

#include <cstdint>
#include <functional>
#include <array>
#include <string>
#include <vector>

#include "analysis/classification.h"
#include "analysis/degree_records.h"
#include "analysis/report_sections.h"
#include "analysis/reports.h"
#include "analysis/text_pattern.h"
#include "grammar/parse_engine.h"
#include "platform/text_stream.h"
#include "platform/user_interface.h"

namespace marvolen {

// The busy indication, on for the lifetime of the guard.
class BusyGuard {
 public:
  explicit BusyGuard(UserInterface& ui) : ui_(ui) { ui_.SetBusy(true); }
  ~BusyGuard() { ui_.SetBusy(false); }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  UserInterface& ui_;
};

// Reports progress about two hundred times over a report, and at its end.
// The counts given must not decrease.
class ProgressMeter {
 public:
  ProgressMeter(UserInterface& ui, std::int64_t total);
  void Done(std::int64_t done);

 private:
  UserInterface& ui_;
  std::int64_t total_;
  std::int64_t step_;
  std::int64_t reported_ = 0;
};

// The number of threads that analyse the permutations of a report.
int AnalysisThreads(const ReportOptions& options);

// The headings of the seven sections that a builder replaces when it starts
// (all but the summary), GBK.
struct SectionHeadings {
  std::string all, cannotCombine, combinable, oneWay, overt, covert, degree;
};
void ReplaceWithHeadings(const SectionHeadings& headings, ReportSections& sections);

// The entries of one permutation in the category sections, by its judgement:
// `cannotCombineLine` to the cannot-combine section, or `itemLine` to the
// combinable section and then to its class's section, with the parse (one
// way) or the numbered parses (overt, covert) on the lines after it.
void AppendCategoryEntries(PermutationClass cls, const std::string& itemLine,
                           const std::string& cannotCombineLine, const ParseList& parses,
                           ReportSections& sections);

// The part of those entries in the class's own section (one way, overt or
// covert): `itemLine`, then the parse or the numbered parses.
void AppendParseEntry(PermutationClass cls, const std::string& itemLine, const ParseList& parses,
                      std::string& out);

// The section of the one-way, overt or covert permutations; null for
// CannotCombine.
std::string* ParseSectionFor(PermutationClass cls, ReportSections& sections);

// The "none" texts of the category sections whose counter is 0.
void AppendNoneTexts(const ClassCounters& counters, ReportSections& sections);

// The seven counts of a summary, in the order of its lines: analysed, cannot
// combine, combinable, one way, two or more ways, overt, covert.
std::array<int, 7> SummaryValues(const ClassCounters& counters);

// One list of the degree statistics: `title`, the ranked records with their
// lines (made by `recordLine` from the 1-based rank and the record), then the
// average or, without records, `noneText`. The list is emptied.
void AppendDegreeList(const std::string& title, std::vector<DegreeRecord>& records,
                      const std::function<void(std::string&, int, const DegreeRecord&)>& recordLine,
                      const TextPattern& averageLine, const std::string& noneText,
                      std::string& out);

// Write the sections in the order of a report: summary, all, cannot combine,
// combinable, one way, overt, covert, degree.
void WriteReportSections(const ReportSections& sections, OutputStream& report);

// The message shown when memory runs out in a builder.
inline constexpr char kMemoryAllocationError[] = "Memory Allocation Error !";

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORT_BUILDER_H_
