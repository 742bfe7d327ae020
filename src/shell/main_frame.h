// The Marvolen main window: an MDI area with the document windows, the
// menus, the toolbar and the status bar, and the commands on files and
// windows. The document commands (the 编辑, 歧义格式分析 and 窗口 menus, the
// file commands on the active document) show only while a document window
// is active. UpdateActions is the one place that shows, enables and checks
// the actions; it runs whenever the active window, a document, the
// selection, the undo state, the clipboard or the recent-file list changes.
#ifndef MARVOLEN_SHELL_MAIN_FRAME_H_
#define MARVOLEN_SHELL_MAIN_FRAME_H_

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QMdiArea;
class QPrinter;

namespace marvolen {

class CChildFrame;
class CMarvolenDoc;
class DialogProvider;
class ParsePane;
class RecentFileList;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // The analysis runs in `startupDir`; the person is asked and told through
  // `dialogs`; opened files go on `recentFiles`.
  CMainFrame(std::string startupDir, DialogProvider& dialogs, RecentFileList& recentFiles);
  ~CMainFrame() override;

  // Create the actions, the menus, the toolbar and the status bar.
  void OnCreate();
  // Open the file at `path` in a new window, or activate its window when it
  // is open already. False when it cannot be opened (after a message).
  bool OpenFile(const QString& path);

  QAction* action(int command) const { return actions_.at(command); }
  CChildFrame* activeChild() const;
  QList<CChildFrame*> childFrames() const;  // in the order they were made
  QMdiArea* mdiArea() const { return mdiArea_; }
  QMenu* windowMenu() const { return windowMenu_; }
  ParsePane* parsePane() const { return parsePane_; }

  void UpdateActions();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Watches the document windows' Close events (see AddChild).
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  void CreateMenusAndBars();
  void AddChild(CMarvolenDoc* document);
  bool SaveDocument(CMarvolenDoc* document, bool askName);
  // Ask whether to save a modified document: true when it was saved or its
  // changes may go, false when the person cancels or the save fails.
  bool MaybeSave(CMarvolenDoc* document);
  QPrinter& printer();
  void UpdateWindowMenu();

  std::string startupDir_;
  DialogProvider& dialogs_;
  RecentFileList& recentFiles_;
  QMdiArea* mdiArea_;
  std::map<int, QAction*> actions_;
  QList<QAction*> startBar_;     // the menus shown while no document window is active
  QList<QAction*> documentBar_;  // the menus shown while one is
  QMenu* windowMenu_ = nullptr;
  std::vector<QAction*> windowEntries_;
  QToolBar* toolBar_ = nullptr;
  ParsePane* parsePane_ = nullptr;
  std::unique_ptr<QPrinter> printer_;
  int untitledCount_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MAIN_FRAME_H_
