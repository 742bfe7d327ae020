// The main window of the multiple-document framework.
#include "shell/mdi_frame_window.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QGuiApplication>
#include <QMdiArea>
#include <QStyle>
#include <QScreen>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "shell/application.h"
#include "shell/command_ids.h"
#include "shell/doc_template.h"
#include "shell/document.h"
#include "shell/edit_view.h"
#include "shell/images.h"
#include "shell/lock_keys.h"
#include "shell/mdi_child_frame.h"
#include "shell/recent_file_list.h"
#include "shell/resources.h"

namespace marvolen {

MdiFrameWindow::MdiFrameWindow(Application* app) : app_(app), mdiArea_(new QMdiArea(this)) {
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea_);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
    if (w != nullptr) lastActive_ = w;
    RequestUpdateUI();
  });

  OnCommand(ID_VIEW_TOOLBAR,
            [this] {
              if (toolBar_ != nullptr) toolBar_->setVisible(!toolBar_->isVisible());
            },
            [this](CommandState& s) {
              s.enabled = toolBar_ != nullptr;
              s.checked = toolBar_ != nullptr && !toolBar_->isHidden();
            });
  OnCommand(ID_VIEW_STATUS_BAR, [this] { statusBar()->setVisible(statusBar()->isHidden()); },
            [this](CommandState& s) { s.checked = !statusBar()->isHidden(); });

  auto needsChild = [this](CommandState& s) { s.enabled = MDIGetActive() != nullptr; };
  OnCommand(ID_WINDOW_NEW,
            [this] {
              MdiChildFrame* active = MDIGetActive();
              Document* doc = active != nullptr ? active->GetActiveDocument() : nullptr;
              if (doc == nullptr) return;
              if (MdiChildFrame* frame = doc->docTemplate()->CreateNewFrame(doc))
                doc->docTemplate()->InitialUpdateFrame(frame);
            },
            needsChild);
  OnCommand(ID_WINDOW_CASCADE, [this] { mdiArea_->cascadeSubWindows(); }, needsChild);
  OnCommand(ID_WINDOW_TILE_HORZ, [this] { mdiArea_->tileSubWindows(); }, needsChild);
  OnCommand(ID_WINDOW_ARRANGE, [this] { ArrangeIcons(); }, needsChild);
  // Each document window has one pane: the next pane is the next window.
  OnCommand(ID_NEXT_PANE, [this] { mdiArea_->activateNextSubWindow(); }, needsChild);
  OnCommand(ID_PREV_PANE, [this] { mdiArea_->activatePreviousSubWindow(); }, needsChild);
}

MdiFrameWindow::~MdiFrameWindow() {
  // QWidget's destructor, which runs after this one, hides and closes the
  // children, and they signal it (the MDI area a change of the active
  // window, the toolbar its visibility). This object is no longer a frame
  // window by then, so no signal may reach its handlers.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

bool MdiFrameWindow::LoadFrame(int resourceId, unsigned style) {
  style_ = style;
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
  if (style & WS_CAPTION) flags |= Qt::WindowTitleHint;
  if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  setWindowFlags(flags);
  if (!(style & WS_THICKFRAME)) layout()->setSizeConstraint(QLayout::SetFixedSize);
  setWindowIcon(AppIcon(resourceId));
  setWindowTitle(LoadString(resourceId));
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    resize(screen->availableSize() * 4 / 5);

  BuildMenus(resourceId);
  for (const AcceleratorResource& accel : AcceleratorTable()) {
    auto* shortcut = new QShortcut(accel.key, this);
    shortcut->setContext(Qt::WindowShortcut);
    const int id = accel.command;
    shortcut->setProperty("command", id);
    connect(shortcut, &QShortcut::activated, this, [this, id] { RouteCommand(id); });
    accelerators_.push_back(shortcut);
  }
  if (OnCreate() != 0) return false;
  ShowMenu(resourceId);
  UpdateCommandUI();
  return true;
}

int MdiFrameWindow::OnCreate() { return 0; }

QAction* MdiFrameWindow::MakeAction(int id, const QString& text) {
  auto it = actions_.find(id);
  if (it != actions_.end()) return it->second;
  auto* action = new QAction(text, this);
  action->setStatusTip(PromptFor(id));
  const QString tooltip = TooltipFor(id);
  if (!tooltip.isEmpty()) action->setToolTip(tooltip);
  action->setData(id);
  connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
  actions_[id] = action;
  return action;
}

QAction* MdiFrameWindow::ActionFor(int id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MdiFrameWindow::BuildMenus(int resourceId) {
  std::vector<int> resources = {resourceId};
  if (app_->docTemplate() != nullptr) resources.push_back(app_->docTemplate()->resourceId());
  for (int res : resources) {
    std::vector<QMenu*>& menus = menus_[res];
    for (const PopupResource& popup : MenuResource(res)) {
      auto* menu = new QMenu(QString::fromUtf8(popup.title), this);
      for (const MenuItemResource& item : popup.items) {
        if (item.text == nullptr) {
          menu->addSeparator();
          continue;
        }
        menu->addAction(MakeAction(item.id, QString::fromUtf8(item.text)));
        if (item.id == ID_FILE_MRU_FILE1) {
          // The other entries of the recent-file list follow the first.
          const int count = app_->recentFileList() != nullptr ? app_->recentFileList()->size() : 0;
          for (int i = 1; i < count; ++i) {
            QAction* entry = MakeAction(ID_FILE_MRU_FILE1 + i, QString());
            entry->setVisible(false);
            menu->addAction(entry);
          }
        }
      }
      connect(menu, &QMenu::aboutToShow, this, &MdiFrameWindow::UpdateCommandUI);
      menus.push_back(menu);
    }
  }
}

void MdiFrameWindow::ShowMenu(int resourceId) {
  if (currentMenu_ == resourceId) return;
  const auto it = menus_.find(resourceId);
  if (it == menus_.end()) return;
  menuBar()->clear();
  for (QMenu* menu : it->second) menuBar()->addMenu(menu);
  currentMenu_ = resourceId;
}

bool MdiFrameWindow::CreateToolBar(int resourceId) {
  (void)resourceId;
  toolBar_ = new QToolBar(QStringLiteral("工具栏"), this);
  toolBar_->setObjectName(QStringLiteral("toolbar%1").arg(ID_VIEW_TOOLBAR));
  toolBar_->setIconSize(QSize(kToolbarButtonWidth, kToolbarButtonHeight));
  toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolBar_->setMovable(true);  // the gripper
  for (int id : ToolbarResource()) {
    if (id == ID_SEPARATOR) {
      toolBar_->addSeparator();
      continue;
    }
    QAction* action = ActionFor(id);
    if (action == nullptr) action = MakeAction(id, TooltipFor(id));
    action->setIcon(ToolbarImage(id));
    toolBar_->addAction(action);
  }
  connect(toolBar_, &QToolBar::visibilityChanged, this, &MdiFrameWindow::RequestUpdateUI);
  return true;
}

void MdiFrameWindow::DockToolBar() {
  if (toolBar_ == nullptr) return;
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

bool MdiFrameWindow::CreateStatusBar(const std::vector<int>& indicators) {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("statusbar%1").arg(ID_VIEW_STATUS_BAR));
  setStatusBar(bar);
  for (int id : indicators) {
    if (id == ID_SEPARATOR) {
      // The message pane: the idle text, covered by prompts while they show.
      auto* idle = new QLabel(LoadString(AFX_IDS_IDLEMESSAGE), bar);
      idle->setObjectName(QStringLiteral("idleMessage"));
      bar->addWidget(idle, 1);
      continue;
    }
    auto* label = new QLabel(bar);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(LoadString(id)) + 8);
    label->setProperty("indicatorText", LoadString(id));
    label->setObjectName(QStringLiteral("indicator%1").arg(id));
    bar->addPermanentWidget(label);
    indicators_[id] = label;
  }
  UpdateIndicators();
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &MdiFrameWindow::UpdateIndicators);
  timer->start(250);
  connect(bar, &QStatusBar::destroyed, timer, &QTimer::stop);
  return true;
}

QLabel* MdiFrameWindow::indicatorLabel(int id) const {
  const auto it = indicators_.find(id);
  return it == indicators_.end() ? nullptr : it->second;
}

void MdiFrameWindow::UpdateIndicators() {
  const LockKeyState state = QueryLockKeys();
  const std::map<int, bool> on = {
      {ID_INDICATOR_CAPS, state.caps}, {ID_INDICATOR_NUM, state.num}, {ID_INDICATOR_SCRL, state.scroll}};
  for (const auto& [id, label] : indicators_) {
    const auto it = on.find(id);
    const bool lit = state.known && it != on.end() && it->second;
    const QString text = lit ? label->property("indicatorText").toString() : QString();
    if (label->text() != text) label->setText(text);
  }
}

void MdiFrameWindow::AddChildFrame(MdiChildFrame* frame) {
  mdiArea_->addSubWindow(frame);
  // A new window takes most of the area and is cascaded below and to the
  // right of the windows before it, starting again at the top left when it
  // would leave the area.
  const QSize area = mdiArea_->isVisible() ? mdiArea_->viewport()->size() : size() - QSize(0, 100);
  const QSize extent(area.width() * 3 / 4, area.height() * 3 / 4);
  frame->resize(extent);
  const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame) + 4;
  const int room = std::max(1, std::min(area.width() - extent.width(),
                                        area.height() - extent.height()) / step + 1);
  const int others = static_cast<int>(mdiArea_->subWindowList().size()) - 1;
  frame->move(QPoint(step, step) * (others % room));
  frame->setWindowIcon(AppIcon(app_->docTemplate() != nullptr ? app_->docTemplate()->resourceId() : 0));
}

MdiChildFrame* MdiFrameWindow::MDIGetActive() const {
  if (auto* current = qobject_cast<MdiChildFrame*>(mdiArea_->currentSubWindow())) return current;
  if (lastActive_ != nullptr && mdiArea_->subWindowList().contains(lastActive_.data()))
    return qobject_cast<MdiChildFrame*>(lastActive_.data());
  return nullptr;
}

std::vector<CommandTarget*> MdiFrameWindow::CommandRoute() const {
  std::vector<CommandTarget*> route;
  if (MdiChildFrame* child = MDIGetActive()) {
    if (EditView* view = child->GetActiveView()) {
      route.push_back(view);
      if (Document* doc = view->GetDocument()) route.push_back(doc);
    }
    route.push_back(child);
  }
  route.push_back(const_cast<MdiFrameWindow*>(this));
  route.push_back(app_);
  return route;
}

CommandState MdiFrameWindow::QueryRoute(int id) const {
  for (CommandTarget* target : CommandRoute())
    if (target->HandlesCommand(id)) return target->QueryCommand(id);
  CommandState none;
  none.enabled = false;
  return none;
}

bool MdiFrameWindow::RouteCommand(int id) {
  for (CommandTarget* target : CommandRoute()) {
    if (!target->HandlesCommand(id)) continue;
    if (!target->QueryCommand(id).enabled) return false;
    target->ExecuteCommand(id);
    RequestUpdateUI();
    return true;
  }
  return false;
}

void MdiFrameWindow::RequestUpdateUI() {
  if (updatePending_) return;
  updatePending_ = true;
  QTimer::singleShot(0, this, [this] {
    updatePending_ = false;
    UpdateCommandUI();
  });
}

void MdiFrameWindow::UpdateCommandUI() {
  const int documentMenu = app_->docTemplate() != nullptr ? app_->docTemplate()->resourceId() : 0;
  ShowMenu(MDIGetActive() != nullptr && documentMenu != 0 ? documentMenu : IDR_MAINFRAME);
  for (const auto& [id, action] : actions_) {
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) continue;
    const CommandState state = QueryRoute(id);
    action->setEnabled(state.enabled);
    if (state.checked) {
      action->setCheckable(true);
      action->setChecked(*state.checked);
    }
  }
  UpdateRecentFileMenu();
  UpdateFrameTitle();
}

void MdiFrameWindow::UpdateRecentFileMenu() {
  const RecentFileList* list = app_->recentFileList();
  const int count = list != nullptr ? static_cast<int>(list->entries().size()) : 0;
  for (const auto& [id, action] : actions_) {
    if (id < ID_FILE_MRU_FILE1 || id > ID_FILE_MRU_LAST) continue;
    const int index = id - ID_FILE_MRU_FILE1;
    if (index < count) {
      action->setText(list->MenuText(index));
      action->setVisible(true);
      action->setEnabled(QueryRoute(id).enabled);
    } else if (index == 0) {
      // The greyed placeholder of an empty list.
      action->setText(QStringLiteral("最近文件"));
      action->setVisible(true);
      action->setEnabled(false);
    } else {
      action->setVisible(false);
    }
  }
}

void MdiFrameWindow::UpdateFrameTitle() {
  QString title = LoadString(IDR_MAINFRAME);
  MdiChildFrame* child = MDIGetActive();
  Document* doc = child != nullptr ? child->GetActiveDocument() : nullptr;
  if ((style_ & FWS_ADDTOTITLE) && doc != nullptr) title += QStringLiteral(" - ") + doc->GetTitle();
  if (windowTitle() != title) setWindowTitle(title);
}

void MdiFrameWindow::ArrangeIcons() {
  int x = 0;
  const int bottom = mdiArea_->viewport()->height();
  for (QMdiSubWindow* w : mdiArea_->subWindowList()) {
    if (!w->isMinimized()) continue;
    w->move(x, bottom - w->height());
    x += w->width();
  }
}

void MdiFrameWindow::closeEvent(QCloseEvent* event) {
  if (closingBlocked_ || !app_->SaveAllModified()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

}  // namespace marvolen
