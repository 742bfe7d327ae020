// Test support: child processes through fork and exec.
#include "testing/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace marvolen {

struct ChildProcessForTest::State {
  pid_t pid = -1;
  bool ended = false;
  int status = -1;
};

std::unique_ptr<ChildProcessForTest> ChildProcessForTest::Start(
    const std::string& program, const std::vector<std::string>& args, const Options& options) {
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return nullptr;
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(options.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(options.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  std::unique_ptr<ChildProcessForTest> child(new ChildProcessForTest);
  child->state_ = std::make_unique<State>();
  child->state_->pid = pid;
  return child;
}

ChildProcessForTest::~ChildProcessForTest() {
  if (!state_->ended) {
    Kill();
    Wait();
  }
}

int ChildProcessForTest::Wait() {
  if (state_->ended) return state_->status;
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(5);
  int status = 0;
  pid_t done;
  while ((done = waitpid(state_->pid, &status, WNOHANG)) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(state_->pid, SIGKILL);
      done = waitpid(state_->pid, &status, 0);
      status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  state_->ended = true;
  const bool exited = done == state_->pid && status != -1 && WIFEXITED(status);
  state_->status = exited ? WEXITSTATUS(status) : -1;
  return state_->status;
}

bool ChildProcessForTest::Interrupt() { return !state_->ended && kill(state_->pid, SIGINT) == 0; }

void ChildProcessForTest::Kill() {
  if (!state_->ended) kill(state_->pid, SIGKILL);
}

}  // namespace marvolen
