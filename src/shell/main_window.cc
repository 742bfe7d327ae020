// The workbench's main window.
#include "shell/main_window.h"

#include <QtWidgets>
#include <algorithm>

#include "run/run.h"
#include "shell/analysis_runner.h"
#include "shell/changes_view.h"
#include "shell/data_file_checker.h"
#include "shell/dialogs.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/find_bar.h"
#include "shell/images.h"
#include "shell/lock_keys.h"
#include "shell/parse_pane.h"
#include "shell/recent_file_list.h"
#include "shell/report_view.h"
#include "shell/report_window.h"
#include "shell/rules_panel.h"
#include "shell/text_printer.h"
#include "shell/tree_canvas.h"
#include "shell/window_list.h"
#include "shell/workbench_settings.h"

namespace marvolen {

namespace {

using enum Command;

}  // namespace

MainWindow::MainWindow(std::string startupDir, DialogProvider& dialogs, RecentFileList& recentFiles,
                       WorkbenchLayout& layout)
    : startupDir_(std::move(startupDir)),
      dialogs_(dialogs),
      recentFiles_(recentFiles),
      layout_(layout),
      mdiArea_(new QMdiArea),
      findBar_(new FindBar),
      documents_(new DocumentManager(mdiArea_, dialogs, recentFiles, this)),
      runner_(new AnalysisRunner(startupDir_, dialogs, this)),
      printer_(std::make_unique<TextPrinter>(dialogs, this)) {
  mdiArea_->setObjectName(QStringLiteral("documentArea"));
  findBar_->setObjectName(QStringLiteral("findBar"));
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

  CreateActions();
  CreateMenusAndToolBar();
  CreateStatusBar();
  CreateParsePane();
  CreateRulesPanel();
  checker_ = new DataFileChecker(startupDir_, documents_, this);
  connect(documents_, &DocumentManager::windowMade, this, &MainWindow::AddDocumentWindow);
  connect(documents_, &DocumentManager::changed, this, &MainWindow::UpdateActions);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, &MainWindow::UpdateActions);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] {
    findBar_->SetPane(activePane());
    ShowCursorPosition();
  });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &MainWindow::UpdateActions);
  UpdateActions();
}

MainWindow::~MainWindow() {
  // QWidget's destructor, which runs after this one, closes the children, and
  // they signal it; no signal may reach this half-destroyed window.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  QGuiApplication::clipboard()->disconnect(this);
}

void MainWindow::CreateStatusBar() {
  // The message pane shows the idle text while no prompt covers it.
  auto* idle = new QLabel(tr("就绪"));
  idle->setObjectName(QStringLiteral("idleMessage"));
  statusBar()->addWidget(idle, 1);
  AddLockKeyPanes(statusBar());
  // Ours, after the message and lock-key panes: the cursor's line and column.
  cursorPane_ = new QLabel;
  cursorPane_->setObjectName(QStringLiteral("cursorPosition"));
  cursorPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  cursorPane_->setMinimumWidth(
      cursorPane_->fontMetrics().horizontalAdvance(tr("第 100000 行，第 1000 列")));
  statusBar()->addPermanentWidget(cursorPane_);
}

void MainWindow::CreateParsePane() {
  parsePane_ = new ParsePane(startupDir_, mdiArea_, dialogs_, this);
  addDockWidget(Qt::RightDockWidgetArea, parsePane_);
  parsePane_->canvas()->SetZoom(layout_.treeZoomPercent / 100.0);
  parsePane_->setVisible(layout_.parsePaneShown);
  connect(parsePane_, &QDockWidget::visibilityChanged, this, &MainWindow::UpdateActions);
  // A rule of a tree: its line in the rules file, opened if need be.
  connect(parsePane_, &ParsePane::ruleChosen, this, [this](const QString& path, int line) {
    OpenPlace(path, line);
    if (DocumentWindow* window = documents_->activeWindow()) window->editor()->setFocus();
  });
}

void MainWindow::CreateRulesPanel() {
  // Shown after each completed run.
  rulesPanel_ = new RulesPanel(startupDir_, this);
  addDockWidget(Qt::BottomDockWidgetArea, rulesPanel_);
  rulesPanel_->hide();
  connect(rulesPanel_, &RulesPanel::placeChosen, this, &MainWindow::OpenPlace);
  connect(rulesPanel_, &QDockWidget::visibilityChanged, this, &MainWindow::UpdateActions);
}

ReportWindow* MainWindow::reportWindow() const { return findChild<ReportWindow*>(); }

TextPane* MainWindow::activePane() const {
  if (DocumentWindow* window = documents_->activeWindow()) return window->editor();
  auto* report = qobject_cast<ReportWindow*>(mdiArea_->currentSubWindow());
  return report != nullptr ? report->view() : nullptr;
}

void MainWindow::AddDocumentWindow(DocumentWindow* window) {
  DocumentEditor* editor = window->editor();
  editor->SetPointSize(layout_.pointSize);
  connect(editor, &QPlainTextEdit::copyAvailable, this, &MainWindow::UpdateActions);
  connect(editor, &QPlainTextEdit::undoAvailable, this, &MainWindow::UpdateActions);
  connect(editor, &QPlainTextEdit::cursorPositionChanged, this, &MainWindow::ShowCursorPosition);
  connect(editor, &DocumentEditor::zoomRequested, this, &MainWindow::Zoom);
  checker_->Watch(window);
  AddWindow(window);
}

void MainWindow::AddWindow(QMdiSubWindow* window) {
  mdiArea_->addSubWindow(window);
  // The window's menu shows the keys that close it, which are the main
  // window's: its own would take them only once the menu has been opened.
  const QList<QKeySequence> closeKeys = action(kWindowClose)->shortcuts();
  for (QAction* entry : window->systemMenu()->actions())
    for (const QKeySequence& key : entry->shortcuts())
      if (closeKeys.contains(key)) entry->setShortcutContext(Qt::WidgetShortcut);
  PlaceNewWindow(mdiArea_, window,
                 mdiArea_->isVisible() ? mdiArea_->viewport()->size() : size() - QSize(0, 100));
  connect(window, &QMdiSubWindow::windowStateChanged, this, &MainWindow::UpdateActions);
  // The area maximizes a new window itself while the active one is.
  const bool maximize = layout_.documentWindowsMaximized && mdiArea_->subWindowList().size() == 1;
  maximize ? window->showMaximized() : window->show();
  mdiArea_->setActiveSubWindow(window);
  window->widget()->setFocus();
  UpdateActions();
}

void MainWindow::GoToLine() {
  TextPane* pane = activePane();
  if (pane == nullptr) return;
  const int last = static_cast<int>(std::min<qint64>(pane->lineCount(), INT_MAX));
  const int current = static_cast<int>(std::min<qint64>(pane->cursorLine(), last));
  if (const int line = dialogs_.AskLineNumber(this, current, last); line > 0) {
    pane->GoToLine(line);
    pane->widget()->setFocus();
  }
}

void MainWindow::TitleWindows() {
  TitleDocumentWindows(documents_->windows());
  TitleMainWindow(this, mdiArea_->currentSubWindow());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // During an analysis: stop it, then close once it has ended.
  if (runner_->running()) {
    event->ignore();
    runner_->AskToStopAndClose();
    return;
  }
  if (!documents_->MaybeSaveAll()) return event->ignore();
  QMainWindow::closeEvent(event);
}

void MainWindow::showEvent(QShowEvent* event) {
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

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Back from another program (or a dialog): another program may have
  // changed the files.
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    QTimer::singleShot(0, this, &MainWindow::CheckFilesOnDisk);
}

void MainWindow::GenerateReport(const std::string& compareRules) {
  if (runner_->running() || mdiArea_->currentSubWindow() == nullptr) return;
  const RunConfig config = ReadRunConfig(ProfilePathFor(startupDir_));
  QStringList dataFiles;
  for (const std::string& value : {config.tags, config.sequences, config.rules})
    dataFiles.append(ConfiguredPath(startupDir_, value));
  if (!documents_->SaveBeforeRun(dataFiles)) return;
  documents_->SetClosingBlocked(true);  // none closes while the analysis runs
  const QDateTime began = QDateTime::currentDateTime();
  const AnalysisOutcome outcome =
      runner_->Run({layout_.htmlReport, layout_.csvTable}, compareRules);
  documents_->SetClosingBlocked(false);
  if (outcome.end == RunEnd::Completed && !outcome.ruleEffects.empty()) {
    rulesPanel_->ShowRun(outcome.rules, outcome.ruleEffects, began);
    if (rulesPanel_->isHidden()) {
      rulesPanel_->show();
      resizeDocks({rulesPanel_}, {height() * 2 / 5}, Qt::Vertical);
    }
  }
  // The report is shown when the run made one; the messages of any run stay
  // in the report window.
  if (outcome.end == RunEnd::Completed) action(kViewReport)->trigger();
  QString note;
  const std::vector<RunMessage> messages = runner_->HandOff(outcome, &note);
  if (!note.isEmpty()) statusBar()->showMessage(note.simplified(), 15000);
  if (ReportWindow* report = reportWindow()) {
    report->SetMessages(messages);
    report->changes()->Show(outcome.changes);
  }
  CheckFilesOnDisk();  // the report may be open as a document too
  if (runner_->closeRequested()) QTimer::singleShot(0, this, &QWidget::close);
}

bool MainWindow::OpenReport(const QString& path) {
  if (path.isEmpty()) {
    dialogs_.ShowMessage(this, tr("config.ini 的 [DATA] 节中没有 RESULT 项。"),
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
  if (!made) {
    mdiArea_->setActiveSubWindow(report);
    UpdateActions();
    return true;
  }
  ReportView* view = report->view();
  view->SetPointSize(layout_.pointSize);
  connect(view, &ReportView::copyAvailable, this, &MainWindow::UpdateActions);
  connect(view, &ReportView::cursorPositionChanged, this, &MainWindow::ShowCursorPosition);
  connect(view, &ReportView::zoomRequested, this, &MainWindow::Zoom);
  connect(report, &ReportWindow::placeChosen, this, &MainWindow::OpenPlace);
  connect(report->changes(), &ChangesView::patternChosen, parsePane_, &ParsePane::ShowChange);
  AddWindow(report);
  return true;
}

void MainWindow::OpenPlace(const QString& file, int line) {
  // The report shows here; a folder, the HTML report and the CSV table open
  // in the system's programs.
  const QFileInfo info(file);
  if (ReportWindow* shown = reportWindow();
      shown != nullptr && SameExistingFile(file.toStdString(), shown->path().toStdString()))
    return mdiArea_->setActiveSubWindow(shown);
  const QString suffix = info.suffix().toLower();
  if (info.isDir() || suffix == QLatin1String("html") || suffix == QLatin1String("csv")) {
    if (!dialogs_.OpenInBrowser(file))
      dialogs_.ShowMessage(this, tr("%1\n无法用系统程序打开。").arg(file), MessageIcon::kWarning);
    return;
  }
  if (!documents_->OpenFile(file) || line <= 0) return;
  documents_->activeWindow()->editor()->GoToLine(line);
}

void MainWindow::CheckFilesOnDisk() {
  // A question asked here makes the window active again when it closes.
  if (checkingFiles_ || runner_->running()) return;
  checkingFiles_ = true;
  documents_->CheckFilesOnDisk();
  if (ReportWindow* report = reportWindow(); report != nullptr && report->ChangedOnDisk()) {
    QString error;
    if (!report->Load(report->path(), &error))
      dialogs_.ShowMessage(this, error, MessageIcon::kWarning);
  }
  checkingFiles_ = false;
  UpdateActions();
}

void MainWindow::Zoom(int steps) {
  int points = layout_.pointSize > 0 ? layout_.pointSize : TextFont(0).pointSize();
  points = steps == 0 ? 0
                      : std::clamp(points + steps, WorkbenchSettings::kMinPointSize,
                                   WorkbenchSettings::kMaxPointSize);
  layout_.pointSize = points;
  for (DocumentWindow* window : documents_->windows()) window->editor()->SetPointSize(points);
  if (ReportWindow* report = reportWindow()) report->view()->SetPointSize(points);
}

void MainWindow::SaveLayout() {
  layout_.mainWindow = normalGeometry();
  layout_.mainWindowMaximized = isMaximized();
  if (QMdiSubWindow* active = mdiArea_->currentSubWindow())
    layout_.documentWindowsMaximized = active->isMaximized();
  layout_.parsePaneShown = !parsePane_->isHidden();
  if (layout_.parsePaneShown) layout_.parsePaneWidth = parsePane_->width();
  layout_.treeZoomPercent = static_cast<int>(std::lround(parsePane_->canvas()->zoom() * 100));
}

void MainWindow::ShowCursorPosition() {
  const TextPane* pane = activePane();
  cursorPane_->setText(
      pane != nullptr ? tr("第 %1 行，第 %2 列").arg(pane->cursorLine()).arg(pane->cursorColumn())
                      : QString());
}

}  // namespace marvolen
