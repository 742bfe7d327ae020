// Running marvolen-report in a child process for the benchmarks: wall time
// and peak memory; and the median the benchmarks report of their runs.
#ifndef MARVOLEN_BENCH_PROCESS_RUN_H_
#define MARVOLEN_BENCH_PROCESS_RUN_H_

#include <string>
#include <vector>

namespace marvolen {
namespace bench {

struct ProcessRun {
  double seconds = 0;
  long maxRssKb = 0;
  bool ok = false;
};

// Run the marvolen-report at `binary` in `dir` with `args`, its output
// thrown away. A run that completes with messages (status 1) is ok too.
ProcessRun RunBinary(const std::string& binary, const std::string& dir,
                     const std::vector<std::string>& args);

// The middle value (of an even count, the mean of the two middle ones); 0
// when there is none.
double Median(std::vector<double> values);

}  // namespace bench
}  // namespace marvolen

#endif  // MARVOLEN_BENCH_PROCESS_RUN_H_
