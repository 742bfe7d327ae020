// The Marvolen main window: an MDI area with the document windows and the
// report window, the find bar under them, the menus, the toolbar and the
// status bar, and the commands on files and windows. The document commands
// (the 编辑, 歧义格式分析 and 窗口 menus, the file commands on the active
// document) show only while a document or report window is active.
// UpdateActions is the one place that shows, enables and checks the actions
// and titles the windows; it runs whenever the active window, a document,
// the selection, the undo state, the clipboard or the recent-file list
// changes.
//
// After each analysis the report opens in the report window (or reloads in
// it), with the run's messages. Files changed on the disk by another program
// are noticed when the main window becomes active again: an unmodified
// document reloads, a modified one asks.
#ifndef MARVOLEN_SHELL_MAIN_FRAME_H_
#define MARVOLEN_SHELL_MAIN_FRAME_H_

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

class QDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;

namespace marvolen {

class CChildFrame;
class CMarvolenDoc;
class DialogProvider;
class FindBar;
class ParsePane;
class RecentFileList;
class ReportWindow;
class TextPane;
struct WorkbenchLayout;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // The analysis runs in `startupDir`; the person is asked and told through
  // `dialogs`; opened files go on `recentFiles`; the size of the text and
  // whether document windows open maximized come from `layout`, which keeps
  // the text size chosen.
  CMainFrame(std::string startupDir, DialogProvider& dialogs, RecentFileList& recentFiles,
             WorkbenchLayout& layout);
  ~CMainFrame() override;

  // Create the actions, the menus, the toolbar and the status bar.
  void OnCreate();
  // Open the file at `path` in a new window, or activate its window when it
  // is open already. False when it cannot be opened (after a message).
  bool OpenFile(const QString& path);

  // Show the report at `path` in the report window, opened or reloaded.
  // False when it cannot be read (after a message).
  bool OpenReport(const QString& path);
  // "生成歧义格式统计报告": ask about unsaved data files, run the analysis,
  // then show the report and the run's messages.
  void GenerateReport();
  bool analysisRunning() const { return stop_ != nullptr; }
  // Reload what another program changed on the disk (asking first for a
  // document with unsaved edits).
  void CheckFilesOnDisk();
  // The text one step larger (1), smaller (-1), or at its default size (0).
  void Zoom(int steps);
  // Remember in the layout where the main window is and whether the active
  // window is maximized.
  void SaveLayout();

  QAction* action(int command) const { return actions_.at(command); }
  CChildFrame* activeChild() const;
  ReportWindow* reportWindow() const;       // null while none is open
  TextPane* activePane() const;             // the text of the active window
  QList<CChildFrame*> childFrames() const;  // in the order they were made
  QMdiArea* mdiArea() const { return mdiArea_; }
  QMenu* windowMenu() const { return windowMenu_; }
  FindBar* findBar() const { return findBar_; }
  QLabel* cursorPane() const { return cursorPane_; }
  ParsePane* parsePane() const { return parsePane_; }

  void UpdateActions();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Watches the document windows' Close events (see AddChild).
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  void CreateMenusAndBars();
  void AddChild(CMarvolenDoc* document);
  // Put `window` in the area at a useful size, maximized when that is how
  // document windows were last seen, and activate it.
  void AddWindow(QMdiSubWindow* window);
  // Ask about data files with unsaved edits before an analysis: false when
  // the analysis should not run.
  bool SaveDataFilesBeforeRun();
  void ShowCursorPosition();
  bool SaveDocument(CMarvolenDoc* document, bool askName);
  // Ask whether to save a modified document: true when it was saved or its
  // changes may go, false when the person cancels or the save fails.
  bool MaybeSave(CMarvolenDoc* document);
  QPrinter& printer();
  void UpdateWindowMenu();

  std::string startupDir_;
  DialogProvider& dialogs_;
  RecentFileList& recentFiles_;
  WorkbenchLayout& layout_;
  QMdiArea* mdiArea_;
  FindBar* findBar_;
  QLabel* cursorPane_ = nullptr;
  std::map<int, QAction*> actions_;
  QList<QAction*> startBar_;     // the menus shown while no document window is active
  QList<QAction*> documentBar_;  // the menus shown while one is
  QMenu* windowMenu_ = nullptr;
  std::vector<QAction*> windowEntries_;
  QToolBar* toolBar_ = nullptr;
  ParsePane* parsePane_ = nullptr;
  bool paneWidthRestored_ = false;  // the remembered width given, at the first show
  std::unique_ptr<QPrinter> printer_;
  int untitledCount_ = 0;
  std::stop_source* stop_ = nullptr;  // the running analysis's stop
  bool closeAfterRun_ = false;
  QPointer<QDialog> stopQuestion_;  // "stop and quit?" while it is asked
  bool checkingFiles_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MAIN_FRAME_H_
