// Runs the analysis on a worker thread behind a modal progress dialog, which
// cannot be closed: nothing can be edited and the program cannot be left
// until the analysis has finished. The analysis's messages are shown one at
// a time, in order, on the GUI thread while the analysis waits for each to
// be dismissed; its progress moves the bar and its busy state shows the wait
// cursor.
#ifndef MARVOLEN_SHELL_ANALYSIS_RUNNER_H_
#define MARVOLEN_SHELL_ANALYSIS_RUNNER_H_

#include <functional>

#include "platform/user_interface.h"

class QWidget;

namespace marvolen {

class DialogProvider;

class AnalysisRunner {
 public:
  // Messages go through `dialogs`, over the progress dialog shown on `parent`.
  AnalysisRunner(DialogProvider& dialogs, QWidget* parent) : dialogs_(dialogs), parent_(parent) {}

  // Run `job` and return when it has finished; the GUI repaints meanwhile.
  void Run(const std::function<void(UserInterface&)>& job);

 private:
  DialogProvider& dialogs_;
  QWidget* parent_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_ANALYSIS_RUNNER_H_
