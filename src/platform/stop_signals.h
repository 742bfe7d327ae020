// Stopping a console program cleanly on Ctrl+C.
//
// While a StopOnSignals lives, the signals that ask a console program to end
// (SIGINT from Ctrl+C, SIGTERM from kill) do not end the process: the first
// one asks its std::stop_source to stop, and the program winds down by
// itself (for marvolen-report: the analysis stops at its next permutation or
// parse, the temporary report file is removed, the old report stays). A
// second such signal, while the program is still winding down, ends it at
// once as the signal normally would.
//
// Only one StopOnSignals may live at a time. The signal handler only writes
// one byte to a pipe; a thread of the object's own reads it and asks for the
// stop, so the stop source is never touched from a signal handler.
//
// The implementations are stop_signals_posix.cc and, on Windows, where
// Ctrl+C and Ctrl+Break reach a console's control handler instead of a
// signal handler, stop_signals_windows.cc; signal() then gives SIGINT or
// SIGBREAK.
#ifndef MARVOLEN_PLATFORM_STOP_SIGNALS_H_
#define MARVOLEN_PLATFORM_STOP_SIGNALS_H_

#include <atomic>
#include <stop_token>
#include <thread>

namespace marvolen {

class StopOnSignals {
 public:
  // Begin turning the signals into requests to `source`. When the handlers
  // cannot be installed, the signals keep their usual effect.
  explicit StopOnSignals(std::stop_source source);
  // Restore what the signals did before.
  ~StopOnSignals();
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;

  // The signal that asked for the stop, or 0 while none has.
  int signal() const { return signal_.load(); }

 private:
  void Watch();

  std::stop_source source_;
  std::atomic<int> signal_{0};
  bool installed_ = false;
  std::thread watcher_;
};

// Make writing to a pipe whose reader has gone fail with an error instead of
// ending the process (SIGPIPE), for the rest of the process's life: a
// message that cannot be shown must not stop the work. Nothing to do where
// there is no such signal.
void IgnoreBrokenPipe();

}  // namespace marvolen

#endif  // MARVOLEN_PLATFORM_STOP_SIGNALS_H_
