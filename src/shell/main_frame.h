// The Marvolen main window: an MDI area with the document windows, the
// menus, the toolbar and the status bar, and the commands on files and
// windows.
//
// The document commands (the 编辑, 歧义格式分析 and 窗口 menus, and the
// file commands on the active document) are in the menus only while a
// document window is active. UpdateActions is the one place that enables,
// checks and lists the actions; it runs whenever the active window, a
// document, the selection, the undo state, the clipboard or the recent-file
// list changes.
#ifndef MARVOLEN_SHELL_MAIN_FRAME_H_
#define MARVOLEN_SHELL_MAIN_FRAME_H_

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;

namespace marvolen {

class CChildFrame;
class CMarvolenDoc;
class DialogProvider;
class RecentFileList;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // The analysis runs in `startupDir`; messages and file dialogs go through
  // `dialogs`; opened files go on `recentFiles`.
  CMainFrame(std::string startupDir, DialogProvider& dialogs, RecentFileList& recentFiles);
  ~CMainFrame() override;

  // Create the actions, the menus, the toolbar and the status bar.
  bool OnCreate();

  // Open the file at `path` in a new window, or activate the window of its
  // document when it is open already. False when it cannot be opened (the
  // person has been told why).
  bool OpenFile(const QString& path);

  QAction* action(int command) const;
  CChildFrame* activeChild() const;
  // The document windows in the order they were made.
  QList<CChildFrame*> childFrames() const;
  // The open documents, each once.
  std::vector<CMarvolenDoc*> documents() const;
  QMdiArea* mdiArea() const { return mdiArea_; }
  QToolBar* toolBar() const { return toolBar_; }
  QMenu* windowMenu() const { return windowMenu_; }

  void UpdateActions();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Asks to save when the last window of a modified document closes.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void ConnectCommands();

  void NewFile();
  void AddChild(CMarvolenDoc* document);
  void CloseDocument();
  bool SaveDocument(CMarvolenDoc* document, bool askName);
  // Ask whether to save a modified document: true when it was saved or its
  // changes may go (then it is added to `discarded`), false when the person
  // cancels or the save fails.
  bool MaybeSave(CMarvolenDoc* document, std::vector<CMarvolenDoc*>* discarded);
  void AddToRecentFiles(const QString& path);
  void OpenRecentFile(int index);
  void Print();
  void PrintPreview();
  void PrintSetup();
  QPrinter& printer();
  void ArrangeIcons();
  void ShowMessage(const QString& text);

  void UpdateTitles();
  void UpdateRecentFileActions();
  void UpdateWindowMenu();
  void UpdateIndicators();

  std::string startupDir_;
  DialogProvider& dialogs_;
  RecentFileList& recentFiles_;
  QMdiArea* mdiArea_;
  std::map<int, QAction*> actions_;
  std::vector<QAction*> recentActions_;
  std::vector<QAction*> windowEntries_;
  std::vector<QMenu*> startMenus_;     // shown while no document window is active
  std::vector<QMenu*> documentMenus_;  // shown while one is
  QMenu* windowMenu_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  std::vector<std::pair<QLabel*, QString>> indicators_;
  QPointer<QMdiSubWindow> lastActive_;
  std::unique_ptr<QPrinter> printer_;
  int untitledCount_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MAIN_FRAME_H_
