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
//    from the sample) to that wall time.
// Times are medians over --runs runs.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench/workloads.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "grammar/chart_search.h"
#include "grammar/permutation.h"
#include "grammar/reduction_search.h"
#include "platform/text_stream.h"
#include "platform/user_interface.h"

namespace marvolen {
namespace bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Settings {
  int runs = 5;
  // Search the literal engine on every permutation only when that is
  // expected to take at most this long; otherwise on a sample.
  double literalBudgetSeconds = 20;
  std::string workload = "all";  // "a", "b" or "all"
  std::string reportBinary = MARVOLEN_REPORT_BINARY;
  std::string keepDir;  // where to leave the workloads' files, if set
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

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
  double seconds = 0;  // median over the runs
  long parses = 0;     // parses found over the permutations
};

SearchTime TimeSearch(ParseEngine& engine, const std::vector<const Permutation*>& permutations,
                      const RuleSet& rules, int runs) {
  std::vector<double> times;
  SearchTime result;
  for (int run = 0; run < runs; ++run) {
    long parses = 0;
    const auto start = Clock::now();
    for (const Permutation* p : permutations) {
      parses += static_cast<long>(engine.FindDistinctParses(*p, rules).size());
    }
    times.push_back(Seconds(Clock::now() - start));
    result.parses = parses;
  }
  result.seconds = Median(times);
  return result;
}

// The permutations on which the two searches give different lists.
int Disagreements(const std::vector<const Permutation*>& permutations, const RuleSet& rules) {
  LiteralParseEngine literal;
  ChartParseEngine chart(rules);
  int differ = 0;
  for (const Permutation* p : permutations) {
    const ParseList a = literal.FindDistinctParses(*p, rules);
    const ParseList b = chart.FindDistinctParses(*p, rules);
    bool same = a.size() == b.size();
    for (std::size_t k = 0; same && k < a.size(); ++k) same = TreesEqual(a[k].get(), b[k].get());
    if (!same) ++differ;
  }
  return differ;
}

struct ProcessRun {
  double seconds = 0;
  long maxRssKb = 0;
  bool ok = false;
};

// Run marvolen-report in `dir` with `args`, its output thrown away.
ProcessRun RunReport(const Settings& settings, const std::string& dir,
                     const std::vector<std::string>& args) {
  std::vector<std::string> argv = {settings.reportBinary, "-C", dir};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  ProcessRun run;
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stderr);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  if (pid < 0) return run;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return run;
  run.seconds = Seconds(Clock::now() - start);
  run.maxRssKb = usage.ru_maxrss;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

std::string Human(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
  return text;
}

// The search alone and the whole run of one workload; `permutations` are
// those of the search (all of the tag-set report's, or the five-item lines).
void Measure(const Settings& settings, const std::string& title, const std::string& dir,
             const Data& data, const std::vector<Permutation>& permutations,
             std::int64_t runPermutations, const char* unit) {
  std::printf("\n== %s\n", title.c_str());
  std::printf("   %d tags, %d rule records, %zu %s searched\n", data.tags.count(),
              data.rules.count(), permutations.size(), unit);

  // The search alone, one thread. First a small probe of the literal search
  // to choose the sample.
  const auto all = Sample(permutations, 1);
  LiteralParseEngine literal;
  ChartParseEngine chart(data.rules);
  const std::size_t probeStep = std::max<std::size_t>(1, permutations.size() / 200);
  const SearchTime probe = TimeSearch(literal, Sample(permutations, probeStep), data.rules, 1);
  const double probePer = probe.seconds / static_cast<double>(Sample(permutations, probeStep).size());
  const double literalAll = probePer * static_cast<double>(permutations.size());
  std::size_t step = 1;
  // Aim at a few seconds of literal searching per run when sampling.
  const int literalRuns = std::max(1, settings.runs / 2);
  if (literalAll * literalRuns > settings.literalBudgetSeconds) {
    step = static_cast<std::size_t>(literalAll * literalRuns / (settings.literalBudgetSeconds / 4));
    step = std::max<std::size_t>(2, step);
  }
  const auto sample = Sample(permutations, step);
  const SearchTime literalTime = TimeSearch(literal, sample, data.rules, literalRuns);
  const SearchTime chartSample = TimeSearch(chart, sample, data.rules, settings.runs);
  const SearchTime chartAll = TimeSearch(chart, all, data.rules, settings.runs);
  const int differ = Disagreements(sample, data.rules);

  const double literalPer = literalTime.seconds / static_cast<double>(sample.size());
  const double chartPer = chartSample.seconds / static_cast<double>(sample.size());
  if (step == 1) {
    std::printf("   search alone, one thread, all %zu %s:\n", sample.size(), unit);
  } else {
    std::printf("   search alone, one thread, SAMPLED: every %zu-th of the %s (%zu of %zu),\n"
                "   as searching them all literally would take about %.0f s:\n",
                step, unit, sample.size(), permutations.size(),
                literalPer * static_cast<double>(permutations.size()));
  }
  std::printf("     literal  %10.2f us each  (%.3f s, median of %d)\n", literalPer * 1e6,
              literalTime.seconds, literalRuns);
  std::printf("     chart    %10.2f us each  (%.3f s, median of %d)\n", chartPer * 1e6,
              chartSample.seconds, settings.runs);
  std::printf("     ratio    %10.1f x   parses found: %ld (literal) %ld (chart), lists that "
              "differ: %d\n",
              literalPer / chartPer, literalTime.parses, chartSample.parses, differ);
  std::printf("     chart on all %zu %s: %.3f s (%.2f us each)\n", permutations.size(), unit,
              chartAll.seconds, chartAll.seconds / static_cast<double>(permutations.size()) * 1e6);

  // Whole runs of marvolen-report with its defaults.
  std::vector<double> walls, rss;
  for (int run = 0; run < settings.runs; ++run) {
    const ProcessRun r = RunReport(settings, dir, {});
    if (!r.ok) {
      std::printf("   marvolen-report failed in %s\n", dir.c_str());
      return;
    }
    walls.push_back(r.seconds);
    rss.push_back(static_cast<double>(r.maxRssKb) * 1024);
  }
  const double wall = Median(walls);
  const double peak = Median(rss);
  const double reportBytes = static_cast<double>(fs::file_size(dir + "/report.txt"));
  std::printf("   whole run, marvolen-report (chart search, every core), median of %d:\n",
              settings.runs);
  std::printf("     wall %.3f s (runs:", wall);
  for (double w : walls) std::printf(" %.3f", w);
  std::printf(")\n     %.0f permutations/s (%lld permutations in the run)\n",
              static_cast<double>(runPermutations) / wall,
              static_cast<long long>(runPermutations));
  std::printf("     peak memory %s, report %s on disk: peak/report %.2f\n", Human(peak).c_str(),
              Human(reportBytes).c_str(), peak / reportBytes);

  // The literal search over everything the run searches.
  const double literalRun = literalPer * static_cast<double>(permutations.size());
  if (step == 1 && literalRun * 2 < settings.literalBudgetSeconds) {
    const ProcessRun r = RunReport(settings, dir, {"--engine=literal", "--threads=1"});
    std::printf("     the same run with --engine=literal --threads=1: %.3f s: %.1f x the "
                "chart run\n",
                r.seconds, r.seconds / wall);
  }
  std::printf("     literal search alone over the %s (one thread, %s): %.1f s: %.1f x the "
              "chart run's wall time\n",
              unit, step == 1 ? "measured" : "estimated from the sample", literalRun,
              literalRun / wall);
}

void RealisticWorkloads(const Settings& settings, const std::string& base) {
  for (const bool longMode : {false, true}) {
    const std::string dir = base + (longMode ? "/a-long" : "/a-three");
    fs::create_directories(dir);
    if (!WriteWorkload(RealisticWorkload(longMode), dir)) return;
    Data data;
    if (!Load(dir, data)) return;
    const std::vector<Permutation> permutations = TagSetPermutations(data.tags, longMode);
    const std::int64_t runPermutations =
        static_cast<std::int64_t>(permutations.size()) + data.sequences.count();
    Measure(settings,
            std::string("workload (a), realistic grammar, ") +
                (longMode ? "long mode (four- and five-item patterns)" : "three-item mode"),
            dir, data, permutations, runPermutations, "permutations");
  }
}

void DenseWorkloads(const Settings& settings, const std::string& base) {
  const std::string dir = base + "/b";
  fs::create_directories(dir);
  if (!WriteWorkload(DenseWorkload(false), dir)) return;
  Data data;
  if (!Load(dir, data)) return;
  const std::vector<Permutation> lines = FiveItemLines(data.sequences);
  const std::int64_t runPermutations =
      static_cast<std::int64_t>(data.tags.count()) * data.tags.count() * data.tags.count() +
      data.sequences.count();
  Measure(settings, "workload (b), dense ambiguous grammar, its five-item lines", dir, data, lines,
          runPermutations, "five-item lines");
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
    } else {
      std::fprintf(stderr,
                   "usage: marvolen-bench [--runs=N] [--workload=a|b|all] "
                   "[--literal-budget=SECONDS]\n"
                   "                      [--report-binary=PATH] [--keep-dir=DIR]\n");
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
  if (settings.workload == "a" || settings.workload == "all") RealisticWorkloads(settings, base);
  if (settings.workload == "b" || settings.workload == "all") DenseWorkloads(settings, base);
  if (settings.keepDir.empty()) fs::remove_all(base);
  return 0;
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::bench::Main(argc, argv); }
