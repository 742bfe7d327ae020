// The workbench's main window: an MDI area with the document windows and the
// report window, the find bar under them, the menus, the toolbar and the
// status bar. The document commands (the 编辑, 歧义格式分析 and 窗口 menus,
// the file commands on the active document) show only while a document or
// report window is active. UpdateActions is the one place that shows,
// enables and checks the actions and titles the windows; it runs whenever
// the active window, a document, the selection, the undo state, the
// clipboard or the recent-file list changes.
//
// The documents are the DocumentManager's, the analysis the
// AnalysisRunner's. After each analysis the report opens in the report
// window (or reloads in it), with the run's messages. Files changed on the
// disk by another program are noticed when the main window becomes active
// again: an unmodified document reloads, a modified one asks.
//
// The commands (what each does, their actions, menus and toolbar, and
// UpdateActions) are in main_window_commands.cc.
#ifndef MARVOLEN_SHELL_MAIN_WINDOW_H_
#define MARVOLEN_SHELL_MAIN_WINDOW_H_

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "shell/commands.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace marvolen {

class AnalysisRunner;
class DataFileChecker;
class DialogProvider;
class DocumentManager;
class DocumentWindow;
class FindBar;
class ParsePane;
class RecentFileList;
class ReportWindow;
class RulesPanel;
class TextPane;
class TextPrinter;
struct WorkbenchLayout;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The analysis runs in `startupDir`; the person is asked and told through
  // `dialogs`; opened files go on `recentFiles`; the size of the text and
  // whether document windows open maximized come from `layout`, which keeps
  // the text size chosen.
  MainWindow(std::string startupDir, DialogProvider& dialogs, RecentFileList& recentFiles,
             WorkbenchLayout& layout);
  ~MainWindow() override;

  DocumentManager* documents() const { return documents_; }
  QAction* action(Command command) const { return actions_.at(command); }

  // Show the report at `path` in the report window, opened or reloaded.
  // False when it cannot be read (after a message).
  bool OpenReport(const QString& path);
  // "生成歧义格式统计报告": ask about unsaved data files, run the analysis,
  // then show the report, what changed since the previous analysis and the
  // run's messages. With `compareRules` ("与规则文件比较"), what changed
  // compared with that rules file's analysis of the same data.
  void GenerateReport(const std::string& compareRules = std::string());
  // Reload what another program changed on the disk (asking first for a
  // document with unsaved edits).
  void CheckFilesOnDisk();
  // The text one step larger (1), smaller (-1), or at its default size (0).
  void Zoom(int steps);
  // Remember in the layout where the main window is and whether the active
  // window is maximized.
  void SaveLayout();
  void UpdateActions();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateActions();
  void CreateMenusAndToolBar();
  void CreateStatusBar();
  void CreateParsePane();
  void CreateRulesPanel();
  // What each command does.
  std::map<Command, std::function<void()>> Handlers();
  void AddDocumentWindow(DocumentWindow* window);
  // Put `window` in the area at a useful size, maximized when that is how
  // document windows were last seen, and activate it.
  void AddWindow(QMdiSubWindow* window);
  // The report window's message `file` at `line` was chosen.
  void OpenPlace(const QString& file, int line);
  TextPane* activePane() const;        // the text of the active window
  ReportWindow* reportWindow() const;  // null while none is open
  void ShowCursorPosition();
  void TitleWindows();
  void GoToLine();

  std::string startupDir_;
  DialogProvider& dialogs_;
  RecentFileList& recentFiles_;
  WorkbenchLayout& layout_;
  QMdiArea* mdiArea_;
  FindBar* findBar_;
  DocumentManager* documents_;
  AnalysisRunner* runner_;
  QLabel* cursorPane_ = nullptr;
  std::map<Command, QAction*> actions_;
  QList<QAction*> startBar_;     // the menus shown while no document window is active
  QList<QAction*> documentBar_;  // the menus shown while one is
  QToolBar* toolBar_ = nullptr;
  ParsePane* parsePane_ = nullptr;
  RulesPanel* rulesPanel_ = nullptr;
  DataFileChecker* checker_ = nullptr;
  bool paneWidthRestored_ = false;  // the remembered width given, at the first show
  std::unique_ptr<TextPrinter> printer_;
  bool checkingFiles_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MAIN_WINDOW_H_
