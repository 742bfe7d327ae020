// The Marvolen main window.
#include "shell/main_frame.h"

#include <QtPrintSupport>
#include <QtWidgets>
#include <algorithm>
#include <functional>
#include <set>

#include "marvolen_version.h"
#include "platform/file_system.h"
#include "run/run.h"
#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/dialogs.h"
#include "shell/find_bar.h"
#include "shell/images.h"
#include "shell/lock_keys.h"
#include "shell/marvolen_doc.h"
#include "shell/parse_pane.h"
#include "shell/recent_file_list.h"
#include "shell/report_view.h"
#include "shell/report_window.h"
#include "shell/tree_canvas.h"
#include "shell/workbench_settings.h"

namespace marvolen {

namespace {

// The menus, each shown always, or only while no (kStart) or a (kDocument)
// document window is active. 0 is a separator, kRecentFile1 the recent files.
enum class Shown { kAlways, kStart, kDocument };
const struct {
  const char* title;
  Shown shown;
  std::vector<int> commands;
} kMenus[] = {
    {"文件(&F)",
     Shown::kStart,
     {kFileNew, kFileOpen, 0, kFilePrintSetup, 0, kRecentFile1, 0, kAppExit}},
    {"文件(&F)",
     Shown::kDocument,
     {kFileNew, kFileOpen, kFileClose, kFileSave, kFileSaveAs, 0, kFilePrint, kFilePrintPreview,
      kFilePrintSetup, 0, kRecentFile1, 0, kAppExit}},
    {"编辑(&E)",
     Shown::kDocument,
     {kEditUndo, 0, kEditCut, kEditCopy, kEditPaste, 0, kEditFind, kEditFindNext, kEditFindPrevious,
      kEditReplace, kEditGoToLine}},
    {"查看(&V)",
     Shown::kAlways,
     {kViewToolbar, kViewStatusBar, kViewParsePane, 0, kViewZoomIn, kViewZoomOut, kViewZoomReset}},
    {"歧义格式分析(&A)",
     Shown::kDocument,
     {kGenerateReport, kViewReport, 0, kRunHtmlReport, kRunCsvTable}},
    {"窗口(&W)", Shown::kDocument, {kWindowNew, kWindowCascade, kWindowTile, kWindowArrange}},
    {"帮助(&H)", Shown::kAlways, {kAppAbout}},
};
const int kToolbarButtons[] = {kFileNew, kFileOpen, kFileSave, 0, kEditCut, kEditCopy, kEditPaste,
                               0, kFilePrint, 0, kAppAbout};
// The commands that need an active document window, and those that need an
// active document or report window.
const int kDocumentCommands[] = {kFileSave,         kFileSaveAs, kFilePrint,
                                 kFilePrintPreview, kWindowNew,  kEditReplace};
const int kWindowCommands[] = {kFileClose,  kGenerateReport, kViewReport,       kWindowCascade,
                               kWindowTile, kWindowArrange,  kNextPane,         kPrevPane,
                               kEditFind,   kEditFindNext,   kEditFindPrevious, kEditGoToLine,
                               kWindowClose};

// Menus in this style highlight greyed items too, so that their prompts show
// in the status bar as the others' do.
class MenuStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    return hint == SH_Menu_AllowActiveAndDisabled
               ? 1
               : QProxyStyle::styleHint(hint, option, widget, data);
  }
};

// The About box: the icon, the name and version, and one line about the
// program, laid out in dialog units of its 9-point 宋体 font.
class AboutDialog : public QDialog {
 public:
  explicit AboutDialog(QWidget* parent) : QDialog(parent) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    setFont(font);
    // A horizontal dialog unit is a quarter of the font's average character
    // width, a vertical one an eighth of its height.
    const QFontMetrics metrics(font);
    const double x = metrics.horizontalAdvance(
                         QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                     208.0;
    const double y = metrics.height() / 8.0;
    auto place = [this, x, y](QWidget* widget, int left, int top, int width, int height) {
      widget->setParent(this);
      widget->setGeometry(qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y));
    };
    setWindowTitle(QStringLiteral("关于 Marvolen"));
    setFixedSize(qRound(235 * x), qRound(55 * y));
    auto* icon = new QLabel;
    icon->setPixmap(AppIcon().pixmap(32, 32));
    place(icon, 11, 17, 0, 0);
    icon->resize(32, 32);
    // The major and minor version, as "Marvolen 1.0 版".
    place(new QLabel(QStringLiteral("Marvolen %1.%2 版")
                         .arg(QStringLiteral(MARVOLEN_VERSION_MAJOR),
                              QStringLiteral(MARVOLEN_VERSION_MINOR))),
          40, 10, 119, 8);
    place(new QLabel(QStringLiteral("汉语歧义格式分析工作台")), 40, 25, 119, 8);
    auto* ok = new QPushButton(QStringLiteral("确定"));
    place(ok, 178, 7, 50, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  }
};

}  // namespace

CMainFrame::CMainFrame(std::string startupDir, DialogProvider& dialogs, RecentFileList& recentFiles,
                       WorkbenchLayout& layout)
    : startupDir_(std::move(startupDir)),
      dialogs_(dialogs),
      recentFiles_(recentFiles),
      layout_(layout),
      mdiArea_(new QMdiArea),
      findBar_(new FindBar) {
  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(mdiArea_, 1);
  column->addWidget(findBar_);
  setCentralWidget(central);
  connect(findBar_, &FindBar::message, this, [this](const QString& text) {
    text.isEmpty() ? statusBar()->clearMessage() : statusBar()->showMessage(text, 5000);
  });
  setWindowIcon(AppIcon());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    resize(screen->availableSize() * 4 / 5);
}

CMainFrame::~CMainFrame() {
  // QWidget's destructor, which runs after this one, closes the children, and
  // they signal it; no signal may reach this half-destroyed window.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  QGuiApplication::clipboard()->disconnect(this);
}

void CMainFrame::OnCreate() {
  CreateActions();
  CreateMenusAndBars();
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateActions);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] {
    findBar_->SetPane(activePane());
    ShowCursorPosition();
  });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateActions);
  UpdateActions();
}

void CMainFrame::CreateActions() {
  auto onChild = [this](std::function<void(CChildFrame*)> run) {
    return [this, run] { if (CChildFrame* child = activeChild()) run(child); };
  };
  auto onView = [onChild](void (QPlainTextEdit::*slot)()) {
    return onChild([slot](CChildFrame* child) { (child->view()->*slot)(); });
  };
  auto modal = [this](QDialog&& dialog) {
    return dialogs_.RunModal(&dialog);
  };  // for a dialog made in place
  // Each command: its menu text (the accelerator after a tab), its prompt
  // (the tooltip after a line feed), its shortcuts and what it does.
  const struct {
    int command;
    const char *text, *prompt, *keys;
    std::function<void()> run;
  } commands[] = {
      {kFileNew, "新建(&N)\tCtrl+N", "建立新文档\n新建", "Ctrl+N",
       [this] {
         AddChild(new CMarvolenDoc(QStringLiteral("Marvo%1").arg(++untitledCount_), this));
       }},
      {kFileOpen, "打开(&O)...\tCtrl+O", "打开一个现有文档\n打开", "Ctrl+O",
       [this] {
         if (const QString path = dialogs_.GetOpenFileName(this); !path.isEmpty()) OpenFile(path);
       }},
      {kFileClose, "关闭(&C)", "关闭活动文档\n关闭", "",
       [this] {
         if (ReportWindow* report = qobject_cast<ReportWindow*>(mdiArea_->currentSubWindow()))
           return static_cast<void>(report->close());
         CChildFrame* active = activeChild();
         if (active == nullptr) return;
         CMarvolenDoc* doc = active->document();
         if (!MaybeSave(doc)) return;
         doc->text()->setModified(
             false);  // saved or given up: its windows close without asking again
         for (CChildFrame* frame : childFrames())
           if (frame->document() == doc) frame->close();
       }},
      {kFileSave, "保存(&S)\tCtrl+S", "保存活动文档\n保存", "Ctrl+S",
       onChild([this](CChildFrame* child) { SaveDocument(child->document(), false); })},
      {kFileSaveAs, "另存为(&A)...", "将活动文档以一个新文件名保存\n另存为", "",
       onChild([this](CChildFrame* child) { SaveDocument(child->document(), true); })},
      {kFilePrint, "打印(&P)...\tCtrl+P", "打印活动文档\n打印", "Ctrl+P",
       onChild([this, modal](CChildFrame* child) {
         if (modal(QPrintDialog(&printer(), this)) == QDialog::Accepted)
           child->view()->document()->print(&printer());
       })},
      {kFilePrintPreview, "打印预览(&V)", "显示整页\n打印预览", "",
       onChild([this](CChildFrame* child) {
         QPrintPreviewDialog preview(&printer(), this);
         preview.setWindowTitle(QStringLiteral("%1 - 打印预览").arg(child->document()->title()));
         QTextDocument* text = child->view()->document();
         connect(&preview, &QPrintPreviewDialog::paintRequested, text,
                 [text](QPrinter* p) { text->print(p); });
         dialogs_.RunModal(&preview);
       })},
      {kFilePrintSetup, "打印设置(&R)...", "改变打印机及打印选项\n打印设置", "",
       [this] {
         // The page setup dialog works on a system printer only; without one
         // there is nothing to set up (printing can still go to a PDF file).
         if (printer().outputFormat() != QPrinter::NativeFormat &&
             QPrinterInfo::availablePrinterNames().isEmpty())
           return dialogs_.ShowMessage(
               this, QStringLiteral("尚未安装打印机。\n打印时可以选择打印到 PDF 文件。"),
               MessageIcon::kWarning);
         printer().setOutputFormat(QPrinter::NativeFormat);
         QPageSetupDialog dialog(&printer(), this);
         dialog.setWindowTitle(QStringLiteral("打印设置"));
         dialogs_.RunModal(&dialog);
       }},
      {kAppExit, "退出(&X)", "退出应用程序；提示保存文档\n退出", "", [this] { close(); }},
      {kEditUndo, "撤消(&U)\tCtrl+Z", "撤消最后一步操作\n撤消", "Ctrl+Z; Alt+Backspace",
       onView(&QPlainTextEdit::undo)},
      {kEditCut, "剪切(&T)\tCtrl+X", "剪切被选对象并将其置于剪贴板上\n剪切", "Ctrl+X; Shift+Del",
       onView(&QPlainTextEdit::cut)},
      {kEditCopy, "复制(&C)\tCtrl+C", "复制被选对象并将其置于剪贴板上\n复制", "Ctrl+C; Ctrl+Ins",
       [this] {
         if (CChildFrame* child = activeChild()) child->view()->copy();
         if (ReportWindow* report = qobject_cast<ReportWindow*>(mdiArea_->currentSubWindow()))
           report->view()->copy();
       }},
      {kEditPaste, "粘贴(&P)\tCtrl+V", "插入剪贴板内容\n粘贴", "Ctrl+V; Shift+Ins",
       onView(&QPlainTextEdit::paste)},
      {kViewToolbar, "工具栏(&T)", "显示或隐藏工具栏\n显隐工具栏", "",
       [this] { toolBar_->setVisible(action(kViewToolbar)->isChecked()); }},
      {kViewStatusBar, "状态栏(&S)", "显示或隐藏状态栏\n显隐状态栏", "",
       [this] { statusBar()->setVisible(action(kViewStatusBar)->isChecked()); }},
      {kViewParsePane, "分析树窗格(&P)",
       "输入格式或取光标所在的行，查看其歧义判断和全部分析树\n分析树窗格", "",
       [this] { parsePane_->setVisible(action(kViewParsePane)->isChecked()); }},
      {kGenerateReport, "生成歧义格式统计报告",
       "根据给定的规则文件，标签文件，格式序列文件，生成歧义格式统计报告文件", "F5",
       [this] { GenerateReport(); }},
      {kViewReport, "查看分析报告(&R)",
       "在报告窗口中打开 config.ini 中 RESULT 所指的报告\n查看分析报告", "",
       [this] {
         OpenReport(ConfiguredPath(startupDir_, ReadRunConfig(ProfilePathFor(startupDir_)).result));
       }},
      {kRunHtmlReport, "生成 HTML 报告(&H)",
       "分析时在报告旁另写一份 HTML 报告，完成后在浏览器中打开\n生成 HTML 报告", "",
       [this] { layout_.htmlReport = action(kRunHtmlReport)->isChecked(); }},
      {kRunCsvTable, "导出 CSV(&C)", "分析时在报告旁另写一份 CSV 表格\n导出 CSV", "",
       [this] { layout_.csvTable = action(kRunCsvTable)->isChecked(); }},
      {kWindowNew, "新建窗口(&N)", "为活动文档打开另一个窗口\n新建窗口", "",
       onChild([this](CChildFrame* child) { AddChild(child->document()); })},
      {kWindowCascade, "层叠(&C)", "排列窗口成相互重叠\n层叠窗口", "",
       [this] { mdiArea_->cascadeSubWindows(); }},
      {kWindowTile, "平铺(&T)", "排列窗口成互不重叠\n平铺窗口", "",
       [this] { mdiArea_->tileSubWindows(); }},
      {kWindowArrange, "排列图标(&A)", "将图标排列在窗口底部\n排列图标", "",
       [this] {
         int x = 0;  // the minimized windows side by side along the bottom
         for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
           if (!window->isMinimized()) continue;
           window->move(x, mdiArea_->viewport()->height() - window->height());
           x += window->width();
         }
       }},
      {kAppAbout, "关于 Marvolen(&A)...", "显示程序信息，版本号和版权\n关于", "",
       [this, modal] { modal(AboutDialog(this)); }},
      // Each document window has one pane: the next pane is the next window.
      {kNextPane, "", "切换到下一个窗格\n下一窗格", "F6; Ctrl+F6; Ctrl+Tab",
       [this] { mdiArea_->activateNextSubWindow(); }},
      {kPrevPane, "", "切换回前一个窗格\n前一窗格",
       "Shift+F6; Ctrl+Shift+F6; Ctrl+Shift+Tab; Ctrl+Shift+Backtab",
       [this] { mdiArea_->activatePreviousSubWindow(); }},
      // The main window's, so that the keys work at once on every platform
      // (the window's own menu only shows them).
      {kWindowClose, "", "关闭活动窗口\n关闭窗口", "Ctrl+F4; Ctrl+W",
       [this] { mdiArea_->closeActiveSubWindow(); }},
      {kEditFind, "查找(&F)...\tCtrl+F", "在活动窗口中查找文字\n查找", "Ctrl+F",
       [this] { findBar_->Open(false); }},
      {kEditFindNext, "查找下一个(&N)\tF3", "查找下一处匹配的文字\n查找下一个", "F3",
       [this] { findBar_->FindNext(false); }},
      {kEditFindPrevious, "查找上一个(&V)\tShift+F3", "查找上一处匹配的文字\n查找上一个",
       "Shift+F3", [this] { findBar_->FindNext(true); }},
      {kEditReplace, "替换(&R)...\tCtrl+H", "替换活动文档中的文字\n替换", "Ctrl+H",
       [this] { findBar_->Open(true); }},
      {kEditGoToLine, "转到(&G)...\tCtrl+G", "转到指定的行\n转到", "Ctrl+G",
       [this] {
         TextPane* pane = activePane();
         if (pane == nullptr) return;
         const int last = static_cast<int>(std::min<qint64>(pane->lineCount(), INT_MAX));
         const int current = static_cast<int>(std::min<qint64>(pane->cursorLine(), last));
         if (const int line = dialogs_.AskLineNumber(this, current, last); line > 0) {
           pane->GoToLine(line);
           pane->widget()->setFocus();
         }
       }},
      {kViewZoomIn, "放大(&I)\tCtrl+=", "放大文字\n放大", "Ctrl+=; Ctrl++", [this] { Zoom(1); }},
      {kViewZoomOut, "缩小(&O)\tCtrl+-", "缩小文字\n缩小", "Ctrl+-", [this] { Zoom(-1); }},
      {kViewZoomReset, "默认大小(&D)\tCtrl+0", "文字恢复默认大小\n默认大小", "Ctrl+0",
       [this] { Zoom(0); }},
  };
  for (const auto& row : commands) {
    auto* action = new QAction(QString::fromUtf8(row.text), this);
    const QStringList prompt = QString::fromUtf8(row.prompt).split(QLatin1Char('\n'));
    action->setStatusTip(prompt[0]);
    if (prompt.size() > 1) action->setToolTip(prompt[1]);
    if (*row.keys != '\0')
      action->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(row.keys)));
    action->setData(row.command);
    connect(action, &QAction::triggered, this, row.run);
    actions_[row.command] = action;
  }
  action(kViewToolbar)->setCheckable(true);
  action(kViewStatusBar)->setCheckable(true);
  action(kViewParsePane)->setCheckable(true);
  action(kRunHtmlReport)->setCheckable(true);
  action(kRunHtmlReport)->setChecked(layout_.htmlReport);
  action(kRunCsvTable)->setCheckable(true);
  action(kRunCsvTable)->setChecked(layout_.csvTable);
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* entry = actions_[kRecentFile1 + i] = new QAction(this);
    entry->setData(kRecentFile1 + i);
    entry->setStatusTip(QStringLiteral("打开该文档"));
    connect(entry, &QAction::triggered, this, [this, i] {
      const QString path = recentFiles_.entries().value(i);
      if (path.isEmpty() || OpenFile(path)) return;
      recentFiles_.Remove(i);  // a file that cannot be opened any more leaves the list
      UpdateActions();
    });
  }
  // The accelerators work whichever menus show.
  for (const auto& [command, action] : actions_) addAction(action);
}

void CMainFrame::CreateMenusAndBars() {
  auto* style = new MenuStyle;
  style->setParent(this);
  for (const auto& row : kMenus) {
    auto* menu = new QMenu(QString::fromUtf8(row.title), this);
    menu->setStyle(style);
    for (int command : row.commands) {
      if (command == 0) menu->addSeparator();
      for (int i = 0; command == kRecentFile1 && i < kRecentFileCount; ++i)
        menu->addAction(action(command + i));
      if (command != 0 && command != kRecentFile1) menu->addAction(action(command));
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateActions);
    if (row.shown != Shown::kDocument) startBar_.append(menu->menuAction());
    if (row.shown != Shown::kStart) documentBar_.append(menu->menuAction());
    if (row.commands.front() == kWindowNew) windowMenu_ = menu;
  }
  connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);

  toolBar_ = addToolBar(QStringLiteral("工具栏"));
  toolBar_->setObjectName(QStringLiteral("toolbar"));
  toolBar_->setIconSize(kToolbarImageSize);
  for (int command : kToolbarButtons) {
    if (command == 0) {
      toolBar_->addSeparator();
      continue;
    }
    action(command)->setIcon(ToolbarImage(command));
    toolBar_->addAction(action(command));
  }
  connect(toolBar_, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateActions);

  // The message pane shows the idle text while no prompt covers it.
  auto* idle = new QLabel(QStringLiteral("就绪"));
  idle->setObjectName(QStringLiteral("idleMessage"));
  statusBar()->addWidget(idle, 1);
  AddLockKeyPanes(statusBar());
  // Ours, after the message and lock-key panes: the cursor's line and column.
  cursorPane_ = new QLabel;
  cursorPane_->setObjectName(QStringLiteral("cursorPosition"));
  cursorPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  cursorPane_->setMinimumWidth(
      cursorPane_->fontMetrics().horizontalAdvance(QStringLiteral("第 100000 行，第 1000 列")));
  statusBar()->addPermanentWidget(cursorPane_);

  parsePane_ = new ParsePane(startupDir_, mdiArea_, dialogs_, this);
  addDockWidget(Qt::RightDockWidgetArea, parsePane_);
  parsePane_->canvas()->SetZoom(layout_.treeZoomPercent / 100.0);
  parsePane_->setVisible(layout_.parsePaneShown);
  connect(parsePane_, &QDockWidget::visibilityChanged, this, &CMainFrame::UpdateActions);
}

CChildFrame* CMainFrame::activeChild() const {
  return qobject_cast<CChildFrame*>(mdiArea_->currentSubWindow());
}

ReportWindow* CMainFrame::reportWindow() const { return findChild<ReportWindow*>(); }

TextPane* CMainFrame::activePane() const {
  if (CChildFrame* child = activeChild()) return child->view();
  auto* report = qobject_cast<ReportWindow*>(mdiArea_->currentSubWindow());
  return report != nullptr ? report->view() : nullptr;
}

QList<CChildFrame*> CMainFrame::childFrames() const {
  QList<CChildFrame*> frames;
  for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder))
    if (auto* frame = qobject_cast<CChildFrame*>(window)) frames.append(frame);
  return frames;
}

bool CMainFrame::OpenFile(const QString& path) {
  const QString wanted =
      QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
  for (CChildFrame* frame : childFrames()) {
    if (frame->document()->path() != wanted) continue;
    mdiArea_->setActiveSubWindow(frame);
    return true;
  }
  auto doc = std::make_unique<CMarvolenDoc>(QString(), this);
  QString error;
  if (!doc->Load(path, &error)) {
    dialogs_.ShowMessage(this, error, MessageIcon::kWarning);
    return false;
  }
  recentFiles_.Add(doc->path());
  AddChild(doc.release());
  return true;
}

void CMainFrame::AddChild(CMarvolenDoc* document) {
  auto* frame = new CChildFrame(document, dialogs_, startupDir_);
  frame->installEventFilter(this);
  CMarvolenView* view = frame->view();
  view->SetPointSize(layout_.pointSize);
  connect(document, &CMarvolenDoc::changed, this, &CMainFrame::UpdateActions, Qt::UniqueConnection);
  connect(view, &QPlainTextEdit::copyAvailable, this, &CMainFrame::UpdateActions);
  connect(view, &QPlainTextEdit::undoAvailable, this, &CMainFrame::UpdateActions);
  connect(view, &QPlainTextEdit::cursorPositionChanged, this, &CMainFrame::ShowCursorPosition);
  connect(view, &CMarvolenView::zoomRequested, this, &CMainFrame::Zoom);
  AddWindow(frame);
}

void CMainFrame::AddWindow(QMdiSubWindow* window) {
  mdiArea_->addSubWindow(window);
  // The window's menu shows the keys that close it, which are the main
  // window's: its own would take them only once the menu has been opened.
  const QList<QKeySequence> closeKeys = action(kWindowClose)->shortcuts();
  for (QAction* entry : window->systemMenu()->actions())
    for (const QKeySequence& key : entry->shortcuts())
      if (closeKeys.contains(key)) entry->setShortcutContext(Qt::WidgetShortcut);
  // A new window fills the area but for room to cascade three more below
  // and to the right of it, each new one further on, starting again at the
  // top left when it would leave the area.
  const QSize area = mdiArea_->isVisible() ? mdiArea_->viewport()->size() : size() - QSize(0, 100);
  const int step = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 4;
  const QSize extent = (area - QSize(3 * step, 3 * step)).expandedTo(area * 3 / 4);
  window->resize(extent);
  const int room = std::max(
      1, std::min(area.width() - extent.width(), area.height() - extent.height()) / step + 1);
  window->move(QPoint(step, step) *
               static_cast<int>((mdiArea_->subWindowList().size() - 1) % room));
  connect(window, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateActions);
  // The area maximizes a new window itself while the active one is.
  const bool maximize = layout_.documentWindowsMaximized && mdiArea_->subWindowList().size() == 1;
  maximize ? window->showMaximized() : window->show();
  mdiArea_->setActiveSubWindow(window);
  window->widget()->setFocus();
  UpdateActions();
}

bool CMainFrame::SaveDocument(CMarvolenDoc* document, bool askName) {
  QString path = document->path();
  // A file that can no longer be written is saved under a new name.
  if (path.isEmpty() || (QFileInfo::exists(path) && !QFileInfo(path).isWritable())) askName = true;
  if (askName) path = ChooseSaveName(dialogs_, this, path.isEmpty() ? document->title() : path);
  const QString before = document->path();
  QString error;
  if (path.isEmpty()) return false;
  // Another program's change is overwritten only when the person says so.
  if (path == before && document->OverwritesChange() &&
      !dialogs_.AskOverwrite(this, QStringLiteral("%1 在读入后已被其他程序修改。\n"
                                                  "保存将覆盖其他程序所做的更改。")
                                       .arg(path)))
    return false;
  if (!document->Save(path, &error)) dialogs_.ShowMessage(this, error, MessageIcon::kWarning);
  if (document->path() != before) recentFiles_.Add(document->path());
  UpdateActions();
  return error.isEmpty();
}

bool CMainFrame::MaybeSave(CMarvolenDoc* document) {
  if (!document->text()->isModified()) return true;
  const SaveChoice choice = dialogs_.AskSaveChanges(
      this, QStringLiteral("是否保存对 %1 的更改？").arg(document->title()));
  return choice == SaveChoice::kDiscard ||
         (choice == SaveChoice::kSave && SaveDocument(document, false));
}

QPrinter& CMainFrame::printer() {
  if (printer_ == nullptr) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void CMainFrame::UpdateActions() {
  CChildFrame* child = activeChild();
  QMdiSubWindow* active = mdiArea_->currentSubWindow();
  auto* report = qobject_cast<ReportWindow*>(active);
  // The menu bar holds only the menus shown, so that each mnemonic is its menu's.
  if (const QList<QAction*>& bar = active != nullptr ? documentBar_ : startBar_;
      menuBar()->actions() != bar) {
    menuBar()->clear();
    menuBar()->addActions(bar);
  }
  for (int command : kDocumentCommands) action(command)->setEnabled(child != nullptr);
  for (int command : kWindowCommands) action(command)->setEnabled(active != nullptr);
  const CMarvolenView* view = child != nullptr ? child->view() : nullptr;
  const bool selection = view != nullptr && view->textCursor().hasSelection();
  action(kEditCut)->setEnabled(selection);
  action(kEditCopy)->setEnabled(selection || (report != nullptr && report->view()->hasSelection()));
  action(kEditUndo)->setEnabled(view != nullptr && view->document()->isUndoAvailable());
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  action(kEditPaste)->setEnabled(view != nullptr && clipboard != nullptr && clipboard->hasText());
  action(kViewToolbar)->setChecked(!toolBar_->isHidden());
  action(kViewStatusBar)->setChecked(!statusBar()->isHidden());
  action(kViewParsePane)->setChecked(!parsePane_->isHidden());
  const qsizetype entries =
      recentFiles_.entries().size();  // an empty list shows a greyed placeholder
  for (int i = 0; i < kRecentFileCount; ++i) {
    action(kRecentFile1 + i)->setVisible(i == 0 || i < entries);
    action(kRecentFile1 + i)->setEnabled(i < entries);
    action(kRecentFile1 + i)
        ->setText(i < entries ? recentFiles_.MenuText(i) : QStringLiteral("最近文件"));
  }
  // Several windows on one document are numbered: "name:1", "name:2"; a
  // document with unsaved edits is marked: "name*", one whose file is gone
  // from the disk too.
  auto mark = [](const CMarvolenDoc* doc) {
    return (doc->text()->isModified() ? QStringLiteral("*") : QString()) +
           (doc->GoneFromDisk() ? QStringLiteral("（已从磁盘删除）") : QString());
  };
  std::map<CMarvolenDoc*, QList<CChildFrame*>> windows;
  for (CChildFrame* frame : childFrames()) windows[frame->document()].append(frame);
  for (const auto& [doc, frames] : windows) {
    for (int i = 0; i < frames.size(); ++i)
      frames[i]->setWindowTitle(frames.size() == 1
                                    ? doc->title() + mark(doc)
                                    : QStringLiteral("%1:%2").arg(doc->title()).arg(i + 1) +
                                          mark(doc));
  }
  // The active document's name follows the program's; while its window is
  // maximized the MDI area adds the window's title in brackets instead.
  QString name;
  if (child != nullptr) name = child->document()->title() + mark(child->document());
  if (report != nullptr) name = report->windowTitle();
  const bool named = active != nullptr && !active->isMaximized();
  setWindowTitle(named ? QStringLiteral("Marvolen - ") + name : QStringLiteral("Marvolen"));
}

void CMainFrame::UpdateWindowMenu() {
  qDeleteAll(windowEntries_);
  windowEntries_.clear();
  const QList<QMdiSubWindow*> frames = mdiArea_->subWindowList(QMdiArea::CreationOrder);
  const int active = static_cast<int>(frames.indexOf(mdiArea_->currentSubWindow()));
  const int listed = std::min(static_cast<int>(frames.size()), 9);
  if (listed > 0) windowEntries_.push_back(windowMenu_->addSeparator());
  for (int i = 0; i < listed; ++i) {
    // Nine at most; the active window is always listed, past the ninth in the ninth place.
    const int index = (i == listed - 1 && active > i) ? active : i;
    QString title = frames[index]->windowTitle();
    QAction* entry =
        windowMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title.replace('&', "&&")),
                               this, [this, frame = QPointer<QMdiSubWindow>(frames[index])] {
                                 if (frame != nullptr) mdiArea_->setActiveSubWindow(frame);
                               });
    entry->setCheckable(true);
    entry->setChecked(index == active);
    windowEntries_.push_back(entry);
  }
  if (frames.size() > listed) {
    windowEntries_.push_back(
        windowMenu_->addAction(QStringLiteral("更多窗口(&M)..."), this, [this] {
          // Numbered as the menu numbers them: its nine first, then the others.
          QList<QMdiSubWindow*> all = mdiArea_->subWindowList(QMdiArea::CreationOrder);
          const qsizetype activeIndex = all.indexOf(mdiArea_->currentSubWindow());
          if (activeIndex >= 9) all.move(activeIndex, 8);
          QStringList titles;
          for (QMdiSubWindow* frame : all) titles.append(frame->windowTitle());
          const int chosen = dialogs_.ChooseWindow(
              this, titles, static_cast<int>(all.indexOf(mdiArea_->currentSubWindow())));
          if (chosen >= 0 && chosen < all.size()) mdiArea_->setActiveSubWindow(all[chosen]);
        }));
  }
  for (QAction* entry : windowEntries_) entry->setStatusTip(QStringLiteral("激活此窗口"));
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  auto* frame = qobject_cast<CChildFrame*>(watched);
  if (frame != nullptr && event->type() == QEvent::Close) {
    // Only the last window of a document asks to save it; none closes while
    // it runs the analysis.
    const QList<CChildFrame*> frames = childFrames();
    const auto windows = std::count_if(frames.begin(), frames.end(), [frame](CChildFrame* f) {
      return f->document() == frame->document();
    });
    if (analysisRunning() || (windows == 1 && !MaybeSave(frame->document()))) {
      event->ignore();
      return true;
    }
    QTimer::singleShot(0, this, &CMainFrame::UpdateActions);  // renumber once it has gone
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // During an analysis: stop it, then close once it has ended.
  if (analysisRunning()) {
    event->ignore();
    // The question goes when the run ends (see GenerateReport).
    if (closeAfterRun_ || stopQuestion_ != nullptr) return;
    stopQuestion_ = dialogs_.AskYesNoLater(
        this, QStringLiteral("正在生成歧义格式统计报告。要停止分析并退出吗？"),
        [this](bool stop) {
          if (!stop || !analysisRunning()) return;
          closeAfterRun_ = true;
          stop_->request_stop();
        });
    return;
  }
  // Ask about each modified document once (several windows may show it).
  const QList<CChildFrame*> frames = childFrames();
  std::set<CMarvolenDoc*> asked;
  bool close = true;
  for (CChildFrame* f : frames)
    close = close && (!asked.insert(f->document()).second || MaybeSave(f->document()));
  if (!close) return event->ignore();
  // Every question was answered: what was given up is not asked about again.
  for (CChildFrame* frame : frames) frame->document()->text()->setModified(false);
  QMainWindow::closeEvent(event);
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A window maximized before the main window showed (at start-up) has not
  // put its title and buttons on the main window: maximize it again now.
  if (QMdiSubWindow* active = mdiArea_->currentSubWindow();
      active != nullptr && active->isMaximized() && !event->spontaneous()) {
    active->showNormal();
    active->showMaximized();
  }
  // The parse pane's width is given once the window has its own size.
  if (!paneWidthRestored_ && !event->spontaneous()) {
    paneWidthRestored_ = true;
    if (layout_.parsePaneWidth > 0)
      resizeDocks({parsePane_}, {layout_.parsePaneWidth}, Qt::Horizontal);
  }
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Back from another program (or a dialog): another program may have
  // changed the files.
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    QTimer::singleShot(0, this, &CMainFrame::CheckFilesOnDisk);
}

bool CMainFrame::SaveDataFilesBeforeRun() {
  const RunConfig config = ReadRunConfig(ProfilePathFor(startupDir_));
  QList<CMarvolenDoc*> unsaved;
  for (const std::string& value : {config.tags, config.sequences, config.rules}) {
    const QString path = ConfiguredPath(startupDir_, value);
    for (CChildFrame* frame : childFrames()) {
      CMarvolenDoc* doc = frame->document();
      const bool same =
          doc->path() == path || (!path.isEmpty() && !doc->path().isEmpty() &&
                                  SameExistingFile(doc->path().toStdString(), path.toStdString()));
      if (same && doc->text()->isModified() && !unsaved.contains(doc)) unsaved.append(doc);
    }
  }
  if (unsaved.isEmpty()) return true;
  QStringList names;
  for (CMarvolenDoc* doc : unsaved) names.append(doc->title());
  const RunChoice choice = dialogs_.AskSaveBeforeRun(
      this,
      QStringLiteral("以下数据文件有未保存的更改：%1\n\n分析读取磁盘上的文件。要先保存它们吗？")
          .arg(names.join(QStringLiteral("、"))));
  if (choice != RunChoice::kSaveAndRun) return choice == RunChoice::kRunAsSaved;
  for (CMarvolenDoc* doc : unsaved)
    if (!SaveDocument(doc, false)) return false;  // the save said why
  return true;
}

void CMainFrame::GenerateReport() {
  if (analysisRunning() || mdiArea_->currentSubWindow() == nullptr || !SaveDataFilesBeforeRun())
    return;
  std::stop_source stop;
  stop_ = &stop;
  CChildFrame* child = activeChild();
  const RunExports exports{layout_.htmlReport, layout_.csvTable};
  const AnalysisOutcome outcome =
      child != nullptr ? child->OnGenerateReport(stop, exports)
                       : marvolen::GenerateReport(dialogs_, this, startupDir_, stop, exports);
  stop_ = nullptr;
  // A question about stopping the run that has ended is no longer asked.
  if (stopQuestion_ != nullptr) stopQuestion_->done(QDialog::Rejected);
  // The report is shown when the run made one; the messages of any run stay
  // in the report window.
  if (outcome.end == RunEnd::Completed) action(kViewReport)->trigger();
  std::vector<RunMessage> messages = outcome.messages;
  // Every file the run wrote, and their folder, to open from the list.
  for (const QString& file : outcome.written)
    messages.push_back({QStringLiteral("已写入：%1").arg(file), file, 0});
  if (!outcome.written.isEmpty()) {
    const QString folder =
        QDir::toNativeSeparators(QFileInfo(outcome.written.first()).absolutePath());
    messages.push_back({QStringLiteral("打开所在文件夹：%1").arg(folder), folder, 0});
  }
  // A browser that takes the page may still fail to show it: the page's
  // file is named either way.
  if (!outcome.htmlReport.isEmpty()) {
    const QString page = QDir::toNativeSeparators(outcome.htmlReport);
    QString note =
        QStringLiteral("已请系统浏览器打开 HTML 报告；如果浏览器没有打开，请打开 %1").arg(page);
    if (!dialogs_.OpenInBrowser(outcome.htmlReport)) {
      note = QStringLiteral("%1\n无法在浏览器中打开该 HTML 报告。").arg(page);
      dialogs_.ShowMessage(this, note, MessageIcon::kWarning);
    }
    messages.push_back({note, outcome.htmlReport, 0});
    statusBar()->showMessage(note.simplified(), 15000);
  }
  if (ReportWindow* report = reportWindow()) report->SetMessages(messages);
  CheckFilesOnDisk();  // the report may be open as a document too
  if (closeAfterRun_) QTimer::singleShot(0, this, &QWidget::close);
}

bool CMainFrame::OpenReport(const QString& path) {
  if (path.isEmpty()) {
    dialogs_.ShowMessage(this, QStringLiteral("config.ini 的 [DATA] 节中没有 RESULT 项。"),
                         MessageIcon::kWarning);
    return false;
  }
  ReportWindow* report = reportWindow();
  const bool made = report == nullptr;
  if (made) {
    report = new ReportWindow;
    // A big report is read in the background; the status bar tells how far.
    connect(report, &ReportWindow::statusNote, statusBar(), &QStatusBar::showMessage);
    connect(report, &ReportWindow::readFailed, this, [this](const QString& error) {
      dialogs_.ShowMessage(this, error, MessageIcon::kWarning);
    });
  }
  QString error;
  if (!report->Load(path, &error)) {
    if (made) delete report;
    dialogs_.ShowMessage(this, error, MessageIcon::kWarning);
    return false;
  }
  if (made) {
    ReportView* view = report->view();
    view->SetPointSize(layout_.pointSize);
    connect(view, &ReportView::copyAvailable, this, &CMainFrame::UpdateActions);
    connect(view, &ReportView::cursorPositionChanged, this, &CMainFrame::ShowCursorPosition);
    connect(view, &ReportView::zoomRequested, this, &CMainFrame::Zoom);
    connect(report, &ReportWindow::placeChosen, this, [this](const QString& file, int line) {
      // The report shows here; a folder, the HTML report and the CSV table
      // open in the system's programs.
      const QFileInfo info(file);
      if (ReportWindow* shown = reportWindow();
          shown != nullptr && SameExistingFile(file.toStdString(), shown->path().toStdString()))
        return mdiArea_->setActiveSubWindow(shown);
      const QString suffix = info.suffix().toLower();
      if (info.isDir() || suffix == QLatin1String("html") || suffix == QLatin1String("csv")) {
        if (!dialogs_.OpenInBrowser(file))
          dialogs_.ShowMessage(this, QStringLiteral("%1\n无法用系统程序打开。").arg(file),
                               MessageIcon::kWarning);
        return;
      }
      if (!OpenFile(file) || line <= 0) return;
      activeChild()->view()->GoToLine(line);
    });
    AddWindow(report);
  } else {
    mdiArea_->setActiveSubWindow(report);
    UpdateActions();
  }
  return true;
}

void CMainFrame::CheckFilesOnDisk() {
  // A question asked here makes the window active again when it closes.
  if (checkingFiles_ || analysisRunning()) return;
  checkingFiles_ = true;
  QList<CMarvolenDoc*> docs;
  for (CChildFrame* frame : childFrames())
    if (!docs.contains(frame->document())) docs.append(frame->document());
  for (CMarvolenDoc* doc : docs) {
    if (doc->NoticeGone())
      dialogs_.ShowMessage(this,
                           QStringLiteral("%1\n已从磁盘删除或移走。保存将重新建立该文件。")
                               .arg(doc->path()),
                           MessageIcon::kWarning);
    if (!doc->ChangedOnDisk()) continue;
    doc->AcceptDiskState();  // asked once for each change
    if (doc->text()->isModified() &&
        !dialogs_.AskYesNo(this, QStringLiteral("%1 已被其他程序修改。\n要重新载入它吗？"
                                                "（未保存的更改将丢失）")
                                     .arg(doc->path())))
      continue;
    // Each window keeps its cursor's line.
    std::vector<std::pair<CMarvolenView*, int>> lines;
    for (CChildFrame* frame : childFrames())
      if (frame->document() == doc)
        lines.push_back({frame->view(), frame->view()->textCursor().blockNumber() + 1});
    QString error;
    if (!doc->Load(doc->path(), &error)) {
      dialogs_.ShowMessage(this, error, MessageIcon::kWarning);
      continue;
    }
    for (const auto& [view, line] : lines) view->GoToLine(line);
  }
  if (ReportWindow* report = reportWindow(); report != nullptr && report->ChangedOnDisk()) {
    QString error;
    if (!report->Load(report->path(), &error))
      dialogs_.ShowMessage(this, error, MessageIcon::kWarning);
  }
  checkingFiles_ = false;
  UpdateActions();
}

void CMainFrame::Zoom(int steps) {
  int points = layout_.pointSize > 0 ? layout_.pointSize : TextFont(0).pointSize();
  points = steps == 0 ? 0
                      : std::clamp(points + steps, WorkbenchSettings::kMinPointSize,
                                   WorkbenchSettings::kMaxPointSize);
  layout_.pointSize = points;
  for (CChildFrame* frame : childFrames()) frame->view()->SetPointSize(points);
  if (ReportWindow* report = reportWindow()) report->view()->SetPointSize(points);
}

void CMainFrame::SaveLayout() {
  layout_.mainWindow = normalGeometry();
  layout_.mainWindowMaximized = isMaximized();
  if (QMdiSubWindow* active = mdiArea_->currentSubWindow())
    layout_.documentWindowsMaximized = active->isMaximized();
  layout_.parsePaneShown = !parsePane_->isHidden();
  if (layout_.parsePaneShown) layout_.parsePaneWidth = parsePane_->width();
  layout_.treeZoomPercent = static_cast<int>(std::lround(parsePane_->canvas()->zoom() * 100));
}

void CMainFrame::ShowCursorPosition() {
  const TextPane* pane = activePane();
  cursorPane_->setText(
      pane != nullptr
          ? QStringLiteral("第 %1 行，第 %2 列").arg(pane->cursorLine()).arg(pane->cursorColumn())
          : QString());
}

}  // namespace marvolen
