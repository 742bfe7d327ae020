// The Marvolen document window: the window in the main window's MDI area
// that holds one view of a document. The analysis command is its own, so
// the analysis is offered only while a document window is active. The
// analysis runs on a worker thread behind a modal progress dialog that
// cannot be closed; its messages are shown one at a time, in order, on the
// GUI thread while it waits for each to be dismissed.
#ifndef MARVOLEN_SHELL_CHILD_FRAME_H_
#define MARVOLEN_SHELL_CHILD_FRAME_H_

#include <QMdiSubWindow>
#include <functional>
#include <string>

#include "platform/user_interface.h"

namespace marvolen {

class CMarvolenDoc;
class CMarvolenView;
class DialogProvider;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  // A window with a new view on `document`. The analysis runs in
  // `startupDir` and talks to the person through `dialogs`.
  CChildFrame(CMarvolenDoc* document, DialogProvider& dialogs, std::string startupDir);

  CMarvolenView* view() const { return view_; }
  CMarvolenDoc* document() const;

  // "生成歧义格式统计报告": one analysis run on the data files as they are on
  // disk (open documents are neither saved nor read). The window stays open
  // while it runs.
  void OnGenerateReport();
  bool analysisRunning() const { return analysisRunning_; }

 private:
  CMarvolenView* view_;
  DialogProvider& dialogs_;
  std::string startupDir_;
  bool analysisRunning_ = false;
};

// Run `job` as the analysis command does, and return when it has finished
// (the GUI repaints meanwhile); messages go through `dialogs`.
void RunWithProgress(DialogProvider& dialogs, QWidget* parent,
                     const std::function<void(UserInterface&)>& job);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_CHILD_FRAME_H_
