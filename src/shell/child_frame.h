// The Marvolen document window: the window in the main window's MDI area
// that holds one view of a document. The analysis command is its own, so
// the analysis is offered while a document window is active. The analysis
// runs on a worker thread behind a progress window, with the main window
// taking no input meanwhile; its messages are shown one at a time, in order,
// on the GUI thread while it waits for each to be dismissed, and kept with
// the files and lines they come from.
#ifndef MARVOLEN_SHELL_CHILD_FRAME_H_
#define MARVOLEN_SHELL_CHILD_FRAME_H_

#include <QMdiSubWindow>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "datafiles/user_interface.h"
#include "run/run.h"
#include "shell/report_window.h"

namespace marvolen {

class CMarvolenDoc;
class CMarvolenView;
class DialogProvider;

// How an analysis ended (OpenFailed also when it could not finish), its
// messages in the order shown, the HTML report it wrote ("" if none), and
// every file it wrote (absolute paths), the report first.
struct AnalysisOutcome {
  RunEnd end = RunEnd::OpenFailed;
  std::vector<RunMessage> messages;
  QString htmlReport;
  QStringList written;
};

// What a run writes besides the report, beside it: RESULT's name with its
// last extension (if any) replaced, "report.txt" -> "report.html".
struct RunExports {
  bool htmlReport = false;
  bool csvTable = false;
};
std::string PathBesideReport(const std::string& result, const char* extension);

// A message of the run as the workbench shows it: the run's own texts in
// Chinese, the analysis' fixed texts and every name and number as they are.
QString WorkbenchMessage(const QString& text);

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  // A window with a new view on `document`. The analysis runs in
  // `startupDir` and talks to the person through `dialogs`.
  CChildFrame(CMarvolenDoc* document, DialogProvider& dialogs, std::string startupDir);

  CMarvolenView* view() const { return view_; }
  CMarvolenDoc* document() const;

  // "生成歧义格式统计报告": one analysis run on the data files as they are on
  // disk (open documents are neither saved nor read); a stop requested on
  // `stop` (the progress window's 取消) ends it early. The window stays open
  // while it runs.
  AnalysisOutcome OnGenerateReport(std::stop_source& stop, RunExports exports = {});

 private:
  CMarvolenView* view_;
  DialogProvider& dialogs_;
  std::string startupDir_;
};

// The analysis command's run in `startupDir`, for any window `parent`. An
// export that cannot be made is told of and costs nothing else.
AnalysisOutcome GenerateReport(DialogProvider& dialogs, QWidget* parent,
                               const std::string& startupDir, std::stop_source& stop,
                               RunExports exports = {});

// Run `job` as the analysis command does, and return when it has finished
// (the GUI repaints meanwhile; `parent`'s window takes no input). Messages
// go through `dialogs`; they are returned in order, with the files of their
// places taken relative to `startupDir`. With `stop`, the progress window
// has a 取消 button that requests it.
std::vector<RunMessage> RunWithProgress(DialogProvider& dialogs, QWidget* parent,
                                        const std::function<void(UserInterface&)>& job,
                                        std::stop_source* stop = nullptr,
                                        const std::string& startupDir = std::string());

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_CHILD_FRAME_H_
