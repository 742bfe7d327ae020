// compare-bench: what --compare-rules costs beside a plain run of the same
// data, on workload (a) in long mode (512,000 permutations) and in
// three-item mode, with a baseline that lacks one rule of the current rules.
//
// Prints the wall time and peak memory of whole runs without and with
// --compare-rules (and --changes), alternated, and their ratios.
// Usage: build/bench/compare-bench [--runs=3] [--keep=DIR]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/process_run.h"
#include "bench/workloads.h"

namespace marvolen {
namespace bench {
namespace {

namespace fs = std::filesystem;

// The rules without their `n`-th rule record (a line that begins "&&").
std::string WithoutRule(const std::string& rules, int n) {
  std::size_t at = 0;
  for (int seen = 0; (at = rules.find("&&", at)) != std::string::npos; at += 2) {
    if ((at == 0 || rules[at - 1] == '\n') && seen++ == n) break;
  }
  if (at == std::string::npos) return rules;
  const std::size_t end = rules.find('\n', at);
  return rules.substr(0, at) + (end == std::string::npos ? "" : rules.substr(end + 1));
}

bool Measure(const std::string& title, const std::string& dir, int runs) {
  std::vector<double> plain, compared;
  long plainRss = 0, comparedRss = 0;
  for (int run = 0; run < runs; ++run) {
    const ProcessRun a = RunBinary(MARVOLEN_REPORT_BINARY, dir, {});
    const ProcessRun b = RunBinary(MARVOLEN_REPORT_BINARY, dir,
                                   {"--compare-rules=baseline.txt", "--changes=changes.csv"});
    if (!a.ok || !b.ok) {
      std::printf("%s: marvolen-report failed\n", title.c_str());
      return false;
    }
    plain.push_back(a.seconds);
    compared.push_back(b.seconds);
    plainRss = std::max(plainRss, a.maxRssKb);
    comparedRss = std::max(comparedRss, b.maxRssKb);
  }
  std::error_code ec;
  const auto changes = fs::file_size(dir + "/changes.csv", ec);
  std::printf("\n%s\n", title.c_str());
  std::printf(
      "  whole run (median of %d, alternated): %.3f s alone, %.3f s with "
      "--compare-rules = %.2fx;\n  peak memory %.1f MB and %.1f MB = %.2fx; "
      "table of changes %.2f MB\n",
      runs, Median(plain), Median(compared), Median(compared) / Median(plain),
      static_cast<double>(plainRss) / 1024, static_cast<double>(comparedRss) / 1024,
      static_cast<double>(comparedRss) / static_cast<double>(std::max(plainRss, 1L)),
      ec ? 0.0 : static_cast<double>(changes) / 1e6);
  return true;
}

int Main(int argc, char** argv) {
  const std::optional<BenchOptions> options = ParseBenchOptions(argc, argv, "compare-bench", 3);
  if (!options) return 64;
  const int runs = options->runs;
  const std::string& base = options->base;
  for (const RealisticCase& c : RealisticCases()) {
    const std::string dir = base + "/" + c.name;
    fs::create_directories(dir);
    WorkloadFiles files = c.files;
    if (!WriteWorkload(files, dir)) return 1;
    // The baseline lacks the tenth rule record of the current rules.
    files.rules = WithoutRule(c.files.rules, 9);
    if (files.rules == c.files.rules) return 1;
    std::FILE* out = std::fopen((dir + "/baseline.txt").c_str(), "wb");
    if (out == nullptr) return 1;
    const bool written =
        std::fwrite(files.rules.data(), 1, files.rules.size(), out) == files.rules.size();
    if (std::fclose(out) != 0 || !written || !Measure(c.title, dir, runs)) return 1;
  }
  if (!options->keep) fs::remove_all(base);
  return 0;
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::bench::Main(argc, argv); }
