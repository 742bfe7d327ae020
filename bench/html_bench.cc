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
// scrolling. Beside the runs, the outputs' bytes alone written as a run
// writes them (beside their place, synced, renamed): what the disk costs
// whatever the computing. With --before-binary=PATH, the same runs of that
// marvolen-report alternate with them, and the outputs of the two are
// compared byte for byte.
// Usage: build/bench/html-bench [--runs=5] [--keep=DIR] [--before-binary=PATH] [--no-paint]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/process_run.h"
#include "bench/workloads.h"
#include "platform/replace_file.h"

namespace marvolen {
namespace bench {
namespace {

namespace fs = std::filesystem;

double Megabytes(const fs::path& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? 0 : static_cast<double>(size) / 1e6;
}

bool SameBytes(const fs::path& a, const fs::path& b) {
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  if (!x || !y) return false;
  return std::equal(std::istreambuf_iterator<char>(x), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(y), std::istreambuf_iterator<char>());
}

// Whether the marvolen-report at `before` writes the same three outputs as
// this one.
void CompareOutputs(const std::string& before, const std::string& dir) {
  const std::vector<std::string> args = {"--html=report.html", "--csv=report.csv"};
  const char* names[] = {"report.txt", "report.html", "report.csv"};
  if (!RunBinary(before, dir, args).ok) return;
  for (const char* name : names)
    fs::copy_file(dir + "/" + name, dir + "/" + name + ".before",
                  fs::copy_options::overwrite_existing);
  if (!RunBinary(MARVOLEN_REPORT_BINARY, dir, args).ok) return;
  std::string differ;
  for (const char* name : names) {
    if (!SameBytes(dir + "/" + name, dir + "/" + name + ".before"))
      differ += std::string(" ") + name;
    fs::remove(dir + "/" + name + ".before");
  }
  std::printf("  the outputs of the two binaries (text, HTML, CSV): %s\n",
              differ.empty() ? "the same bytes" : ("DIFFER:" + differ).c_str());
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The median time of writing `files` (each the bytes of a file of `dir`)
// as a run writes its outputs, `runs` times; 0 when a write failed.
double WritingSeconds(const std::string& dir, const std::vector<std::string>& files, int runs) {
  std::vector<std::string> bytes;
  for (const std::string& file : files) bytes.push_back(ReadAll(dir + "/" + file));
  std::vector<double> seconds;
  for (int r = 0; r < runs; ++r) {
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t k = 0; k < files.size(); ++k) {
      if (!ReplaceFileContents(dir + "/written-" + files[k], bytes[k])) return 0;
    }
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  for (const std::string& file : files) fs::remove(dir + "/written-" + file);
  return Median(seconds);
}

// Whole runs without and with both outputs (with and without the
// explanations of ambiguity), alternated, of this marvolen-report and of the
// one before; the sizes.
bool Measure(const std::string& title, const std::string& dir, int runs,
             const std::string& before) {
  const std::vector<std::string> both = {"--html=report.html", "--csv=report.csv"};
  std::vector<std::string> unexplained = both;
  unexplained.push_back("--no-explain");
  std::vector<Variant> variants = {{"this", MARVOLEN_REPORT_BINARY, {}},
                                   {"this", MARVOLEN_REPORT_BINARY, unexplained},
                                   {"this", MARVOLEN_REPORT_BINARY, both}};
  if (!before.empty()) {
    variants.push_back({"before", before, {}});
    variants.push_back({"before", before, unexplained});
    variants.push_back({"before", before, both});
  }
  std::printf("\n%s\n", title.c_str());
  if (!before.empty()) CompareOutputs(before, dir);
  const std::string loadBefore = LoadAverage();
  const std::vector<VariantFigures> figures = Alternate(variants, dir, runs);
  if (figures.empty()) {
    std::printf("  marvolen-report failed\n");
    return false;
  }
  const double report = Megabytes(dir + "/report.txt"), html = Megabytes(dir + "/report.html"),
               csv = Megabytes(dir + "/report.csv");
  std::printf(
      "  text report %.2f MB, HTML report %.2f MB = %.2fx the text report, "
      "CSV table %.2f MB = %.2fx\n",
      report, html, html / report, csv, csv / report);
  std::printf("  medians of %d runs, alternated (%s at the start, %s at the end):\n", runs,
              loadBefore.c_str(), LoadAverage().c_str());
  for (std::size_t v = 0; v + 2 < figures.size(); v += 3) {
    const VariantFigures &a = figures[v], &c = figures[v + 1], &b = figures[v + 2];
    std::printf(
        "  %-6s wall: %.3f s the text report alone, %.3f s with --html and --csv = %.2fx; "
        "%.3f s with --no-explain, so the explanations add %.2fx (%+.0f%%)\n",
        variants[v].label.c_str(), Median(a.seconds), Median(b.seconds),
        Median(b.seconds) / Median(a.seconds), Median(c.seconds),
        Median(b.seconds) / Median(c.seconds), 100 * (Median(b.seconds) / Median(c.seconds) - 1));
    std::printf(
        "  %-6s CPU (user and system): %.3f s alone, %.3f s with both = %.2fx; %.3f s with "
        "--no-explain = %.2fx; peak memory %.1f, %.1f and %.1f MB\n",
        variants[v].label.c_str(), Median(a.cpuSeconds), Median(b.cpuSeconds),
        Median(b.cpuSeconds) / Median(a.cpuSeconds), Median(c.cpuSeconds),
        Median(b.cpuSeconds) / Median(c.cpuSeconds), static_cast<double>(a.maxRssKb) / 1024,
        static_cast<double>(b.maxRssKb) / 1024, static_cast<double>(c.maxRssKb) / 1024);
  }
  const double text = WritingSeconds(dir, {"report.txt"}, runs);
  const double outputs = WritingSeconds(dir, {"report.html", "report.csv"}, runs);
  std::printf(
      "  the bytes alone, written, synced and renamed as a run writes them: the text report "
      "%.3f s, the page and the table %.3f s (%.2fx the run of the text report alone)\n",
      text, outputs, outputs / Median(figures[0].seconds));
  if (figures.size() == 6) {
    std::printf("  this against before, with --html and --csv: wall %.2fx, CPU %.2fx\n",
                Median(figures[2].seconds) / Median(figures[5].seconds),
                Median(figures[2].cpuSeconds) / Median(figures[5].cpuSeconds));
  }
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
    if (!WriteWorkload(c.files, dir) || !Measure(c.title, dir, runs, options->before)) return 1;
    if (options->paint) Paint(dir + "/report.html", runs);
  }
  if (!options->keep) fs::remove_all(base);
  return 0;
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::bench::Main(argc, argv); }
