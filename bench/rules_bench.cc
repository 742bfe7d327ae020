// rules-bench: what the checks of the data files and the rule effects cost.
//
// 1. --lint of workload (a): 40 tags, about 300 rule records, 500 sequence
//    lines: the checks alone (in this process, the files already read), and
//    the whole `marvolen-report --lint` (a child process).
// 2. Whole runs of workload (a) in long mode (512,000 permutations) and in
//    three-item mode, alternated without and with --rule-effects, on every
//    thread and on one: wall time, CPU time, peak memory and their ratios;
//    with --before-binary=PATH the same runs of that marvolen-report
//    alternate with them.
// Usage: build/bench/rules-bench [--runs=5] [--keep=DIR] [--before-binary=PATH]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analysis/reports.h"
#include "bench/process_run.h"
#include "bench/workloads.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "platform/text_stream.h"
#include "rules/lint.h"
#include "rules/rule_effects.h"

namespace marvolen {
namespace bench {
namespace {

namespace fs = std::filesystem;

bool MeasureLint(const std::string& dir, int runs) {
  const WorkloadFiles files = RealisticWorkload(false);
  TagSet tags;
  SequenceList sequences;
  RuleSet rules;
  RecordingUserInterface ui;
  ReadTagSet(tags, *InputStream::FromBytes(files.tags), ui);
  ReadSequences(sequences, *InputStream::FromBytes(files.sequences), ui);
  ReadRuleSet(rules, *InputStream::FromBytes(files.rules), ui);
  std::vector<double> checks;
  std::size_t findings = 0;
  for (int run = 0; run < 10 * runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    findings = LintDataFiles(tags, rules, sequences, true).size();
    checks.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::vector<double> whole;
  for (int run = 0; run < runs; ++run) {
    const ProcessRun lint = RunBinary(MARVOLEN_REPORT_BINARY, dir, {"--lint"});
    if (!lint.ok) {
      std::printf("marvolen-report --lint failed\n");
      return false;
    }
    whole.push_back(lint.seconds);
  }
  std::printf(
      "--lint of %d tags, %d rule records, %d sequence lines (%zu findings):\n"
      "  the checks %.3f ms (median of %d), the whole marvolen-report --lint %.1f ms "
      "(median of %d)\n",
      tags.count(), rules.count(), sequences.count(), findings, Median(checks) * 1000, 10 * runs,
      Median(whole) * 1000, runs);
  return true;
}

// A report's permutations and parses as the rule effects are given them.
class Recorded : public ReportObserver {
 public:
  struct Pattern {
    ListedPermutation info;
    std::size_t firstParse;
  };
  void BeginReport(ReportKind kind, std::int64_t) override { kind_ = kind; }
  void BeginPermutation(const ListedPermutation& p) override {
    patterns_.push_back({p, parses_.size()});
    patterns_.back().info.permutation = nullptr;
    patterns_.back().info.points = nullptr;
  }
  void Parse(std::string_view bracketed, std::string_view root) override {
    parses_.emplace_back(bracketed, root);
  }
  void EndReport(const ReportSummary& summary) override {
    counters_ = summary.counters;
    covert_ = summary.covertRecords;
    overt_ = summary.overtRecords;
  }
  bool InReportOrder() const override { return false; }

  // Hand everything to `to`.
  void Replay(ReportObserver& to) const {
    to.BeginReport(kind_, 0);
    for (std::size_t p = 0; p < patterns_.size(); ++p) {
      to.BeginPermutation(patterns_[p].info);
      const std::size_t end =
          p + 1 < patterns_.size() ? patterns_[p + 1].firstParse : parses_.size();
      for (std::size_t k = patterns_[p].firstParse; k < end; ++k) {
        to.Parse(parses_[k].first, parses_[k].second);
      }
    }
    ReportSummary summary;
    summary.kind = kind_;
    summary.counters = counters_;
    summary.covertRecords = covert_;
    summary.overtRecords = overt_;
    to.EndReport(summary);
  }
  std::size_t parses() const { return parses_.size(); }

 private:
  ReportKind kind_ = ReportKind::kTagSet;
  std::vector<Pattern> patterns_;
  std::vector<std::pair<std::string, std::string>> parses_;
  ClassCounters counters_;
  std::vector<DegreeRecord> covert_, overt_;
};

// What the rule effects cost in this process, apart from the search: the
// fixed part (made for the rule set, the table at the end) and the part
// that grows with the parses (reading each back into rules), on one thread,
// from the parses of workload (a)'s tag-set report recorded once.
void MeasureEffectsInProcess(bool longMode, int runs) {
  const WorkloadFiles files = RealisticWorkload(longMode);
  TagSet tags;
  RuleSet rules;
  RecordingUserInterface ui;
  ReadTagSet(tags, *InputStream::FromBytes(files.tags), ui);
  ReadRuleSet(rules, *InputStream::FromBytes(files.rules), ui);
  Recorded recorded;
  ReportOptions options;
  options.observers.push_back(&recorded);
  BuildTagSetReport(!longMode, tags, rules, *OutputStream::Discarding(), ui, options);
  using Clock = std::chrono::steady_clock;
  auto since = [](Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  std::vector<double> fixed, perParse;
  for (int run = 0; run < 10 * runs; ++run) {
    auto start = Clock::now();
    auto effects = std::make_unique<RuleEffects>(rules);
    double made = since(start);
    start = Clock::now();
    recorded.Replay(*effects);
    perParse.push_back(since(start));
    start = Clock::now();
    const std::string table = FormatRuleEffects(rules, effects->Effects(), "rules.txt");
    effects.reset();
    fixed.push_back(made + since(start));
  }
  std::printf(
      "  in this process, one thread, the %s tag-set report's %zu parses (medians of %d): "
      "made and the table %.2f ms, reading the parses %.2f ms = %.0f ns a parse\n",
      longMode ? "long-mode" : "three-item", recorded.parses(), 10 * runs, Median(fixed) * 1000,
      Median(perParse) * 1000, Median(perParse) * 1e9 / static_cast<double>(recorded.parses()));
}

// Whole runs alternated without and with --rule-effects, on every thread
// and on one (where the CPU time is the run's own), of this marvolen-report
// and of the one before.
bool MeasureEffects(const std::string& title, const std::string& dir, int runs,
                    const std::string& before) {
  std::vector<Variant> variants;
  for (const std::string& binary : {std::string(MARVOLEN_REPORT_BINARY), before}) {
    if (binary.empty()) continue;
    const std::string label = binary == before ? "before" : "this";
    variants.push_back({label, binary, {}});
    variants.push_back({label, binary, {"--rule-effects"}});
    variants.push_back({label + ", one thread", binary, {"--threads=1"}});
    variants.push_back({label + ", one thread", binary, {"--threads=1", "--rule-effects"}});
  }
  const std::string loadBefore = LoadAverage();
  const std::vector<VariantFigures> figures = Alternate(variants, dir, runs);
  std::printf("\n%s\n", title.c_str());
  if (figures.empty()) {
    std::printf("  marvolen-report failed\n");
    return false;
  }
  std::printf("  medians of %d runs, alternated (%s at the start, %s at the end):\n", runs,
              loadBefore.c_str(), LoadAverage().c_str());
  for (std::size_t v = 0; v + 1 < figures.size(); v += 2) {
    const VariantFigures &a = figures[v], &b = figures[v + 1];
    std::printf(
        "  %-18s wall %.3f s alone, %.3f s with --rule-effects = %.2fx; CPU %.3f s, %.3f s = "
        "%.2fx; peak memory %.1f MB, %.1f MB\n",
        variants[v].label.c_str(), Median(a.seconds), Median(b.seconds),
        Median(b.seconds) / Median(a.seconds), Median(a.cpuSeconds), Median(b.cpuSeconds),
        Median(b.cpuSeconds) / Median(a.cpuSeconds), static_cast<double>(a.maxRssKb) / 1024,
        static_cast<double>(b.maxRssKb) / 1024);
  }
  return true;
}

int Main(int argc, char** argv) {
  const std::optional<BenchOptions> options = ParseBenchOptions(argc, argv, "rules-bench", 5);
  if (!options) return 64;
  bool first = true;
  for (const RealisticCase& c : RealisticCases()) {
    const std::string dir = options->base + "/" + c.name;
    fs::create_directories(dir);
    if (!WriteWorkload(c.files, dir)) return 1;
    if (first && !MeasureLint(dir, options->runs)) return 1;
    first = false;
    if (!MeasureEffects(c.title, dir, options->runs, options->before)) return 1;
  }
  // Last: the parses recorded in this process would count in the peak
  // memory of the children forked after them.
  std::printf("\nthe rule effects alone\n");
  for (bool longMode : {true, false}) MeasureEffectsInProcess(longMode, options->runs);
  if (!options->keep) fs::remove_all(options->base);
  return 0;
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::bench::Main(argc, argv); }
