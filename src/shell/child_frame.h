// The Marvolen document window: the window in the main window's MDI area
// that holds one view of a document. The analysis command is its own, so
// the analysis is offered only while a document window is active.
#ifndef MARVOLEN_SHELL_CHILD_FRAME_H_
#define MARVOLEN_SHELL_CHILD_FRAME_H_

#include <QMdiSubWindow>
#include <string>

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
  // disk (open documents are neither saved nor read). The window must not
  // close while it runs.
  void OnGenerateReport();
  bool analysisRunning() const { return analysisRunning_; }

 private:
  CMarvolenView* view_;
  DialogProvider& dialogs_;
  std::string startupDir_;
  bool analysisRunning_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_CHILD_FRAME_H_
