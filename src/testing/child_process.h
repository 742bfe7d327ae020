// Test support: run a program as a person would from a shell, with its
// output going to files, and wait for it, stop it or kill it.
#ifndef MARVOLEN_TESTING_CHILD_PROCESS_H_
#define MARVOLEN_TESTING_CHILD_PROCESS_H_

#include <memory>
#include <string>
#include <vector>

namespace marvolen {

class ChildProcessForTest {
 public:
  struct Options {
    std::string directory;  // where it runs ("" for the current directory)
    std::string outPath;    // its stdout and stderr go to these files
    std::string errPath;
    // Windows: a console of its own (hidden), so that Interrupt can send
    // Ctrl+C to it alone; starting one takes a while. Without, the program
    // runs with no console at all, as from a service or a scheduler.
    bool ownConsole = false;
  };

  // Start `program` with `args` (UTF-8, without the program itself); its
  // standard input is empty. Null when it could not be started.
  static std::unique_ptr<ChildProcessForTest> Start(const std::string& program,
                                                    const std::vector<std::string>& args,
                                                    const Options& options);
  // Kills the program if it still runs.
  ~ChildProcessForTest();
  ChildProcessForTest(const ChildProcessForTest&) = delete;
  ChildProcessForTest& operator=(const ChildProcessForTest&) = delete;

  // Wait until it ends; its exit status, or -1 when a signal ended it (or
  // it did not end within five minutes, when it is killed).
  int Wait();

  // Ctrl+C: SIGINT, or on Windows a Ctrl+C event on its own console.
  // False when that could not be sent.
  bool Interrupt();

  // End it at once: SIGKILL, or TerminateProcess.
  void Kill();

 private:
  ChildProcessForTest() = default;

  struct State;  // the system's handle of the process
  std::unique_ptr<State> state_;
};

}  // namespace marvolen

#endif  // MARVOLEN_TESTING_CHILD_PROCESS_H_
