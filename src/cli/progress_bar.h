// The progress bar of marvolen-report: one line on the terminal, drawn over
// itself with each report's progress and erased before any message, so that
// messages still appear as whole lines of their own.
#ifndef MARVOLEN_CLI_PROGRESS_BAR_H_
#define MARVOLEN_CLI_PROGRESS_BAR_H_

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace marvolen {

class ProgressBar {
 public:
  // A bar on `out`; a disabled bar prints nothing at all. Between two
  // drawings at least `interval` passes, except for the drawing of a
  // finished report.
  ProgressBar(std::FILE* out, bool enabled,
              std::chrono::milliseconds interval = std::chrono::milliseconds(100));
  ~ProgressBar();

  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // `done` of `total` units of the current report are finished.
  void Update(std::int64_t done, std::int64_t total);

  // Erase the bar, if it is drawn, leaving the cursor at the start of the
  // empty line.
  void Clear();

  // The text of the bar for `done` of `total`.
  static std::string Text(std::int64_t done, std::int64_t total);

 private:
  std::FILE* out_;
  bool enabled_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point last_{};
  std::size_t drawn_ = 0;  // width of the text on screen; 0 when none
};

}  // namespace marvolen

#endif  // MARVOLEN_CLI_PROGRESS_BAR_H_
