// Running marvolen-report in a child process for the benchmarks: wall time
// and peak memory; and the median the benchmarks report of their runs.
#ifndef MARVOLEN_BENCH_PROCESS_RUN_H_
#define MARVOLEN_BENCH_PROCESS_RUN_H_

#include <string>
#include <vector>

namespace marvolen {
namespace bench {

struct ProcessRun {
  double seconds = 0;     // wall
  double cpuSeconds = 0;  // user and system, every thread
  long maxRssKb = 0;
  bool ok = false;
};

// Run the marvolen-report at `binary` in `dir` with `args`, its output
// thrown away. A run that completes with messages (status 1) is ok too.
ProcessRun RunBinary(const std::string& binary, const std::string& dir,
                     const std::vector<std::string>& args);

// One kind of run of a benchmark: a label, the marvolen-report to run and
// its arguments.
struct Variant {
  std::string label, binary;
  std::vector<std::string> args;
};

// What the runs of one variant measured.
struct VariantFigures {
  std::vector<double> seconds, cpuSeconds;
  long maxRssKb = 0;
};

// Run every variant `runs` times in `dir`, one of each in turn, so that a
// change of the machine's load falls on all of them alike. Empty when a run
// failed.
std::vector<VariantFigures> Alternate(const std::vector<Variant>& variants, const std::string& dir,
                                      int runs);

// The machine's load average over the last minute, as "load average 4.21".
std::string LoadAverage();

// The middle value (of an even count, the mean of the two middle ones); 0
// when there is none.
double Median(std::vector<double> values);

}  // namespace bench
}  // namespace marvolen

#endif  // MARVOLEN_BENCH_PROCESS_RUN_H_
