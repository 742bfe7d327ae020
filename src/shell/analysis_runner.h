// The analysis as the workbench runs it: on a worker thread behind a
// progress window, with the main window taking no input meanwhile; its
// messages are shown one at a time, in order, on the GUI thread while it
// waits for each to be dismissed, and kept with the files and lines they
// come from. What a run writes besides the report, and the hand-off of its
// outputs, are here too.
#ifndef MARVOLEN_SHELL_ANALYSIS_RUNNER_H_
#define MARVOLEN_SHELL_ANALYSIS_RUNNER_H_

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "datafiles/user_interface.h"
#include "grammar/cfg_rule.h"
#include "rules/rule_effects.h"
#include "run/run.h"
#include "shell/changes_view.h"
#include "shell/report_window.h"

class QDialog;
class QWidget;

namespace marvolen {

class DialogProvider;

// How an analysis ended (OpenFailed also when it could not finish), its
// messages in the order shown, the HTML report it wrote ("" if none), and
// every file it wrote (absolute paths), the report first.
struct AnalysisOutcome {
  RunEnd end = RunEnd::OpenFailed;
  std::vector<RunMessage> messages;
  QString htmlReport;
  QStringList written;
  // Of a completed run: its rules, and each rule's usage and what-if.
  RuleSet rules;
  std::vector<RuleEffect> ruleEffects;
  AnalysisChanges changes;  // what changed since the previous analysis
};

// What a run writes besides the report, beside it: RESULT's name with its
// last extension (if any) replaced, "report.txt" -> "report.html". Every
// run also keeps its table of permutations there, kResultsTable
// ("report.results.csv"), for the next run to compare with; the CSV export
// asked for ("report.csv") is written besides, as another file.
struct RunExports {
  bool htmlReport = false;
  bool csvTable = false;
};
std::string PathBesideReport(const std::string& result, const char* extension);
inline constexpr char kResultsTable[] = "results.csv";

// A message of the run as the workbench shows it: the run's own texts in
// Chinese, the analysis' fixed texts and every name and number as they are.
QString WorkbenchMessage(const QString& text);

// The analysis command of a window (the main window): one run at a time,
// in `startupDir`, talking to the person through `dialogs`. An export that
// cannot be made is told of and costs nothing else.
class AnalysisRunner : public QObject {
  Q_OBJECT

 public:
  AnalysisRunner(std::string startupDir, DialogProvider& dialogs, QWidget* window);

  bool running() const { return stop_ != nullptr; }
  // "生成歧义格式统计报告": one analysis run on the data files as they are on
  // disk (open documents are neither saved nor read), writing `exports`
  // beside the report; the progress window's 取消 stops it early. Returns
  // when it has ended.
  // With `compareRules`, it compares with that rules file rather than
  // with the table the last run kept.
  AnalysisOutcome Run(RunExports exports, const std::string& compareRules = std::string());
  // The messages to list after a run: the run's own, every file it wrote
  // and their folder; the HTML report is handed to the system's browser,
  // with a note (also set in `note`, for the status bar) that names it.
  std::vector<RunMessage> HandOff(const AnalysisOutcome& outcome, QString* note);
  // The window was asked to close while the analysis runs: ask whether to
  // stop it and close the window once it has ended (closeRequested).
  void AskToStopAndClose();
  bool closeRequested() const { return closeAfterRun_; }

 private:
  std::string startupDir_;
  DialogProvider& dialogs_;
  QWidget* window_;
  std::stop_source* stop_ = nullptr;  // the running analysis's stop
  bool closeAfterRun_ = false;
  QPointer<QDialog> stopQuestion_;  // "stop and quit?" while it is asked
};

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

#endif  // MARVOLEN_SHELL_ANALYSIS_RUNNER_H_
