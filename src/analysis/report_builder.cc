// Progress, threads and engines of a report.
#include "analysis/report_builder.h"

#include <algorithm>
#include <thread>

namespace marvolen {

ProgressMeter::ProgressMeter(UserInterface& ui, std::int64_t total)
    : ui_(ui), total_(total), step_(std::max<std::int64_t>(1, total / 200)) {}

void ProgressMeter::Done(std::int64_t done) {
  if (done - reported_ >= step_ || (done == total_ && reported_ != total_)) {
    reported_ = done;
    ui_.Progress(done, total_);
  }
}

void ProgressMeter::Extend(std::int64_t more) {
  if (more <= 0) return;
  total_ += more;
  step_ = std::max<std::int64_t>(1, total_ / 200);
}

int AnalysisThreads(const ReportOptions& options) {
  if (options.threads > 0) return options.threads;
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::vector<std::unique_ptr<ParseEngine>> MakeReportEngines(const RuleSet& rules,
                                                            const ReportOptions& options) {
  const int threads = AnalysisThreads(options);
  return MakeParseEngines(options.engine, rules, threads > 1 ? threads + 1 : 1, options.stop);
}

std::vector<ParseEngine*> Pointers(const std::vector<std::unique_ptr<ParseEngine>>& engines) {
  std::vector<ParseEngine*> pointers;
  for (const auto& engine : engines) pointers.push_back(engine.get());
  return pointers;
}

}  // namespace marvolen
