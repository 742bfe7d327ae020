// compare-bench: what --compare-rules and --baseline cost beside a plain run of the same
// data, on workload (a) in long mode (512,000 permutations) and in
// three-item mode, with a baseline that lacks one rule of the current rules.
//
// Prints the wall time and peak memory of whole runs without and with
// --compare-rules, and with --baseline of the table a run of the baseline
// rules wrote (each with --changes), alternated, and their ratios.
// Usage: build/bench/compare-bench [--runs=3] [--keep=DIR]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
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

// One way of running beside the plain run.
struct Variant {
  const char* name;
  std::vector<std::string> args;
};

bool Measure(const std::string& title, const std::string& dir, int runs) {
  // The table of the baseline's run, for --baseline: written by a run of
  // the baseline rules, which then become the current ones again.
  const std::string rules = dir + "/rules.txt", saved = dir + "/rules.current";
  std::error_code ec;
  fs::rename(rules, saved, ec);
  if (!ec) fs::copy_file(dir + "/baseline.txt", rules, ec);
  const bool tableWritten =
      !ec && RunBinary(MARVOLEN_REPORT_BINARY, dir, {"--csv=baseline.csv"}).ok;
  fs::remove(rules, ec);
  fs::rename(saved, rules, ec);
  if (ec || !tableWritten) {
    std::printf("%s: the baseline table could not be made\n", title.c_str());
    return false;
  }
  const Variant variants[] = {
      {"--compare-rules", {"--compare-rules=baseline.txt", "--changes=changes.csv"}},
      {"--baseline", {"--baseline=baseline.csv", "--changes=changes.csv"}},
  };
  std::vector<double> plain;
  std::vector<std::vector<double>> timed(std::size(variants));
  long plainRss = 0;
  std::vector<long> rss(std::size(variants), 0);
  for (int run = 0; run < runs; ++run) {
    const ProcessRun a = RunBinary(MARVOLEN_REPORT_BINARY, dir, {});
    if (!a.ok) {
      std::printf("%s: marvolen-report failed\n", title.c_str());
      return false;
    }
    plain.push_back(a.seconds);
    plainRss = std::max(plainRss, a.maxRssKb);
    for (std::size_t v = 0; v < std::size(variants); ++v) {
      const ProcessRun b = RunBinary(MARVOLEN_REPORT_BINARY, dir, variants[v].args);
      if (!b.ok) {
        std::printf("%s: marvolen-report %s failed\n", title.c_str(), variants[v].name);
        return false;
      }
      timed[v].push_back(b.seconds);
      rss[v] = std::max(rss[v], b.maxRssKb);
    }
  }
  const auto changes = fs::file_size(dir + "/changes.csv", ec);
  const auto table = fs::file_size(dir + "/baseline.csv", ec);
  std::printf("\n%s\n", title.c_str());
  std::printf("  whole run alone (median of %d, alternated): %.3f s, peak memory %.1f MB\n", runs,
              Median(plain), static_cast<double>(plainRss) / 1024);
  for (std::size_t v = 0; v < std::size(variants); ++v) {
    std::printf("  with %-16s %.3f s = %.2fx; peak memory %.1f MB = %.2fx\n", variants[v].name,
                Median(timed[v]), Median(timed[v]) / Median(plain),
                static_cast<double>(rss[v]) / 1024,
                static_cast<double>(rss[v]) / static_cast<double>(std::max(plainRss, 1L)));
  }
  std::printf("  table of changes %.2f MB; baseline table %.2f MB\n",
              ec ? 0.0 : static_cast<double>(changes) / 1e6,
              ec ? 0.0 : static_cast<double>(table) / 1e6);
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
