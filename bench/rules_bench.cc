// rules-bench: what the checks of the data files and the rule effects cost.
//
// 1. --lint of workload (a): 40 tags, about 300 rule records, 500 sequence
//    lines: the checks alone (in this process, the files already read), and
//    the whole `marvolen-report --lint` (a child process).
// 2. Whole runs of workload (a) in long mode (512,000 permutations) and in
//    three-item mode, alternated without and with --rule-effects: wall time,
//    peak memory and their ratios.
// Usage: build/bench/rules-bench [--runs=5] [--keep=DIR]
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/process_run.h"
#include "bench/workloads.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "rules/lint.h"

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

bool MeasureEffects(const std::string& title, const std::string& dir, int runs) {
  std::vector<double> plain, effects;
  long plainRss = 0, effectsRss = 0;
  for (int run = 0; run < runs; ++run) {
    const ProcessRun a = RunBinary(MARVOLEN_REPORT_BINARY, dir, {});
    const ProcessRun b = RunBinary(MARVOLEN_REPORT_BINARY, dir, {"--rule-effects"});
    if (!a.ok || !b.ok) {
      std::printf("%s: marvolen-report failed\n", title.c_str());
      return false;
    }
    plain.push_back(a.seconds);
    effects.push_back(b.seconds);
    plainRss = std::max(plainRss, a.maxRssKb);
    effectsRss = std::max(effectsRss, b.maxRssKb);
  }
  std::printf("\n%s\n", title.c_str());
  std::printf(
      "  whole run (median of %d, alternated): %.3f s alone, %.3f s with --rule-effects = "
      "%.2fx;\n  peak memory %.1f MB and %.1f MB = %.2fx\n",
      runs, Median(plain), Median(effects), Median(effects) / Median(plain),
      static_cast<double>(plainRss) / 1024, static_cast<double>(effectsRss) / 1024,
      static_cast<double>(effectsRss) / static_cast<double>(std::max(plainRss, 1L)));
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
    if (!MeasureEffects(c.title, dir, options->runs)) return 1;
  }
  if (!options->keep) fs::remove_all(options->base);
  return 0;
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::bench::Main(argc, argv); }
