// What the tag-set report and the sequences report share around their
// writing: the wait state, progress, the number of threads.
#ifndef MARVOLEN_ANALYSIS_REPORT_BUILDER_H_
#define MARVOLEN_ANALYSIS_REPORT_BUILDER_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/reports.h"
#include "datafiles/user_interface.h"
#include "grammar/parse_engine.h"

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
// The counts given must not decrease; the total may grow, once the report
// knows how much more there is to do.
class ProgressMeter {
 public:
  ProgressMeter(UserInterface& ui, std::int64_t total);
  void Done(std::int64_t done);
  // `more` units of work are added to the total.
  void Extend(std::int64_t more);

 private:
  UserInterface& ui_;
  std::int64_t total_;
  std::int64_t step_;
  std::int64_t reported_ = 0;
};

// The number of threads that analyse the permutations of a report.
int AnalysisThreads(const ReportOptions& options);

// The engines of a report with `options`: one per analysing thread and, with
// more than one thread, one more for the calling thread.
std::vector<std::unique_ptr<ParseEngine>> MakeReportEngines(const RuleSet& rules,
                                                            const ReportOptions& options);

std::vector<ParseEngine*> Pointers(const std::vector<std::unique_ptr<ParseEngine>>& engines);

// The message shown when memory runs out in a builder.
inline constexpr char kMemoryAllocationError[] = "Memory Allocation Error !";

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORT_BUILDER_H_
