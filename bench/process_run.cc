// Running marvolen-report in a child process.
#include "bench/process_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace marvolen {
namespace bench {

ProcessRun RunBinary(const std::string& binary, const std::string& dir,
                     const std::vector<std::string>& args) {
  std::vector<std::string> argv = {binary, "-C", dir};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  ProcessRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
      dup2(devNull, STDOUT_FILENO);
      dup2(devNull, STDERR_FILENO);
    }
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  if (pid < 0) return run;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.maxRssKb = usage.ru_maxrss;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) <= 1;
  return run;
}

std::vector<VariantFigures> Alternate(const std::vector<Variant>& variants, const std::string& dir,
                                      int runs) {
  std::vector<VariantFigures> figures(variants.size());
  for (int run = 0; run < runs; ++run) {
    for (std::size_t v = 0; v < variants.size(); ++v) {
      const ProcessRun r = RunBinary(variants[v].binary, dir, variants[v].args);
      if (!r.ok) return {};
      figures[v].seconds.push_back(r.seconds);
      figures[v].cpuSeconds.push_back(r.cpuSeconds);
      figures[v].maxRssKb = std::max(figures[v].maxRssKb, r.maxRssKb);
    }
  }
  return figures;
}

std::string LoadAverage() {
  double load[1] = {0};
  if (getloadavg(load, 1) != 1) return "load average unknown";
  char text[64];
  std::snprintf(text, sizeof text, "load average %.2f", load[0]);
  return text;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace bench
}  // namespace marvolen
