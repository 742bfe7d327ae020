// marvolen-bench: times the literal and the chart search side by side, and
// whole runs of marvolen-report, on the workloads of bench/workloads.h.
//
// For every workload it prints
//  - the search alone, one thread, in this process: the literal search and
//    the chart search on the same permutations (a sample when searching them
//    all literally would take too long; the output says so), their ratio,
//    and whether the two lists agreed;
//  - the whole run, marvolen-report in a child process with its defaults (the
//    chart search on every core): wall time, permutations per second, peak
//    memory (the child's ru_maxrss) and the report's size; and the ratio of
//    the literal search's time for all permutations (measured, or estimated
//    from the sample) to that wall time. The whole runs come first, while
//    this process is still small, so that a child's peak memory is its own.
// Then, for workload (a) in long mode and for the cases whose reports are
// large or whose parses explode (--workload=memory), whole runs of this
// marvolen-report and, side by side, of the one from before reports were
// written section by section (--before-binary=PATH; build it from commit
// cd7250f as bench/README.md shows): wall time, peak memory, report size,
// and whether the two reports are the same bytes. These come first, while
// this process is small, so that a child's peak memory is its own.
// Times are medians over --runs runs (the literal search's over half as
// many, rounded up). Usage: build/bench/marvolen-bench [--runs=5]
// [--workload=a|b|memory|all] [--before-binary=PATH] [--big].

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench/process_run.h"
#include "bench/workloads.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "datafiles/user_interface.h"
#include "grammar/chart_search.h"
#include "grammar/permutation.h"
#include "grammar/reduction_search.h"
#include "platform/text_stream.h"

namespace marvolen {
namespace bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Settings {
  int runs = 5;
  // Search the literal engine on every permutation only when that is
  // expected to take at most this long; otherwise on a sample.
  double literalBudgetSeconds = 60;
  std::string workload = "all";  // "a", "b" or "all"
  std::string reportBinary = MARVOLEN_REPORT_BINARY;
  std::string keepDir;  // where to leave the workloads' files, if set
  // A marvolen-report that holds the whole report in memory (built from
  // the commit before reports were written section by section), to
  // measure side by side with this one.
  std::string beforeBinary;
  bool big = false;  // also the case of a 3.8 GB report
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The data of one workload as the run reads it.
struct Data {
  TagSet tags;
  RuleSet rules;
  SequenceList sequences;
};

bool Load(const std::string& dir, Data& data) {
  RecordingUserInterface ui;
  auto tags = InputStream::Open(dir + "/tags.txt");
  auto rules = InputStream::Open(dir + "/rules.txt");
  auto sequences = InputStream::Open(dir + "/sequences.txt");
  if (!tags || !rules || !sequences) return false;
  ReadTagSet(data.tags, *tags, ui);
  ReadSequences(data.sequences, *sequences, ui);
  ReadRuleSet(data.rules, *rules, ui);
  for (const std::string& message : ui.messages) {
    std::fprintf(stderr, "marvolen-bench: reading %s: %s\n", dir.c_str(), message.c_str());
  }
  return ui.messages.empty();
}

// The tag-set report's permutations, in report order.
std::vector<Permutation> TagSetPermutations(const TagSet& tags, bool longMode) {
  std::vector<Permutation> out;
  const int n = tags.count();
  for (int code = 0; code < (longMode ? 8 : 1); ++code) {
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        for (int k = 0; k < n; ++k) {
          Permutation p;
          if (longMode) {
            BuildPatternPermutation(code, i, j, k, tags.tags, p);
          } else {
            BuildThreeItemPermutation(i, j, k, tags.tags, p);
          }
          out.push_back(std::move(p));
        }
      }
    }
  }
  return out;
}

std::vector<Permutation> FiveItemLines(const SequenceList& sequences) {
  std::vector<Permutation> out;
  for (const std::string& line : sequences.lines) {
    Permutation p;
    int count = 0;
    SplitSequenceLine(count, line, p);
    p.currentItemCount = count;
    if (count == 5) out.push_back(std::move(p));
  }
  return out;
}

// Every `step`-th permutation, from the first.
std::vector<const Permutation*> Sample(const std::vector<Permutation>& all, std::size_t step) {
  std::vector<const Permutation*> out;
  for (std::size_t k = 0; k < all.size(); k += step) out.push_back(&all[k]);
  return out;
}

struct SearchTime {
  double seconds = 0;   // median over the runs
  long parses = 0;      // parses found over the permutations
  long mostParses = 0;  // of one permutation
};

SearchTime TimeSearch(ParseEngine& engine, const std::vector<const Permutation*>& permutations,
                      int runs) {
  std::vector<double> times;
  SearchTime result;
  for (int run = 0; run < runs; ++run) {
    long parses = 0, most = 0;
    const auto start = Clock::now();
    for (const Permutation* p : permutations) {
      const long found = static_cast<long>(engine.FindDistinctParses(*p).size());
      parses += found;
      most = std::max(most, found);
    }
    times.push_back(Seconds(Clock::now() - start));
    result.parses = parses;
    result.mostParses = most;
  }
  result.seconds = Median(times);
  return result;
}

// The permutations on which the two searches give different lists.
int Disagreements(const std::vector<const Permutation*>& permutations, const RuleSet& rules) {
  LiteralParseEngine literal(rules);
  ChartParseEngine chart(rules);
  int differ = 0;
  for (const Permutation* p : permutations) {
    const ParseList a = literal.FindDistinctParses(*p);
    const ParseList b = chart.FindDistinctParses(*p);
    bool same = a.size() == b.size();
    for (std::size_t k = 0; same && k < a.size(); ++k) same = TreesEqual(a[k].get(), b[k].get());
    if (!same) ++differ;
  }
  return differ;
}

ProcessRun RunReport(const Settings& settings, const std::string& dir,
                     const std::vector<std::string>& args) {
  return RunBinary(settings.reportBinary, dir, args);
}

// The system's load averages, which tell how busy the machine was.
void PrintLoad(const char* title) {
  std::FILE* f = std::fopen("/proc/loadavg", "r");
  if (f == nullptr) return;
  char line[128] = {};
  if (std::fgets(line, sizeof line, f) != nullptr) std::printf("%s: %s", title, line);
  std::fclose(f);
}

std::string Human(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
  return text;
}

// One workload as measured: where its files are, what its run searches.
struct Workload {
  std::string title;
  std::string dir;
  bool longMode = false;
  bool fiveItemLines = false;  // search its five-item lines, not its permutations
  const char* unit = "permutations";
  // The whole runs with the defaults.
  std::vector<double> walls, peaks;
  double reportBytes = 0;
  bool runFailed = false;
};

// The whole run: marvolen-report with its defaults (the chart search on
// every core). Done before this process holds any workload's data, so that
// the child's peak memory is its own.
void MeasureRuns(const Settings& settings, Workload& w) {
  for (int run = 0; run < settings.runs; ++run) {
    const ProcessRun r = RunReport(settings, w.dir, {});
    if (!r.ok) {
      w.runFailed = true;
      return;
    }
    w.walls.push_back(r.seconds);
    w.peaks.push_back(static_cast<double>(r.maxRssKb) * 1024);
  }
  w.reportBytes = static_cast<double>(fs::file_size(w.dir + "/report.txt"));
}

// The search alone, one thread, both engines on the same permutations; then
// the figures of the whole run against the literal search.
void MeasureSearch(const Settings& settings, const Workload& w) {
  std::printf("\n== %s\n", w.title.c_str());
  Data data;
  if (!Load(w.dir, data)) return;
  const std::vector<Permutation> permutations =
      w.fiveItemLines ? FiveItemLines(data.sequences) : TagSetPermutations(data.tags, w.longMode);
  const std::int64_t tagSetPermutations = static_cast<std::int64_t>(data.tags.count()) *
                                          data.tags.count() * data.tags.count() *
                                          (w.longMode ? 8 : 1);
  const std::int64_t runPermutations = tagSetPermutations + data.sequences.count();
  std::printf("   %d tags, %d rule records, %d sequence lines; %zu %s searched\n",
              data.tags.count(), data.rules.count(), data.sequences.count(), permutations.size(),
              w.unit);

  // A small probe of the literal search chooses the sample.
  const auto all = Sample(permutations, 1);
  LiteralParseEngine literal(data.rules);
  ChartParseEngine chart(data.rules);
  // Long enough not to be ruled by a moment's noise on a busy machine.
  const auto probeSample =
      Sample(permutations, std::max<std::size_t>(1, permutations.size() / 5000));
  const SearchTime probe = TimeSearch(literal, probeSample, 1);
  const double literalAll = probe.seconds / static_cast<double>(probeSample.size()) *
                            static_cast<double>(permutations.size());
  const int literalRuns = std::max(1, (settings.runs + 1) / 2);
  std::size_t step = 1;
  if (literalAll * literalRuns > settings.literalBudgetSeconds) {
    // A sample that takes about a quarter of the budget.
    step = std::max<std::size_t>(2, static_cast<std::size_t>(literalAll * literalRuns /
                                                             (settings.literalBudgetSeconds / 4)));
  }
  const auto sample = Sample(permutations, step);
  const SearchTime literalTime = TimeSearch(literal, sample, literalRuns);
  const SearchTime chartSample = TimeSearch(chart, sample, settings.runs);
  const SearchTime chartAll = TimeSearch(chart, all, settings.runs);
  const int differ = Disagreements(sample, data.rules);

  const double literalPer = literalTime.seconds / static_cast<double>(sample.size());
  const double chartPer = chartSample.seconds / static_cast<double>(sample.size());
  if (step == 1) {
    std::printf("   search alone, one thread, side by side on all %zu %s:\n", sample.size(),
                w.unit);
  } else {
    std::printf(
        "   search alone, one thread, side by side, SAMPLED: every %zu-th of the %s\n"
        "   (%zu of %zu), as the literal search of all would take about %.0f s:\n",
        step, w.unit, sample.size(), permutations.size(),
        literalPer * static_cast<double>(permutations.size()));
  }
  std::printf("     literal %12.2f us each  (%.3f s, median of %d)\n", literalPer * 1e6,
              literalTime.seconds, literalRuns);
  std::printf("     chart   %12.2f us each  (%.3f s, median of %d)\n", chartPer * 1e6,
              chartSample.seconds, settings.runs);
  std::printf("     ratio   %12.1f x\n", literalPer / chartPer);
  if (step > 1) {
    // The chart search keeps what it built over equal first items, which a
    // sample's permutations share less often than the report's do.
    std::printf("     ratio   %12.1f x against the chart search's time on all of them\n",
                literalPer / (chartAll.seconds / static_cast<double>(permutations.size())));
  }
  std::printf(
      "     parses found %ld (literal) %ld (chart), %.1f per %s, at most %ld;\n"
      "     lists that differ: %d\n",
      literalTime.parses, chartSample.parses,
      static_cast<double>(chartSample.parses) / static_cast<double>(sample.size()),
      w.fiveItemLines ? "line" : "permutation", chartSample.mostParses, differ);
  std::printf("     chart on all %zu %s: %.3f s (%.2f us each)\n", permutations.size(), w.unit,
              chartAll.seconds, chartAll.seconds / static_cast<double>(permutations.size()) * 1e6);

  if (w.runFailed) {
    std::printf("   whole run: marvolen-report failed in %s\n", w.dir.c_str());
    return;
  }
  const double wall = Median(w.walls);
  const double peak = Median(w.peaks);
  std::printf(
      "   whole run, marvolen-report with its defaults (chart search, every core),\n"
      "   median of %d:\n",
      settings.runs);
  std::printf("     wall %.3f s (runs:", wall);
  for (double t : w.walls) std::printf(" %.3f", t);
  std::printf(")\n     %.0f permutations/s (%lld in the run: %lld of the tag set, %d lines)\n",
              static_cast<double>(runPermutations) / wall, static_cast<long long>(runPermutations),
              static_cast<long long>(tagSetPermutations), data.sequences.count());
  std::printf("     peak memory %s, report %s on disk: peak/report %.2f\n", Human(peak).c_str(),
              Human(w.reportBytes).c_str(), peak / w.reportBytes);
  const double literalSearch = literalPer * static_cast<double>(permutations.size());
  std::printf(
      "     literal search alone over the %zu %s (one thread, %s): %.2f s,\n"
      "     %.1f x the whole chart run's wall time\n",
      permutations.size(), w.unit, step == 1 ? "measured" : "estimated from the sample",
      literalSearch, literalSearch / wall);
  if (step == 1 && literalSearch * 2 < settings.literalBudgetSeconds) {
    const ProcessRun r = RunReport(settings, w.dir, {"--engine=literal", "--threads=1"});
    std::printf("     the whole run with --engine=literal --threads=1: %.3f s, %.1f x\n", r.seconds,
                r.seconds / wall);
  }
}

// True when the two files hold the same bytes (read a block at a time: the
// reports may be gigabytes).
bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  if (!x || !y) return false;
  std::vector<char> bx(1 << 20), by(1 << 20);
  for (;;) {
    x.read(bx.data(), static_cast<std::streamsize>(bx.size()));
    y.read(by.data(), static_cast<std::streamsize>(by.size()));
    if (x.gcount() != y.gcount()) return false;
    if (!std::equal(bx.begin(), bx.begin() + x.gcount(), by.begin())) return false;
    if (x.gcount() == 0) return true;
  }
}

struct Side {
  std::vector<double> walls, peaks;
  double reportBytes = 0;
  bool failed = false;
};

// One case's whole runs with this marvolen-report ("after") and, when
// given, the one from before, alternately, printed side by side with
// whether their reports are the same bytes.
void CompareRuns(const Settings& settings, const std::string& title, const std::string& dir,
                 bool withBefore, int runs) {
  std::printf("\n== %s\n", title.c_str());
  withBefore = withBefore && !settings.beforeBinary.empty();
  Side before, after;
  const std::string report = dir + "/report.txt";
  for (int run = 0; run < runs; ++run) {
    for (Side* side : {&before, &after}) {
      if (side == &before && !withBefore) continue;
      const ProcessRun r =
          RunBinary(side == &before ? settings.beforeBinary : settings.reportBinary, dir, {});
      if (!r.ok) side->failed = true;
      side->walls.push_back(r.seconds);
      side->peaks.push_back(static_cast<double>(r.maxRssKb) * 1024);
      side->reportBytes = fs::exists(report) ? static_cast<double>(fs::file_size(report)) : 0;
      if (run == runs - 1) fs::rename(report, report + (side == &before ? ".before" : ".after"));
    }
  }
  auto print = [&](const char* name, const Side& side) {
    std::printf("   %-6s wall %8.3f s   peak %9s   report %9s%s\n", name, Median(side.walls),
                Human(Median(side.peaks)).c_str(), Human(side.reportBytes).c_str(),
                side.failed ? "   (the run failed)" : "");
  };
  if (withBefore) print("before", before);
  print("after", after);
  if (withBefore) {
    std::printf(
        "   after/before: time %.2f x, peak memory %.3f x; reports %s\n",
        Median(after.walls) / Median(before.walls), Median(after.peaks) / Median(before.peaks),
        SameBytes(report + ".before", report + ".after") ? "byte for byte the same" : "DIFFER");
  }
  fs::remove(report + ".before");
  fs::remove(report + ".after");
}

int Main(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--runs=")) {
      settings.runs = std::max(1, std::atoi(argv[i] + 7));
    } else if (arg.starts_with("--literal-budget=")) {
      settings.literalBudgetSeconds = std::max(1.0, std::atof(argv[i] + 17));
    } else if (arg.starts_with("--workload=")) {
      settings.workload = std::string(arg.substr(11));
    } else if (arg.starts_with("--report-binary=")) {
      settings.reportBinary = std::string(arg.substr(16));
    } else if (arg.starts_with("--keep-dir=")) {
      settings.keepDir = std::string(arg.substr(11));
    } else if (arg.starts_with("--before-binary=")) {
      settings.beforeBinary = std::string(arg.substr(16));
    } else if (arg == "--big") {
      settings.big = true;
    } else {
      std::fprintf(stderr,
                   "usage: marvolen-bench [--runs=N] [--workload=a|b|memory|all] "
                   "[--literal-budget=SECONDS]\n"
                   "                      [--report-binary=PATH] [--before-binary=PATH] [--big]\n"
                   "                      [--keep-dir=DIR]\n");
      return 64;
    }
  }
  std::string base = settings.keepDir;
  if (base.empty()) {
    std::string pattern = (fs::temp_directory_path() / "marvolen_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    base = pattern;
  }
  std::printf("marvolen-bench: %u hardware threads; times are medians of %d runs\n",
              std::thread::hardware_concurrency(), settings.runs);
  PrintLoad("load average before");
  std::vector<Workload> workloads;
  if (settings.workload == "a" || settings.workload == "all") {
    for (const bool longMode : {false, true}) {
      Workload w;
      w.title =
          std::string("workload (a), realistic grammar, ") +
          (longMode ? "long mode (the eight four- and five-item patterns)" : "three-item mode");
      w.dir = base + (longMode ? "/a-long" : "/a-three");
      w.longMode = longMode;
      fs::create_directories(w.dir);
      if (!WriteWorkload(RealisticWorkload(longMode), w.dir)) return 1;
      workloads.push_back(w);
    }
  }
  if (settings.workload == "b" || settings.workload == "all") {
    Workload w;
    w.title = "workload (b), dense ambiguous grammar, its five-item lines";
    w.dir = base + "/b";
    w.fiveItemLines = true;
    w.unit = "five-item lines";
    fs::create_directories(w.dir);
    if (!WriteWorkload(DenseWorkload(false), w.dir)) return 1;
    workloads.push_back(w);
  }
  // What a run that does nothing takes, for comparison with small reports.
  const ProcessRun idle = RunReport(settings, base, {"--version"});
  std::printf("marvolen-report --version peaks at %s\n",
              Human(static_cast<double>(idle.maxRssKb) * 1024).c_str());
  // Whole runs side by side with the marvolen-report from before: workload
  // (a) in long mode, and the cases whose reports are large.
  if (settings.workload == "a" || settings.workload == "memory" || settings.workload == "all") {
    if (settings.beforeBinary.empty()) {
      std::printf("\n(no --before-binary given: the figures from before are not measured)\n");
    }
    struct Case {
      std::string title, name;
      WorkloadFiles files;
      bool withBefore;
      int runs;
    };
    std::vector<Case> cases;
    if (settings.workload != "memory") {
      cases.push_back({"workload (a), long mode, whole run", "a-long", RealisticWorkload(true),
                       true, std::max(settings.runs, 5)});
    }
    if (settings.workload != "a") {
      cases.push_back(
          {"memory: 40 tags of 19 bytes, long mode", "long-tags", LongTagsWorkload(), true, 3});
      cases.push_back({"memory: five rules S -> S S, 500 lines S S S S S", "self-join-5",
                       SelfJoinWorkload(5), true, 3});
      cases.push_back({"memory: 300 dense rules, 500 five-item lines", "dense-worst",
                       DenseWorstWorkload(), true, 3});
      if (settings.big) {
        cases.push_back({"memory: ten rules S -> S S, 500 lines S S S S S", "self-join-10",
                         SelfJoinWorkload(10), true, 1});
      }
      // The parses of A A A A A exhaust any machine without a limit: the
      // run from before is not measured.
      cases.push_back({"explosion: 16 rules, A A A and A A A A A (limit 1,000,000)", "explosive",
                       ExplosiveWorkload(), false, 3});
    }
    for (const Case& c : cases) {
      const std::string dir = base + "/" + c.name;
      fs::create_directories(dir);
      if (!WriteWorkload(c.files, dir)) return 1;
      CompareRuns(settings, c.title, dir, c.withBefore, c.runs);
    }
  }

  for (Workload& w : workloads) MeasureRuns(settings, w);
  for (const Workload& w : workloads) MeasureSearch(settings, w);
  PrintLoad("\nload average after");
  if (settings.keepDir.empty()) fs::remove_all(base);
  return 0;
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::bench::Main(argc, argv); }
