// Turning SIGINT and SIGTERM into a stop request, on POSIX systems.
#include "platform/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace marvolen {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};

// The pipe from the handler to the watching thread. A signal handler can
// reach nothing else; only one StopOnSignals lives at a time.
int gPipe[2] = {-1, -1};

void OnSignal(int signalNumber) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
  errno = saved;
}

struct sigaction gPrevious[sizeof kSignals / sizeof kSignals[0]];

}  // namespace

StopOnSignals::StopOnSignals(std::stop_source source) : source_(std::move(source)) {
  if (gPipe[0] >= 0 || ::pipe(gPipe) != 0) return;
  for (int fd : gPipe) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  // The handler must never wait on a full pipe.
  ::fcntl(gPipe[1], F_SETFL, ::fcntl(gPipe[1], F_GETFL) | O_NONBLOCK);
  watcher_ = std::thread([this] { Watch(); });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t k = 0; k < sizeof kSignals / sizeof kSignals[0]; ++k) {
    ::sigaction(kSignals[k], &action, &gPrevious[k]);
  }
  installed_ = true;
}

StopOnSignals::~StopOnSignals() {
  if (!installed_) return;
  for (std::size_t k = 0; k < sizeof kSignals / sizeof kSignals[0]; ++k) {
    ::sigaction(kSignals[k], &gPrevious[k], nullptr);
  }
  // A zero byte ends the watcher.
  const unsigned char end = 0;
  while (::write(gPipe[1], &end, 1) < 0 && errno == EINTR) {
  }
  watcher_.join();
  ::close(gPipe[0]);
  ::close(gPipe[1]);
  gPipe[0] = gPipe[1] = -1;
}

void StopOnSignals::Watch() {
  for (;;) {
    unsigned char byte = 0;
    const ssize_t n = ::read(gPipe[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == 0) return;
    int expected = 0;
    if (signal_.compare_exchange_strong(expected, byte)) {
      source_.request_stop();
      continue;
    }
    // A second signal while stopping: end the process as that signal does.
    for (std::size_t k = 0; k < sizeof kSignals / sizeof kSignals[0]; ++k) {
      ::signal(kSignals[k], SIG_DFL);
    }
    ::kill(::getpid(), byte);
  }
}

void IgnoreBrokenPipe() { ::signal(SIGPIPE, SIG_IGN); }

}  // namespace marvolen
