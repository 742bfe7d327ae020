// Runs the analysis off the GUI thread behind a modal progress dialog.
//
// The analysis talks to the person through a UserInterface. Here its
// messages are shown one at a time, in order, as modal boxes on the GUI
// thread while the analysis thread waits for each to be dismissed; its
// progress moves the dialog's bar (permutations done of the total); its busy
// state shows the wait cursor. The progress dialog is modal and cannot be
// closed, so nothing can be edited and the program cannot be left until the
// analysis has finished: the analysis has no way to stop half-way.
#ifndef MARVOLEN_SHELL_ANALYSIS_RUNNER_H_
#define MARVOLEN_SHELL_ANALYSIS_RUNNER_H_

#include <QString>
#include <functional>

#include "platform/user_interface.h"

class QWidget;

namespace marvolen {

class DialogProvider;

class AnalysisRunner {
 public:
  // Messages go through `dialogs`, on top of the progress dialog shown over
  // `parent`.
  AnalysisRunner(DialogProvider& dialogs, QWidget* parent);

  // Run `job` on a worker thread and return when it has finished. The GUI
  // keeps repainting meanwhile.
  void Run(const std::function<void(UserInterface&)>& job);

  // The progress dialog's label.
  static QString Label();

 private:
  DialogProvider& dialogs_;
  QWidget* parent_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_ANALYSIS_RUNNER_H_
