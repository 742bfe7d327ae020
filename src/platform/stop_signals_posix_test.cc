// Ctrl+C and SIGTERM become stop requests while a StopOnSignals lives, and
// regain their usual effect afterwards; a broken pipe does not end the
// process once ignored.
#include "platform/stop_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace marvolen {
namespace {

bool WaitFor(const std::stop_token& token) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!token.stop_requested()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

volatile sig_atomic_t gHandled = 0;
void CountSignal(int) { gHandled = gHandled + 1; }

TEST(StopOnSignalsTest, EachSignalAsksToStopAndThePreviousHandlingComesBack) {
  for (const int sig : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(sig);
    struct sigaction counting {
    }, previous{};
    counting.sa_handler = CountSignal;
    sigemptyset(&counting.sa_mask);
    ASSERT_EQ(sigaction(sig, &counting, &previous), 0);
    gHandled = 0;
    {
      std::stop_source source;
      StopOnSignals stop(source);
      EXPECT_EQ(stop.signal(), 0);
      ASSERT_EQ(raise(sig), 0);
      EXPECT_TRUE(WaitFor(source.get_token()));
      EXPECT_EQ(stop.signal(), sig);
      EXPECT_EQ(gHandled, 0);
    }
    // Afterwards the signal reaches the handler it had before.
    ASSERT_EQ(raise(sig), 0);
    EXPECT_EQ(gHandled, 1);
    sigaction(sig, &previous, nullptr);
  }
}

TEST(StopOnSignalsTest, ASecondSignalWhileStoppingEndsTheProcess) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::stop_source source;
    StopOnSignals stop(source);
    raise(SIGINT);
    if (!WaitFor(source.get_token())) _exit(3);
    raise(SIGINT);
    sleep(5);
    _exit(4);  // not reached: the second signal ends the process
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGINT);
}

TEST(IgnoreBrokenPipeTest, WritingToAPipeWithoutReaderFailsInsteadOfEndingTheProcess) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    IgnoreBrokenPipe();
    int fds[2];
    if (pipe(fds) != 0) _exit(2);
    close(fds[0]);
    const char byte = 'x';
    const bool failed = write(fds[1], &byte, 1) < 0 && errno == EPIPE;
    _exit(failed ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace marvolen
