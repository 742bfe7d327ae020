// Test support: make file writes fail part-way, as on a full disk.
//
// While a FileSizeLimitForTest lives, no file of this process may grow
// beyond the given number of bytes: a write past it is cut short and then
// fails (EFBIG) instead of raising SIGXFSZ. Pipes and terminals are not
// files with a size, so test output is not affected.
#ifndef MARVOLEN_TESTING_FILE_SIZE_LIMIT_H_
#define MARVOLEN_TESTING_FILE_SIZE_LIMIT_H_

#include <signal.h>
#include <sys/resource.h>

#include <cstddef>

namespace marvolen {

class FileSizeLimitForTest {
 public:
  explicit FileSizeLimitForTest(std::size_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &old_) != 0) return;
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    active_ = (old_.rlim_max == RLIM_INFINITY || limit.rlim_cur <= old_.rlim_max) &&
              setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimitForTest() {
    if (active_) setrlimit(RLIMIT_FSIZE, &old_);
    if (oldHandler_ != SIG_ERR) signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimitForTest(const FileSizeLimitForTest&) = delete;
  FileSizeLimitForTest& operator=(const FileSizeLimitForTest&) = delete;

  // False when the limit could not be set (the test should be skipped).
  bool active() const { return active_; }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = SIG_ERR;
  bool active_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_TESTING_FILE_SIZE_LIMIT_H_
