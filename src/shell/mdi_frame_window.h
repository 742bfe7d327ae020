// The main window of the multiple-document framework: an MDI area, the
// menus, accelerators, toolbar and status bar built from the resources, and
// the routing of every command to the object that handles it.
//
// Menu 128 is shown while no document window is active, the document
// template's menu while one is. A command is routed through the active view,
// its document, the active document window, this window and the
// application; a command that none of them handles is disabled.
#ifndef MARVOLEN_SHELL_MDI_FRAME_WINDOW_H_
#define MARVOLEN_SHELL_MDI_FRAME_WINDOW_H_

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <vector>

#include "shell/command_target.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QShortcut;
class QToolBar;

namespace marvolen {

class Application;
class MdiChildFrame;

class MdiFrameWindow : public QMainWindow, public CommandTarget {
  Q_OBJECT

 public:
  explicit MdiFrameWindow(Application* app);
  ~MdiFrameWindow() override;

  // Create the window from resource `resourceId` (title string, menus,
  // accelerators, icon) with a window style (WS_* and FWS_ADDTOTITLE bits),
  // then call OnCreate. False when OnCreate fails.
  bool LoadFrame(int resourceId, unsigned style);

  Application* app() const { return app_; }
  QMdiArea* mdiArea() const { return mdiArea_; }
  MdiChildFrame* MDIGetActive() const;
  void AddChildFrame(MdiChildFrame* frame);

  // Routing.
  std::vector<CommandTarget*> CommandRoute() const;
  CommandState QueryRoute(int id) const;
  // Run the command when a target handles it and it is enabled; false when
  // it was not run.
  bool RouteCommand(int id);

  // Bring menus, toolbar buttons, checks, the recent-file entries and the
  // title up to date (now, or soon after the current event).
  void UpdateCommandUI();
  void RequestUpdateUI();
  void UpdateFrameTitle();

  // The action of a command, shared by menus and toolbar; null when no menu
  // or toolbar uses the id.
  QAction* ActionFor(int id) const;
  // The resource id of the menu shown now (128 or the template's).
  int CurrentMenuResource() const { return currentMenu_; }
  QToolBar* toolBar() const { return toolBar_; }
  QLabel* indicatorLabel(int id) const;
  const std::vector<QShortcut*>& accelerators() const { return accelerators_; }

  // While set, the window refuses to close (a modal task is running).
  void SetClosingBlocked(bool blocked) { closingBlocked_ = blocked; }

 protected:
  // Called by LoadFrame once the window exists: 0 to go on, -1 to fail.
  virtual int OnCreate();

  // The parts OnCreate adds: a toolbar from toolbar resource `resourceId`
  // and a status bar with the given indicator panes.
  bool CreateToolBar(int resourceId);
  bool CreateStatusBar(const std::vector<int>& indicators);
  // Let the toolbar dock on any side and put it at its default place.
  void DockToolBar();

  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* MakeAction(int id, const QString& text);
  void BuildMenus(int resourceId);
  void ShowMenu(int resourceId);
  void UpdateRecentFileMenu();
  void UpdateIndicators();
  void ArrangeIcons();

  Application* app_;
  QMdiArea* mdiArea_;
  unsigned style_ = 0;
  int currentMenu_ = 0;
  std::map<int, QAction*> actions_;
  std::map<int, std::vector<QMenu*>> menus_;
  std::vector<QShortcut*> accelerators_;
  std::map<int, QLabel*> indicators_;
  QToolBar* toolBar_ = nullptr;
  QPointer<QMdiSubWindow> lastActive_;
  bool updatePending_ = false;
  bool closingBlocked_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MDI_FRAME_WINDOW_H_
