// The main window's commands: what each one does, the actions, menus and
// toolbar that offer them, and UpdateActions, which keeps them in step with
// the active window.
#include <QtWidgets>
#include <functional>

#include "run/run.h"
#include "shell/dialogs.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/find_bar.h"
#include "shell/images.h"
#include "shell/main_window.h"
#include "shell/parse_pane.h"
#include "shell/recent_file_list.h"
#include "shell/report_view.h"
#include "shell/report_window.h"
#include "shell/rules_panel.h"
#include "shell/text_printer.h"
#include "shell/window_list.h"
#include "shell/workbench_settings.h"

namespace marvolen {

using enum Command;

std::map<Command, std::function<void()>> MainWindow::Handlers() {
  auto onWindow = [this](std::function<void(DocumentWindow*)> run) {
    return [this, run] {
      if (DocumentWindow* window = documents_->activeWindow()) run(window);
    };
  };
  auto onEditor = [onWindow](void (QPlainTextEdit::*slot)()) {
    return onWindow([slot](DocumentWindow* window) { (window->editor()->*slot)(); });
  };
  return {
      {kFileNew, [this] { documents_->NewDocument(); }},
      {kFileOpen,
       [this] {
         if (const QString path = dialogs_.GetOpenFileName(this); !path.isEmpty())
           documents_->OpenFile(path);
       }},
      {kFileClose,
       [this] {
         if (auto* report = qobject_cast<ReportWindow*>(mdiArea_->currentSubWindow()))
           return static_cast<void>(report->close());
         documents_->CloseActiveDocument();
       }},
      {kFileSave, onWindow([this](DocumentWindow* w) { documents_->Save(w->document(), false); })},
      {kFileSaveAs, onWindow([this](DocumentWindow* w) { documents_->Save(w->document(), true); })},
      {kFilePrint,
       onWindow([this](DocumentWindow* w) { printer_->Print(w->editor()->document()); })},
      {kFilePrintPreview, onWindow([this](DocumentWindow* w) {
         printer_->Preview(w->editor()->document(), w->document()->title());
       })},
      {kFilePrintSetup, [this] { printer_->SetUpPage(); }},
      {kAppExit, [this] { close(); }},
      {kEditUndo, onEditor(&QPlainTextEdit::undo)},
      {kEditCut, onEditor(&QPlainTextEdit::cut)},
      {kEditCopy,
       [this] {
         if (DocumentWindow* window = documents_->activeWindow()) window->editor()->copy();
         if (auto* report = qobject_cast<ReportWindow*>(mdiArea_->currentSubWindow()))
           report->view()->copy();
       }},
      {kEditPaste, onEditor(&QPlainTextEdit::paste)},
      {kEditFind, [this] { findBar_->Open(false); }},
      {kEditFindNext, [this] { findBar_->FindNext(false); }},
      {kEditFindPrevious, [this] { findBar_->FindNext(true); }},
      {kEditReplace, [this] { findBar_->Open(true); }},
      {kEditGoToLine, [this] { GoToLine(); }},
      {kViewToolbar, [this] { toolBar_->setVisible(action(kViewToolbar)->isChecked()); }},
      {kViewStatusBar, [this] { statusBar()->setVisible(action(kViewStatusBar)->isChecked()); }},
      {kViewParsePane, [this] { parsePane_->setVisible(action(kViewParsePane)->isChecked()); }},
      {kViewRulesPanel, [this] { rulesPanel_->setVisible(action(kViewRulesPanel)->isChecked()); }},
      {kViewZoomIn, [this] { Zoom(1); }},
      {kViewZoomOut, [this] { Zoom(-1); }},
      {kViewZoomReset, [this] { Zoom(0); }},
      {kGenerateReport, [this] { GenerateReport(); }},
      {kCompareRules,
       [this] {
         if (const QString rules = dialogs_.GetOpenFileName(this); !rules.isEmpty())
           GenerateReport(QDir::toNativeSeparators(rules).toStdString());
       }},
      {kViewReport,
       [this] {
         OpenReport(ConfiguredPath(startupDir_, ReadRunConfig(ProfilePathFor(startupDir_)).result));
       }},
      {kRunHtmlReport, [this] { layout_.htmlReport = action(kRunHtmlReport)->isChecked(); }},
      {kRunCsvTable, [this] { layout_.csvTable = action(kRunCsvTable)->isChecked(); }},
      {kWindowNew, onWindow([this](DocumentWindow* w) { documents_->NewWindow(w->document()); })},
      {kWindowCascade, [this] { mdiArea_->cascadeSubWindows(); }},
      {kWindowTile, [this] { mdiArea_->tileSubWindows(); }},
      {kWindowArrange, [this] { ArrangeIcons(mdiArea_); }},
      {kWindowClose, [this] { mdiArea_->closeActiveSubWindow(); }},
      {kNextPane, [this] { mdiArea_->activateNextSubWindow(); }},
      {kPrevPane, [this] { mdiArea_->activatePreviousSubWindow(); }},
      {kAppAbout,
       [this] {
         AboutDialog about(this);
         dialogs_.RunModal(&about);
       }},
  };
}

void MainWindow::CreateActions() {
  actions_ = MakeActions(this);
  for (auto& [command, run] : Handlers()) connect(action(command), &QAction::triggered, this, run);
  action(kRunHtmlReport)->setChecked(layout_.htmlReport);
  action(kRunCsvTable)->setChecked(layout_.csvTable);
  for (int i = 0; i < kRecentFileCount; ++i) {
    connect(action(RecentFileCommand(i)), &QAction::triggered, this, [this, i] {
      const QString path = recentFiles_.entries().value(i);
      if (path.isEmpty() || documents_->OpenFile(path)) return;
      recentFiles_.Remove(i);  // a file that cannot be opened any more leaves the list
      UpdateActions();
    });
  }
  // The accelerators work whichever menus show.
  for (const auto& [command, action] : actions_) addAction(action);
}

void MainWindow::CreateMenusAndToolBar() {
  const MenuBars bars = MakeMenus(actions_, this);
  startBar_ = bars.start;
  documentBar_ = bars.document;
  for (QMenu* menu : bars.menus)
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateActions);
  new WindowList(bars.windowMenu, mdiArea_, dialogs_);
  toolBar_ = addToolBar(tr("工具栏"));
  toolBar_->setObjectName(QStringLiteral("toolbar"));
  toolBar_->setIconSize(kToolbarImageSize);
  for (const std::optional<Command>& command : ToolbarButtons()) {
    if (!command) {
      toolBar_->addSeparator();
      continue;
    }
    action(*command)->setIcon(ToolbarImage(*command));
    toolBar_->addAction(action(*command));
  }
  connect(toolBar_, &QToolBar::visibilityChanged, this, &MainWindow::UpdateActions);
}

void MainWindow::UpdateActions() {
  DocumentWindow* window = documents_->activeWindow();
  QMdiSubWindow* active = mdiArea_->currentSubWindow();
  auto* report = qobject_cast<ReportWindow*>(active);
  // The menu bar holds only the menus shown, so that each mnemonic is its menu's.
  if (const QList<QAction*>& bar = active != nullptr ? documentBar_ : startBar_;
      menuBar()->actions() != bar) {
    menuBar()->clear();
    menuBar()->addActions(bar);
  }
  for (Command command : DocumentCommands()) action(command)->setEnabled(window != nullptr);
  for (Command command : WindowCommands()) action(command)->setEnabled(active != nullptr);
  const DocumentEditor* editor = window != nullptr ? window->editor() : nullptr;
  const bool selection = editor != nullptr && editor->textCursor().hasSelection();
  action(kEditCut)->setEnabled(selection);
  action(kEditCopy)->setEnabled(selection || (report != nullptr && report->view()->hasSelection()));
  action(kEditUndo)->setEnabled(editor != nullptr && editor->document()->isUndoAvailable());
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  action(kEditPaste)->setEnabled(editor != nullptr && clipboard != nullptr && clipboard->hasText());
  action(kViewToolbar)->setChecked(!toolBar_->isHidden());
  action(kViewStatusBar)->setChecked(!statusBar()->isHidden());
  action(kViewParsePane)->setChecked(!parsePane_->isHidden());
  action(kViewRulesPanel)->setChecked(!rulesPanel_->isHidden());
  // An empty list shows a greyed placeholder.
  const qsizetype entries = recentFiles_.entries().size();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* entry = action(RecentFileCommand(i));
    entry->setVisible(i == 0 || i < entries);
    entry->setEnabled(i < entries);
    entry->setText(i < entries ? recentFiles_.MenuText(i) : tr("最近文件"));
  }
  TitleWindows();
}

}  // namespace marvolen
