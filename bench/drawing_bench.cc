// drawing-bench: what it costs to show one sequence's trees, next to what it
// costs to find them, on every sequence line of the workloads.
//
// For each line it times, in this process: the analysis (split, search,
// judgement), the marks, the layout of all the line's trees, the layout of
// the first screenful of them (the first twelve), and the SVG text of all of
// them. It prints, per workload, the slowest and the median line of each
// step and the ratio of each step's total to the analysis's total. Times are
// the best of --runs runs of the whole workload.
// Usage: build/bench/drawing-bench [--runs=5]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/parse_differences.h"
#include "analysis/sequence_analysis.h"
#include "bench/workloads.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/user_interface.h"
#include "drawing/svg.h"
#include "drawing/tree_layout.h"
#include "platform/text_stream.h"

namespace marvolen {
namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kScreenful = 12;

enum Step { kAnalyse, kMarks, kLayout, kScreenLayout, kSvg, kSteps };
const char* const kStepNames[kSteps] = {"analyse", "marks", "layout (all)", "layout (first 12)",
                                        "SVG (all)"};

double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Per line and step, the best time over the runs, in milliseconds.
std::vector<std::vector<double>> TimeLines(const WorkloadFiles& files, int runs,
                                           std::size_t& maxParses) {
  RecordingUserInterface ui;
  RuleSet rules;
  ReadRuleSet(rules, *InputStream::FromBytes(files.rules), ui);
  SequenceList sequences;
  ReadSequences(sequences, *InputStream::FromBytes(files.sequences), ui);
  SequenceAnalyser analyser(std::move(rules));
  TreeStyle style;
  const MeasureText measure = [&style](std::string_view text) {
    return ApproximateTextWidth(text, style.fontSize);
  };

  std::vector<std::vector<double>> best(sequences.lines.size(), std::vector<double>(kSteps, 1e300));
  std::size_t checksum = 0;
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < sequences.lines.size(); ++i) {
      std::vector<double>& times = best[i];
      auto t0 = Clock::now();
      const SequenceAnalysis analysis = analyser.Analyse(sequences.lines[i]);
      auto t1 = Clock::now();
      const ParseMarks marks = MarkDifferences(analysis.parses, analysis.judgement);
      auto t2 = Clock::now();
      const DrawnTree all = LayOutTrees(analysis.parses, measure, style, marks, 1);
      auto t3 = Clock::now();
      const std::size_t first = std::min(kScreenful, analysis.parses.size());
      const DrawnTree screen =
          LayOutTrees(std::span(analysis.parses).first(first), measure, style, marks, 1);
      auto t4 = Clock::now();
      const std::string svg = RenderSvg(all, style);
      auto t5 = Clock::now();
      const Clock::time_point points[] = {t0, t1, t2, t3, t4, t5};
      for (int s = 0; s < kSteps; ++s) {
        times[s] = std::min(times[s], Millis(points[s + 1] - points[s]));
      }
      checksum += svg.size() + screen.nodes.size();
      maxParses = std::max(maxParses, analysis.parses.size());
    }
  }
  if (checksum == 0) std::puts("(nothing drawn)");
  return best;
}

void Report(const char* name, const WorkloadFiles& files, int runs) {
  std::size_t maxParses = 0;
  const auto lines = TimeLines(files, runs, maxParses);
  std::printf("workload %s: %zu lines, at most %zu parses on a line\n", name, lines.size(),
              maxParses);
  double total[kSteps] = {};
  for (int s = 0; s < kSteps; ++s) {
    std::vector<double> column;
    for (const auto& line : lines) {
      column.push_back(line[s]);
      total[s] += line[s];
    }
    std::sort(column.begin(), column.end());
    std::printf(
        "  %-18s slowest line %8.3f ms  median %8.3f ms  total %9.2f ms  = %6.2fx analyse\n",
        kStepNames[s], column.back(), column[column.size() / 2], total[s],
        total[s] / total[kAnalyse]);
  }
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) {
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--runs=")) {
      runs = std::max(1, std::atoi(argv[i] + 7));
    } else {
      std::fprintf(stderr, "usage: drawing-bench [--runs=N]\n");
      return 64;
    }
  }
  using namespace marvolen::bench;
  Report("(a) realistic", RealisticWorkload(false), runs);
  Report("(b) dense", DenseWorkload(false), runs);
  return 0;
}
