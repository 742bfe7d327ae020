// The Marvolen main window.
#include "shell/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <set>

#include "shell/about_dialog.h"
#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/dialogs.h"
#include "shell/images.h"
#include "shell/lock_keys.h"
#include "shell/marvolen_doc.h"
#include "shell/marvolen_view.h"
#include "shell/recent_file_list.h"

namespace marvolen {

namespace {

struct ActionSpec {
  int command;
  const char* text;    // the menu text, with the accelerator after a tab
  const char* prompt;  // the status-bar prompt, with the tooltip after a line feed
  const char* keys;    // shortcuts, separated by "; "
};

const ActionSpec kActions[] = {
    {kFileNew, "新建(&N)\tCtrl+N", "建立新文档\n新建", "Ctrl+N"},
    {kFileOpen, "打开(&O)...\tCtrl+O", "打开一个现有文档\n打开", "Ctrl+O"},
    {kFileClose, "关闭(&C)", "关闭活动文档\n关闭", ""},
    {kFileSave, "保存(&S)\tCtrl+S", "保存活动文档\n保存", "Ctrl+S"},
    {kFileSaveAs, "另存为(&A)...", "将活动文档以一个新文件名保存\n另存为", ""},
    {kFilePrint, "打印(&P)...\tCtrl+P", "打印活动文档\n打印", "Ctrl+P"},
    {kFilePrintPreview, "打印预览(&V)", "显示整页\n打印预览", ""},
    {kFilePrintSetup, "打印设置(&R)...", "改变打印机及打印选项\n打印设置", ""},
    {kAppExit, "退出(&X)", "退出应用程序；提示保存文档\n退出", ""},
    {kEditUndo, "撤消(&U)\tCtrl+Z", "撤消最后一步操作\n撤消", "Ctrl+Z; Alt+Backspace"},
    {kEditCut, "剪切(&T)\tCtrl+X", "剪切被选对象并将其置于剪贴板上\n剪切", "Ctrl+X; Shift+Del"},
    {kEditCopy, "复制(&C)\tCtrl+C", "复制被选对象并将其置于剪贴板上\n复制", "Ctrl+C; Ctrl+Ins"},
    {kEditPaste, "粘贴(&P)\tCtrl+V", "插入剪贴板内容\n粘贴", "Ctrl+V; Shift+Ins"},
    {kViewToolbar, "工具栏(&T)", "显示或隐藏工具栏\n显隐工具栏", ""},
    {kViewStatusBar, "状态栏(&S)", "显示或隐藏状态栏\n显隐状态栏", ""},
    {kGenerateReport, "生成歧义格式统计报告",
     "根据给定的规则文件，标签文件，格式序列文件，生成歧义格式统计报告文件", ""},
    {kWindowNew, "新建窗口(&N)", "为活动文档打开另一个窗口\n新建窗口", ""},
    {kWindowCascade, "层叠(&C)", "排列窗口成相互重叠\n层叠窗口", ""},
    {kWindowTile, "平铺(&T)", "排列窗口成互不重叠\n平铺窗口", ""},
    {kWindowArrange, "排列图标(&A)", "将图标排列在窗口底部\n排列图标", ""},
    {kAppAbout, "关于 Marvolen(&A)...", "显示程序信息，版本号和版权\n关于", ""},
    {kNextPane, "", "切换到下一个窗格\n下一窗格", "F6"},
    {kPrevPane, "", "切换回前一个窗格\n前一窗格", "Shift+F6"},
};

// When a menu shows it: always, or only while no / a document window is
// active. 0 in a command list is a separator; kRecentFile1 stands for the
// whole recent-file list.
enum class Shown { kAlways, kWithoutDocument, kWithDocument };
struct MenuSpec {
  const char* title;
  Shown shown;
  std::vector<int> commands;
};

const MenuSpec kMenus[] = {
    {"文件(&F)", Shown::kWithoutDocument,
     {kFileNew, kFileOpen, 0, kFilePrintSetup, 0, kRecentFile1, 0, kAppExit}},
    {"文件(&F)", Shown::kWithDocument,
     {kFileNew, kFileOpen, kFileClose, kFileSave, kFileSaveAs, 0, kFilePrint, kFilePrintPreview,
      kFilePrintSetup, 0, kRecentFile1, 0, kAppExit}},
    {"编辑(&E)", Shown::kWithDocument, {kEditUndo, 0, kEditCut, kEditCopy, kEditPaste}},
    {"查看(&V)", Shown::kAlways, {kViewToolbar, kViewStatusBar}},
    {"歧义格式分析(&A)", Shown::kWithDocument, {kGenerateReport}},
    {"窗口(&W)", Shown::kWithDocument, {kWindowNew, kWindowCascade, kWindowTile, kWindowArrange}},
    {"帮助(&H)", Shown::kAlways, {kAppAbout}},
};

const int kToolbarButtons[] = {kFileNew, kFileOpen, kFileSave, 0, kEditCut, kEditCopy, kEditPaste,
                               0, kFilePrint, 0, kAppAbout};

// Commands that need an active document window.
const int kDocumentCommands[] = {kFileClose, kFileSave, kFileSaveAs, kFilePrint, kFilePrintPreview,
                                 kGenerateReport, kWindowNew, kWindowCascade, kWindowTile,
                                 kWindowArrange, kNextPane, kPrevPane};

// The window list of the 窗口 menu shows at most this many windows.
constexpr int kWindowListSize = 9;

// Menus whose greyed items can be highlighted, so that their status-bar
// prompts show as for the others.
class MenuStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

QString EscapeAmpersands(QString text) { return text.replace(QLatin1Char('&'), QLatin1String("&&")); }

}  // namespace

CMainFrame::CMainFrame(std::string startupDir, DialogProvider& dialogs, RecentFileList& recentFiles)
    : startupDir_(std::move(startupDir)),
      dialogs_(dialogs),
      recentFiles_(recentFiles),
      mdiArea_(new QMdiArea(this)) {
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea_);
  setWindowIcon(AppIcon());
  setWindowTitle(QStringLiteral("Marvolen"));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) resize(screen->availableSize() * 4 / 5);
}

CMainFrame::~CMainFrame() {
  // QWidget's destructor, which runs after this one, closes the children,
  // and they signal it (the MDI area a change of the active window, the
  // toolbar its visibility); no signal may reach this half-destroyed window.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  QGuiApplication::clipboard()->disconnect(this);
}

bool CMainFrame::OnCreate() {
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  ConnectCommands();
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
    if (window != nullptr) lastActive_ = window;
    UpdateActions();
  });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateActions);
  UpdateActions();
  return true;
}

void CMainFrame::CreateActions() {
  for (const ActionSpec& spec : kActions) {
    auto* action = new QAction(QString::fromUtf8(spec.text), this);
    const QString prompt = QString::fromUtf8(spec.prompt);
    action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
    if (prompt.contains(QLatin1Char('\n'))) action->setToolTip(prompt.section(QLatin1Char('\n'), 1));
    if (*spec.keys != '\0') action->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(spec.keys)));
    action->setData(spec.command);
    actions_[spec.command] = action;
  }
  action(kViewToolbar)->setCheckable(true);
  action(kViewStatusBar)->setCheckable(true);
  for (int i = 0; i < kRecentFileCount; ++i) {
    auto* entry = new QAction(this);
    entry->setData(kRecentFile1 + i);
    entry->setStatusTip(QStringLiteral("打开该文档"));
    connect(entry, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
    recentActions_.push_back(entry);
    actions_[kRecentFile1 + i] = entry;
  }
  // The accelerators work whichever menus are shown.
  for (const auto& [command, action] : actions_) addAction(action);
}

void CMainFrame::CreateMenus() {
  auto* style = new MenuStyle;
  style->setParent(this);
  for (const MenuSpec& spec : kMenus) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(spec.title));
    menu->setStyle(style);
    for (int command : spec.commands) {
      if (command == 0) {
        menu->addSeparator();
      } else if (command == kRecentFile1) {
        for (QAction* entry : recentActions_) menu->addAction(entry);
      } else {
        menu->addAction(action(command));
      }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateActions);
    if (spec.shown == Shown::kWithoutDocument) startMenus_.push_back(menu);
    if (spec.shown == Shown::kWithDocument) documentMenus_.push_back(menu);
    if (spec.commands.front() == kWindowNew) windowMenu_ = menu;
  }
  connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);
}

void CMainFrame::CreateToolBar() {
  toolBar_ = addToolBar(QStringLiteral("工具栏"));
  toolBar_->setObjectName(QStringLiteral("toolbar"));
  toolBar_->setIconSize(kToolbarImageSize);
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  for (int command : kToolbarButtons) {
    if (command == 0) {
      toolBar_->addSeparator();
      continue;
    }
    action(command)->setIcon(ToolbarImage(command));
    toolBar_->addAction(action(command));
  }
  connect(toolBar_, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateActions);
}

void CMainFrame::CreateStatusBar() {
  // The message pane shows the idle text while no prompt covers it.
  auto* idle = new QLabel(QStringLiteral("就绪"));
  idle->setObjectName(QStringLiteral("idleMessage"));
  statusBar()->addWidget(idle, 1);
  for (const char* name : {"大写", "数字", "滚动"}) {
    const QString text = QString::fromUtf8(name);
    auto* label = new QLabel;
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 8);
    statusBar()->addPermanentWidget(label);
    indicators_.emplace_back(label, text);
  }
  UpdateIndicators();
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
  timer->start(250);
}

void CMainFrame::ConnectCommands() {
  auto on = [this](int command, auto handler) {
    connect(action(command), &QAction::triggered, this, handler);
  };
  on(kFileNew, [this] { NewFile(); });
  on(kFileOpen, [this] {
    const QString path = dialogs_.GetOpenFileName(this);
    if (!path.isEmpty()) OpenFile(path);
  });
  on(kFileClose, [this] { CloseDocument(); });
  on(kFileSave, [this] {
    if (CChildFrame* child = activeChild()) SaveDocument(child->document(), false);
  });
  on(kFileSaveAs, [this] {
    if (CChildFrame* child = activeChild()) SaveDocument(child->document(), true);
  });
  on(kFilePrint, [this] { Print(); });
  on(kFilePrintPreview, [this] { PrintPreview(); });
  on(kFilePrintSetup, [this] { PrintSetup(); });
  on(kAppExit, [this] { close(); });
  auto onView = [this, &on](int command, void (QPlainTextEdit::*slot)()) {
    on(command, [this, slot] {
      if (CChildFrame* child = activeChild()) (child->view()->*slot)();
    });
  };
  onView(kEditUndo, &QPlainTextEdit::undo);
  onView(kEditCut, &QPlainTextEdit::cut);
  onView(kEditCopy, &QPlainTextEdit::copy);
  onView(kEditPaste, &QPlainTextEdit::paste);
  on(kViewToolbar, [this](bool checked) { toolBar_->setVisible(checked); });
  on(kViewStatusBar, [this](bool checked) { statusBar()->setVisible(checked); });
  on(kGenerateReport, [this] {
    if (CChildFrame* child = activeChild()) child->OnGenerateReport();
  });
  on(kWindowNew, [this] {
    if (CChildFrame* child = activeChild()) AddChild(child->document());
  });
  on(kWindowCascade, [this] { mdiArea_->cascadeSubWindows(); });
  on(kWindowTile, [this] { mdiArea_->tileSubWindows(); });
  on(kWindowArrange, [this] { ArrangeIcons(); });
  // Each document window has one pane: the next pane is the next window.
  on(kNextPane, [this] { mdiArea_->activateNextSubWindow(); });
  on(kPrevPane, [this] { mdiArea_->activatePreviousSubWindow(); });
  on(kAppAbout, [this] {
    AboutDialog dialog(this);
    dialogs_.RunModal(&dialog);
  });
}

QAction* CMainFrame::action(int command) const {
  const auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

CChildFrame* CMainFrame::activeChild() const {
  if (auto* current = qobject_cast<CChildFrame*>(mdiArea_->currentSubWindow())) return current;
  // While a dialog has the focus the area may have no current window.
  if (lastActive_ != nullptr && mdiArea_->subWindowList().contains(lastActive_.data()))
    return qobject_cast<CChildFrame*>(lastActive_.data());
  return nullptr;
}

QList<CChildFrame*> CMainFrame::childFrames() const {
  QList<CChildFrame*> frames;
  for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder))
    if (auto* frame = qobject_cast<CChildFrame*>(window)) frames.append(frame);
  return frames;
}

std::vector<CMarvolenDoc*> CMainFrame::documents() const {
  std::vector<CMarvolenDoc*> docs;
  for (CChildFrame* frame : childFrames())
    if (std::find(docs.begin(), docs.end(), frame->document()) == docs.end()) docs.push_back(frame->document());
  return docs;
}

bool CMainFrame::OpenFile(const QString& path) {
  const QString wanted = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
  for (CChildFrame* frame : childFrames()) {
    if (frame->document()->path() != wanted) continue;
    mdiArea_->setActiveSubWindow(frame);
    return true;
  }
  auto* doc = new CMarvolenDoc(QString(), this);
  QString error;
  if (!doc->Load(path, &error)) {
    delete doc;
    ShowMessage(error);
    return false;
  }
  AddChild(doc);
  AddToRecentFiles(doc->path());
  return true;
}

void CMainFrame::NewFile() { AddChild(new CMarvolenDoc(QStringLiteral("Marvo%1").arg(++untitledCount_), this)); }

void CMainFrame::AddChild(CMarvolenDoc* document) {
  auto* frame = new CChildFrame(document, dialogs_, startupDir_);
  frame->installEventFilter(this);
  mdiArea_->addSubWindow(frame);
  // A new window takes most of the area and is cascaded below and to the
  // right of the windows before it, starting again at the top left when it
  // would leave the area.
  const QSize area = mdiArea_->isVisible() ? mdiArea_->viewport()->size() : size() - QSize(0, 100);
  const QSize extent(area.width() * 3 / 4, area.height() * 3 / 4);
  frame->resize(extent);
  const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame) + 4;
  const int room = std::max(1, std::min(area.width() - extent.width(), area.height() - extent.height()) / step + 1);
  frame->move(QPoint(step, step) * static_cast<int>((mdiArea_->subWindowList().size() - 1) % room));

  connect(document, &CMarvolenDoc::changed, this, &CMainFrame::UpdateActions, Qt::UniqueConnection);
  connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateActions);
  connect(frame->view(), &QPlainTextEdit::copyAvailable, this, &CMainFrame::UpdateActions);
  connect(frame->view(), &QPlainTextEdit::undoAvailable, this, &CMainFrame::UpdateActions);
  frame->show();
  mdiArea_->setActiveSubWindow(frame);
  frame->view()->setFocus();
  UpdateActions();
}

void CMainFrame::CloseDocument() {
  CChildFrame* active = activeChild();
  if (active == nullptr) return;
  CMarvolenDoc* doc = active->document();
  if (!MaybeSave(doc, nullptr)) return;
  // Saved or given up: the windows close without asking again.
  doc->text()->setModified(false);
  for (CChildFrame* frame : childFrames())
    if (frame->document() == doc) frame->close();
}

bool CMainFrame::SaveDocument(CMarvolenDoc* document, bool askName) {
  QString path = document->path();
  // A file that can no longer be written is saved under a new name.
  const QFileInfo info(path);
  if (path.isEmpty() || (info.exists() && !info.isWritable())) askName = true;
  if (askName) {
    path = dialogs_.GetSaveFileName(this, path.isEmpty() ? document->title() : path);
    if (path.isEmpty()) return false;
  }
  const QString before = document->path();
  QString error;
  if (!document->Save(path, &error)) {
    ShowMessage(error);
    return false;
  }
  if (document->path() != before) AddToRecentFiles(document->path());
  return true;
}

bool CMainFrame::MaybeSave(CMarvolenDoc* document, std::vector<CMarvolenDoc*>* discarded) {
  if (!document->isModified()) return true;
  switch (dialogs_.AskSaveChanges(this, QStringLiteral("是否保存对 %1 的更改？").arg(document->title()))) {
    case SaveChoice::kSave:
      return SaveDocument(document, false);
    case SaveChoice::kDiscard:
      if (discarded != nullptr) discarded->push_back(document);
      return true;
    case SaveChoice::kCancel:
      break;
  }
  return false;
}

void CMainFrame::AddToRecentFiles(const QString& path) {
  recentFiles_.Add(path);
  UpdateActions();
}

void CMainFrame::OpenRecentFile(int index) {
  const QString path = recentFiles_.entries().value(index);
  if (path.isEmpty() || OpenFile(path)) return;
  // A file that cannot be opened any more leaves the list.
  recentFiles_.Remove(static_cast<int>(recentFiles_.entries().indexOf(path)));
  UpdateActions();
}

QPrinter& CMainFrame::printer() {
  if (printer_ == nullptr) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void CMainFrame::Print() {
  CChildFrame* child = activeChild();
  if (child != nullptr && dialogs_.ConfirmPrint(this, &printer())) child->view()->document()->print(&printer());
}

void CMainFrame::PrintPreview() {
  CChildFrame* child = activeChild();
  if (child == nullptr) return;
  QPrintPreviewDialog preview(&printer(), this);
  preview.setWindowTitle(QStringLiteral("%1 - 打印预览").arg(child->document()->title()));
  QTextDocument* text = child->view()->document();
  connect(&preview, &QPrintPreviewDialog::paintRequested, text, [text](QPrinter* p) { text->print(p); });
  dialogs_.RunModal(&preview);
}

void CMainFrame::PrintSetup() {
  // The page setup dialog works on a system printer only; without one there
  // is nothing to set up (printing can still go to a PDF file).
  if (printer().outputFormat() != QPrinter::NativeFormat) {
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
      ShowMessage(QStringLiteral("尚未安装打印机。\n打印时可以选择打印到 PDF 文件。"));
      return;
    }
    printer().setOutputFormat(QPrinter::NativeFormat);
  }
  QPageSetupDialog dialog(&printer(), this);
  dialog.setWindowTitle(QStringLiteral("打印设置"));
  dialogs_.RunModal(&dialog);
}

void CMainFrame::ArrangeIcons() {
  int x = 0;
  const int bottom = mdiArea_->viewport()->height();
  for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
    if (!window->isMinimized()) continue;
    window->move(x, bottom - window->height());
    x += window->width();
  }
}

void CMainFrame::ShowMessage(const QString& text) { dialogs_.ShowMessage(this, text, MessageIcon::kWarning); }

void CMainFrame::UpdateActions() {
  CChildFrame* child = activeChild();
  const bool document = child != nullptr;
  for (QMenu* menu : startMenus_) menu->menuAction()->setVisible(!document);
  for (QMenu* menu : documentMenus_) menu->menuAction()->setVisible(document);
  for (int command : kDocumentCommands) action(command)->setEnabled(document);
  const CMarvolenView* view = document ? child->view() : nullptr;
  const bool selection = view != nullptr && view->textCursor().hasSelection();
  action(kEditCut)->setEnabled(selection);
  action(kEditCopy)->setEnabled(selection);
  action(kEditUndo)->setEnabled(view != nullptr && view->document()->isUndoAvailable());
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  action(kEditPaste)->setEnabled(view != nullptr && clipboard != nullptr && clipboard->hasText());
  action(kViewToolbar)->setChecked(!toolBar_->isHidden());
  action(kViewStatusBar)->setChecked(!statusBar()->isHidden());
  UpdateRecentFileActions();
  UpdateTitles();
}

void CMainFrame::UpdateTitles() {
  // Several windows on one document are numbered: "name:1", "name:2".
  std::map<CMarvolenDoc*, QList<CChildFrame*>> windows;
  for (CChildFrame* frame : childFrames()) windows[frame->document()].append(frame);
  for (const auto& [doc, frames] : windows) {
    for (int i = 0; i < frames.size(); ++i) {
      const QString title = frames.size() == 1 ? doc->title() : QStringLiteral("%1:%2").arg(doc->title()).arg(i + 1);
      if (frames[i]->windowTitle() != title) frames[i]->setWindowTitle(title);
    }
  }
  // The active document's name follows the program's; while its window is
  // maximized the MDI area adds the window's title in brackets instead.
  CChildFrame* child = activeChild();
  if (child == nullptr || child->isMaximized()) {
    setWindowTitle(QStringLiteral("Marvolen"));
  } else {
    setWindowTitle(QStringLiteral("Marvolen - ") + child->document()->title());
  }
}

void CMainFrame::UpdateRecentFileActions() {
  const QStringList& entries = recentFiles_.entries();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* entry = recentActions_[i];
    entry->setVisible(i == 0 || i < entries.size());
    entry->setEnabled(i < entries.size());
    // An empty list shows a greyed placeholder.
    entry->setText(i < entries.size() ? recentFiles_.MenuText(i) : QStringLiteral("最近文件"));
  }
}

void CMainFrame::UpdateWindowMenu() {
  for (QAction* entry : windowEntries_) delete entry;
  windowEntries_.clear();
  const QList<CChildFrame*> frames = childFrames();
  if (frames.isEmpty()) return;
  windowEntries_.push_back(windowMenu_->addSeparator());
  auto* group = new QActionGroup(windowMenu_);
  const int active = static_cast<int>(frames.indexOf(activeChild()));
  const int listed = std::min<int>(static_cast<int>(frames.size()), kWindowListSize);
  for (int i = 0; i < listed; ++i) {
    // The active window is always listed: past the ninth it takes the ninth place.
    const int index = (i == listed - 1 && active >= listed) ? active : i;
    QAction* entry = windowMenu_->addAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(EscapeAmpersands(frames[index]->windowTitle())));
    entry->setCheckable(true);
    entry->setChecked(index == active);
    entry->setStatusTip(QStringLiteral("激活此窗口"));
    entry->setActionGroup(group);
    QMdiSubWindow* target = frames[index];
    connect(entry, &QAction::triggered, this, [this, target] { mdiArea_->setActiveSubWindow(target); });
    windowEntries_.push_back(entry);
  }
  if (frames.size() > kWindowListSize) {
    QAction* more = windowMenu_->addAction(QStringLiteral("更多窗口(&M)..."));
    more->setStatusTip(QStringLiteral("激活此窗口"));
    connect(more, &QAction::triggered, this, [this] {
      const QList<CChildFrame*> all = childFrames();
      QStringList titles;
      for (CChildFrame* frame : all) titles.append(frame->windowTitle());
      const int chosen = dialogs_.ChooseWindow(this, titles, static_cast<int>(all.indexOf(activeChild())));
      if (chosen >= 0 && chosen < all.size()) mdiArea_->setActiveSubWindow(all[chosen]);
    });
    windowEntries_.push_back(more);
  }
}

void CMainFrame::UpdateIndicators() {
  const LockKeyState state = QueryLockKeys();
  const bool lit[] = {state.caps, state.num, state.scroll};
  for (size_t i = 0; i < indicators_.size(); ++i) {
    const QString text = state.known && lit[i] ? indicators_[i].second : QString();
    if (indicators_[i].first->text() != text) indicators_[i].first->setText(text);
  }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  auto* frame = qobject_cast<CChildFrame*>(watched);
  if (frame != nullptr && event->type() == QEvent::Close && !frame->analysisRunning()) {
    // Only the last window of a document asks to save it.
    int windows = 0;
    for (CChildFrame* other : childFrames()) windows += other->document() == frame->document();
    if (windows == 1 && !MaybeSave(frame->document(), nullptr)) {
      event->ignore();
      return true;
    }
    // Renumber the windows once this one has left the area.
    QTimer::singleShot(0, this, &CMainFrame::UpdateActions);
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  std::vector<CMarvolenDoc*> discarded;
  const QList<CChildFrame*> frames = childFrames();
  bool close = std::none_of(frames.begin(), frames.end(), [](CChildFrame* f) { return f->analysisRunning(); });
  for (CMarvolenDoc* doc : documents()) close = close && MaybeSave(doc, &discarded);
  if (!close) {
    event->ignore();
    return;
  }
  // Every question was answered: what was given up is not asked about again.
  for (CMarvolenDoc* doc : discarded) doc->text()->setModified(false);
  QMainWindow::closeEvent(event);
}

}  // namespace marvolen
