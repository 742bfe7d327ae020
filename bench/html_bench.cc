// html-bench: what the HTML report and the CSV table cost and how the page
// does, on workload (a) in long mode (512,000 permutations) and on the
// examples, side by side with the text report of the same run.
//
// Prints the sizes of the text report, the HTML report and the CSV table and
// the HTML report's size as a share of the text report's; the wall time and
// peak memory of whole runs without and with --html and --csv, alternated,
// and their ratio; the same with --no-explain beside it (what the
// explanations of ambiguity cost); and, when Chromium with chromedriver and Selenium is
// there, the page in headless Chromium (bench/html_paint.py): first
// contentful paint, the moment the summary is shown, and frame times while
// scrolling. Usage: build/bench/html-bench [--runs=5] [--keep=DIR]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/process_run.h"
#include "bench/workloads.h"

namespace marvolen {
namespace bench {
namespace {

namespace fs = std::filesystem;

double Megabytes(const fs::path& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? 0 : static_cast<double>(size) / 1e6;
}

// Whole runs without and with both outputs (with and without the
// explanations of ambiguity), alternated; the sizes.
bool Measure(const std::string& title, const std::string& dir, int runs) {
  std::vector<double> plain, both, unexplained;
  long plainRss = 0, bothRss = 0, unexplainedRss = 0;
  for (int run = 0; run < runs; ++run) {
    const ProcessRun a = RunBinary(MARVOLEN_REPORT_BINARY, dir, {});
    const ProcessRun c = RunBinary(MARVOLEN_REPORT_BINARY, dir,
                                   {"--html=report.html", "--csv=report.csv", "--no-explain"});
    const ProcessRun b =
        RunBinary(MARVOLEN_REPORT_BINARY, dir, {"--html=report.html", "--csv=report.csv"});
    if (!a.ok || !b.ok || !c.ok) {
      std::printf("%s: marvolen-report failed\n", title.c_str());
      return false;
    }
    plain.push_back(a.seconds);
    both.push_back(b.seconds);
    unexplained.push_back(c.seconds);
    plainRss = std::max(plainRss, a.maxRssKb);
    bothRss = std::max(bothRss, b.maxRssKb);
    unexplainedRss = std::max(unexplainedRss, c.maxRssKb);
  }
  const double report = Megabytes(dir + "/report.txt"), html = Megabytes(dir + "/report.html"),
               csv = Megabytes(dir + "/report.csv");
  std::printf("\n%s\n", title.c_str());
  std::printf(
      "  text report %.2f MB, HTML report %.2f MB = %.2fx the text report, "
      "CSV table %.2f MB = %.2fx\n",
      report, html, html / report, csv, csv / report);
  std::printf(
      "  whole run (median of %d, alternated): %.3f s alone, %.3f s with --html and "
      "--csv = %.2fx; peak memory %.1f MB and %.1f MB\n",
      runs, Median(plain), Median(both), Median(both) / Median(plain),
      static_cast<double>(plainRss) / 1024, static_cast<double>(bothRss) / 1024);
  std::printf(
      "  the explanations of ambiguity (divergence points, sources): %.3f s with --html and "
      "--csv --no-explain, %.3f s with them = %.2fx (%+.0f%%); peak memory %.1f MB and "
      "%.1f MB\n",
      Median(unexplained), Median(both), Median(both) / Median(unexplained),
      100 * (Median(both) / Median(unexplained) - 1), static_cast<double>(unexplainedRss) / 1024,
      static_cast<double>(bothRss) / 1024);
  return true;
}

void Paint(const std::string& page, int runs) {
  // Debian's python3-selenium belongs to the system's Python.
  const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  const std::string command = python + " " + MARVOLEN_BENCH_DIR + "/html_paint.py '" + page + "' " +
                              std::to_string(runs) + " 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[512];
  while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  const int status = pipe != nullptr ? pclose(pipe) : -1;
  if (status != 0) {
    std::printf("  the page in Chromium: not measured (%s)\n",
                out.empty() ? "python3 failed"
                            : out.substr(out.rfind('\n', out.size() - 2) + 1).c_str());
    return;
  }
  double fcp = 0, ready = 0, load = 0, longest = 0;
  int slow = 0, frames = 0;
  std::sscanf(out.c_str(), "fcp=%lf ready=%lf load=%lf longest-frame=%lf slow-frames=%d/%d", &fcp,
              &ready, &load, &longest, &slow, &frames);
  std::printf(
      "  the page in headless Chromium (median of %d): first contentful paint %.2f s, "
      "summary and open sections shown %.2f s, loaded %.2f s;\n"
      "  scrolling %d frames: longest %.0f ms, %d over 50 ms\n",
      runs, fcp / 1000, ready / 1000, load / 1000, frames, longest, slow);
}

int Main(int argc, char** argv) {
  const std::optional<BenchOptions> options = ParseBenchOptions(argc, argv, "html-bench", 5);
  if (!options) return 64;
  const int runs = options->runs;
  const std::string& base = options->base;
  for (const RealisticCase& c : RealisticCases()) {
    const std::string dir = base + "/" + c.name;
    fs::create_directories(dir);
    if (!WriteWorkload(c.files, dir) || !Measure(c.title, dir, runs)) return 1;
    Paint(dir + "/report.html", runs);
  }
  if (!options->keep) fs::remove_all(base);
  return 0;
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::bench::Main(argc, argv); }
