// The main window's commands: menus, mnemonics, accelerators, the toolbar,
// the status bar and the greyed items' prompts.
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include "marvolen_version.h"
#include "shell/analysis_runner.h"
#include "shell/commands.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/parse_pane.h"
#include "shell/test_support.h"
#include "shell/window_list.h"

namespace marvolen {

namespace {

// The menu bar as it shows: "title" for each menu, then "  text|name" for each
// item and "  -" for each separator.
QStringList DumpMenuBar(QMenuBar* bar) {
  QStringList lines;
  for (QAction* top : bar->actions()) {
    if (!top->isVisible()) continue;
    lines.append(top->text());
    for (QAction* item : top->menu()->actions()) {
      if (item->isSeparator()) {
        lines.append(QStringLiteral("  -"));
      } else if (item->isVisible()) {
        lines.append(QStringLiteral("  %1|%2").arg(item->text(), item->objectName()));
      }
    }
  }
  return lines;
}

const QStringList kStartMenus = {
    "文件(&F)",
    "  新建(&N)\tCtrl+N|fileNew",
    "  打开(&O)...\tCtrl+O|fileOpen",
    "  -",
    "  打印设置(&R)...|filePrintSetup",
    "  -",
    "  最近文件|recentFile1",
    "  -",
    "  退出(&X)|appExit",
    "查看(&V)",
    "  工具栏(&T)|viewToolbar",
    "  状态栏(&S)|viewStatusBar",
    "  分析树窗格(&P)|viewParsePane",
    "  规则窗格(&U)|viewRulesPanel",
    "  -",
    "  放大(&I)\tCtrl+=|viewZoomIn",
    "  缩小(&O)\tCtrl+-|viewZoomOut",
    "  默认大小(&D)\tCtrl+0|viewZoomReset",
    "帮助(&H)",
    "  关于 Marvolen(&A)...|appAbout",
};

const QStringList kDocumentMenus = {
    "文件(&F)",
    "  新建(&N)\tCtrl+N|fileNew",
    "  打开(&O)...\tCtrl+O|fileOpen",
    "  关闭(&C)|fileClose",
    "  保存(&S)\tCtrl+S|fileSave",
    "  另存为(&A)...|fileSaveAs",
    "  -",
    "  打印(&P)...\tCtrl+P|filePrint",
    "  打印预览(&V)|filePrintPreview",
    "  打印设置(&R)...|filePrintSetup",
    "  -",
    "  最近文件|recentFile1",
    "  -",
    "  退出(&X)|appExit",
    "编辑(&E)",
    "  撤消(&U)\tCtrl+Z|editUndo",
    "  -",
    "  剪切(&T)\tCtrl+X|editCut",
    "  复制(&C)\tCtrl+C|editCopy",
    "  粘贴(&P)\tCtrl+V|editPaste",
    "  -",
    "  查找(&F)...\tCtrl+F|editFind",
    "  查找下一个(&N)\tF3|editFindNext",
    "  查找上一个(&V)\tShift+F3|editFindPrevious",
    "  替换(&R)...\tCtrl+H|editReplace",
    "  转到(&G)...\tCtrl+G|editGoToLine",
    "查看(&V)",
    "  工具栏(&T)|viewToolbar",
    "  状态栏(&S)|viewStatusBar",
    "  分析树窗格(&P)|viewParsePane",
    "  规则窗格(&U)|viewRulesPanel",
    "  -",
    "  放大(&I)\tCtrl+=|viewZoomIn",
    "  缩小(&O)\tCtrl+-|viewZoomOut",
    "  默认大小(&D)\tCtrl+0|viewZoomReset",
    "歧义格式分析(&A)",
    "  生成歧义格式统计报告|generateReport",
    "  查看分析报告(&R)|viewReport",
    "  与规则文件比较(&B)...|compareRules",
    "  -",
    "  生成 HTML 报告(&H)|runHtmlReport",
    "  导出 CSV(&C)|runCsvTable",
    "窗口(&W)",
    "  新建窗口(&N)|windowNew",
    "  层叠(&C)|windowCascade",
    "  平铺(&T)|windowTile",
    "  排列图标(&A)|windowArrange",
    "帮助(&H)",
    "  关于 Marvolen(&A)...|appAbout",
};

DocumentEditor* ActiveEditor(MainWindow* frame) {
  DocumentWindow* child = frame->documents()->activeWindow();
  return child != nullptr ? child->editor() : nullptr;
}

}  // namespace

class MainWindowCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    dir_->WriteExampleSet();
    bench_ = std::make_unique<WorkbenchSession>(*dir_);
    QVERIFY(bench_->started);
    main_ = bench_->window;
    QApplication::setActiveWindow(main_);
    QVERIFY(QTest::qWaitForWindowActive(main_));
    main_->UpdateActions();
  }
  void cleanup() {
    bench_.reset();
    dir_.reset();
  }

  void documentMenusWhileADocumentWindowIsActive() {
    QCOMPARE(DumpMenuBar(main_->menuBar()), WithRecentRules(kDocumentMenus));
    QCOMPARE(ShownTitle(main_), QStringLiteral("Marvolen - rules.txt"));
  }

  // With both 文件 menus in the menu bar (one hidden), Alt+F opened neither.
  void mnemonicsOpenTheirMenus() {
    for (bool document : {true, false}) {
      if (!document) CloseAllWindows(main_);
      QApplication::setActiveWindow(main_);
      for (const auto& [key, title] :
           {std::pair{Qt::Key_F, "文件(&F)"}, {Qt::Key_V, "查看(&V)"}, {Qt::Key_H, "帮助(&H)"}}) {
        QTest::keyClick(main_, key, Qt::AltModifier);
        QMenu* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY2(open != nullptr && open->title() == QString::fromUtf8(title), title);
        open->close();
      }
    }
  }

  void startMenusAndNoAnalysisWithoutADocumentWindow() {
    CloseAllWindows(main_);
    QCOMPARE(DumpMenuBar(main_->menuBar()), WithRecentRules(kStartMenus));
    // With an empty recent-file list the entry is the greyed placeholder.
    bench_->app->recentFiles().Remove(0);
    main_->UpdateActions();
    QCOMPARE(DumpMenuBar(main_->menuBar()), kStartMenus);
    QVERIFY(!main_->action(Command::kRecentFile1)->isEnabled());
    QCOMPARE(ShownTitle(main_), QStringLiteral("Marvolen"));
    // The analysis is not offered now, not even by its action.
    using enum Command;
    for (Command command :
         {kGenerateReport, kFileSave, kFileClose, kFilePrint, kWindowNew, kNextPane, kEditPaste})
      QVERIFY2(!main_->action(command)->isEnabled(),
               qPrintable(main_->action(command)->objectName()));
    QVERIFY(main_->action(Command::kFileNew)->isEnabled());
    main_->action(Command::kGenerateReport)->trigger();
    QVERIFY(bench_->dialogs->messages.empty());
    QVERIFY(!QFileInfo::exists(dir_->file("report.txt")));

    // A new document brings the document menus and the command back.
    main_->action(Command::kFileNew)->trigger();
    QCOMPARE(DumpMenuBar(main_->menuBar()).size(), kDocumentMenus.size());
    QVERIFY(main_->action(Command::kGenerateReport)->isEnabled());
  }

  void acceleratorTable() {
    QMap<QString, QString> table;
    for (QAction* action : main_->actions())
      for (const QKeySequence& key : action->shortcuts())
        table.insert(key.toString(), action->objectName());
    const QMap<QString, QString> expected = {
        {"Ctrl+N", "fileNew"},
        {"Ctrl+O", "fileOpen"},
        {"Ctrl+S", "fileSave"},
        {"Ctrl+P", "filePrint"},
        {"Ctrl+Z", "editUndo"},
        {"Alt+Backspace", "editUndo"},
        {"Ctrl+X", "editCut"},
        {"Shift+Del", "editCut"},
        {"Ctrl+C", "editCopy"},
        {"Ctrl+Ins", "editCopy"},
        {"Ctrl+V", "editPaste"},
        {"Shift+Ins", "editPaste"},
        {"F6", "nextPane"},
        {"Shift+F6", "previousPane"},
        // Finding, the analysis, the windows and the text's size.
        {"Ctrl+F", "editFind"},
        {"F3", "editFindNext"},
        {"Shift+F3", "editFindPrevious"},
        {"Ctrl+H", "editReplace"},
        {"Ctrl+G", "editGoToLine"},
        {"F5", "generateReport"},
        {"Ctrl+Tab", "nextPane"},
        {"Ctrl+F6", "nextPane"},
        {"Ctrl+Shift+Tab", "previousPane"},
        {"Ctrl+Shift+Backtab", "previousPane"},
        {"Ctrl+Shift+F6", "previousPane"},
        {"Ctrl+=", "viewZoomIn"},
        {"Ctrl++", "viewZoomIn"},
        {"Ctrl+-", "viewZoomOut"},
        {"Ctrl+0", "viewZoomReset"},
        {"Ctrl+F4", "windowClose"},
        {"Ctrl+W", "windowClose"},
    };
    QCOMPARE(table, expected);
  }

  void acceleratorsRunTheirCommands() {
    QPlainTextEdit* rules = ActiveEditor(main_);
    rules->setFocus();
    // Ctrl+N: a new document.
    QTest::keyClick(rules, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(ShownTitle(main_->documents()->activeWindow()), QStringLiteral("Marvo1"));
    // Ctrl+S on an untitled document asks for a name, proposing its title.
    QPlainTextEdit* editor = ActiveEditor(main_);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(bench_->dialogs->proposedNames, QStringList{QStringLiteral("Marvo1")});
    // Alt+Backspace undoes typing.
    QTest::keyClicks(editor, "abc");
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
    QTest::keyClick(editor, Qt::Key_Backspace, Qt::AltModifier);
    QVERIFY(editor->toPlainText() != QStringLiteral("abc"));
    // Ctrl+O asks for a file and opens it.
    bench_->dialogs->openAnswers = {dir_->file("tags.txt")};
    QTest::keyClick(editor, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(ShownTitle(main_->documents()->activeWindow()), QStringLiteral("tags.txt"));
    // F6 goes to the next window, Shift+F6 back.
    DocumentWindow* marvo = main_->documents()->activeWindow();
    QTest::keyClick(editor, Qt::Key_F6);
    QVERIFY(main_->documents()->activeWindow() != marvo);
    QTest::keyClick(ActiveEditor(main_), Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(main_->documents()->activeWindow(), marvo);
  }

  // Ctrl+F4 did not close the active window under X11, and Ctrl+W only once
  // the window's own menu had been opened: both are the main window's keys.
  void ctrlF4AndCtrlWCloseTheActiveWindowAtOnce() {
    main_->action(Command::kFileNew)->trigger();
    main_->action(Command::kFileNew)->trigger();
    const QKeyCombination keys[] = {Qt::CTRL | Qt::Key_F4, Qt::CTRL | Qt::Key_W,
                                    Qt::CTRL | Qt::Key_F4};
    for (int i = 0; i < 3; ++i) {
      const QString closing =
          ShownTitle(main_->findChild<QMdiArea*>("documentArea")->currentSubWindow());
      QTest::keyClick(QApplication::focusWidget(), keys[i].key(), keys[i].keyboardModifiers());
      Settle(main_);
      QCOMPARE(main_->findChild<QMdiArea*>("documentArea")->subWindowList().size(), 2 - i);
      for (QMdiSubWindow* window : main_->findChild<QMdiArea*>("documentArea")->subWindowList())
        QVERIFY(ShownTitle(window) != closing);
    }
    QCOMPARE(ShownTitle(main_), QStringLiteral("Marvolen"));
  }

  // The parse pane's 导出 button was clipped by its menu arrow, and the
  // 跟随光标 state barely showed: it shows a check box's mark now.
  void parsePaneButtonsShowTheirTextAndState() {
    main_->action(Command::kViewParsePane)->trigger();
    auto* exports = main_->findChild<ParsePane*>("parsePane")
                        ->findChild<QPushButton*>(QStringLiteral("exportButton"));
    QVERIFY(exports != nullptr);
    QVERIFY(exports->menu() != nullptr);
    const int arrow = exports->style()->pixelMetric(QStyle::PM_MenuButtonIndicator);
    QVERIFY(exports->sizeHint().width() >=
            exports->fontMetrics().horizontalAdvance(exports->text()) + arrow);
    QToolButton* follow = main_->findChild<QToolButton*>("followCursor");
    QCOMPARE(follow->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    const QSize size = follow->iconSize();
    QVERIFY(follow->icon().pixmap(size, QIcon::Normal, QIcon::On).toImage() !=
            follow->icon().pixmap(size, QIcon::Normal, QIcon::Off).toImage());
  }

  void toolbarAndStatusBar() {
    QToolBar* bar = main_->findChild<QToolBar*>();
    QStringList buttons;
    for (QAction* a : bar->actions())
      buttons.append(a->isSeparator() ? QStringLiteral("-") : a->objectName() + " " + a->toolTip());
    QCOMPARE(buttons, (QStringList{"fileNew 新建", "fileOpen 打开", "fileSave 保存", "-",
                                   "editCut 剪切", "editCopy 复制", "editPaste 粘贴", "-",
                                   "filePrint 打印", "-", "appAbout 关于"}));
    QCOMPARE(bar->iconSize(), QSize(16, 15));
    QCOMPARE(
        main_->action(Command::kGenerateReport)->statusTip(),
        QStringLiteral("根据给定的规则文件，标签文件，格式序列文件，生成歧义格式统计报告文件"));
    QCOMPARE(main_->action(Command::kFileNew)->statusTip(), QStringLiteral("建立新文档"));
    QCOMPARE(main_->action(Command::kRecentFile1)->statusTip(), QStringLiteral("打开该文档"));

    auto* idle = main_->statusBar()->findChild<QLabel*>(QStringLiteral("idleMessage"));
    QVERIFY(idle != nullptr);
    QCOMPARE(idle->text(), QStringLiteral("就绪"));
    // Three lock-key panes, unlit where the platform does not tell, then
    // ours: the cursor's line and column.
    QList<QWidget*> panes;
    for (QLabel* label : main_->statusBar()->findChildren<QLabel*>()) panes.append(label);
    std::sort(panes.begin(), panes.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    QCOMPARE(panes.size(), 5);
    QCOMPARE(panes.first(), idle);
    QCOMPARE(panes.last(), main_->findChild<QLabel*>("cursorPosition"));
    QCOMPARE(main_->findChild<QLabel*>("cursorPosition")->text(),
             QStringLiteral("第 1 行，第 1 列"));

    // The view toggles hide and show the bars and carry a check mark.
    QVERIFY(main_->action(Command::kViewToolbar)->isChecked());
    main_->action(Command::kViewToolbar)->trigger();
    QVERIFY(bar->isHidden());
    QVERIFY(!main_->action(Command::kViewToolbar)->isChecked());
    main_->action(Command::kViewStatusBar)->trigger();
    QVERIFY(main_->statusBar()->isHidden());
    main_->action(Command::kViewStatusBar)->trigger();
    QVERIFY(!main_->statusBar()->isHidden());
    QVERIFY(main_->action(Command::kViewStatusBar)->isChecked());
  }

  // Greyed menu items showed "就绪" while hovered; their prompts show as for
  // the others.
  void greyedMenuItemsShowTheirPrompts() {
    QMenu* edit = nullptr;
    for (QAction* top : main_->menuBar()->actions())
      if (top->isVisible() && top->menu()->actions().contains(main_->action(Command::kEditUndo)))
        edit = top->menu();
    QVERIFY(edit != nullptr);
    QVERIFY(!main_->action(Command::kEditUndo)->isEnabled());
    QVERIFY(!main_->action(Command::kEditCopy)->isEnabled());
    main_->menuBar()->setActiveAction(edit->menuAction());
    QVERIFY(QTest::qWaitForWindowExposed(edit));
    for (Command command : {Command::kEditCopy, Command::kEditPaste, Command::kEditUndo}) {
      QAction* item = main_->action(command);
      const QPoint at = edit->actionGeometry(item).center();
      QMouseEvent move(QEvent::MouseMove, at, edit->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QApplication::sendEvent(edit, &move);
      QCOMPARE(main_->statusBar()->currentMessage(), item->statusTip());
    }
    edit->close();
  }

  void editCommandsFollowTheSelectionAndUndoState() {
    DocumentEditor* view = main_->documents()->activeWindow()->editor();
    view->moveCursor(QTextCursor::Start);
    QVERIFY(!main_->action(Command::kEditCopy)->isEnabled());
    QVERIFY(!main_->action(Command::kEditCut)->isEnabled());
    QVERIFY(!main_->action(Command::kEditUndo)->isEnabled());
    view->moveCursor(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    QVERIFY(main_->action(Command::kEditCopy)->isEnabled());
    QVERIFY(main_->action(Command::kEditCut)->isEnabled());
    main_->action(Command::kEditCut)->trigger();
    QVERIFY(!view->toPlainText().startsWith(QStringLiteral("CFGRuleSetBegin")));
    QVERIFY(!main_->action(Command::kEditCopy)->isEnabled());
    QVERIFY(main_->action(Command::kEditUndo)->isEnabled());
    QVERIFY(main_->action(Command::kEditPaste)->isEnabled());
    main_->action(Command::kEditPaste)->trigger();
    QVERIFY(view->toPlainText().startsWith(QStringLiteral("CFGRuleSetBegin")));
    main_->action(Command::kEditUndo)->trigger();
    main_->action(Command::kEditUndo)->trigger();
    QVERIFY(!main_->action(Command::kEditUndo)->isEnabled());
    QVERIFY(!view->document()->isModified());
  }

 private:
  // The menus with the rules file, opened at start-up, as recent file 1.
  QStringList WithRecentRules(QStringList menu) const {
    const QString entry = QStringLiteral("  &1 %1|recentFile1")
                              .arg(QDir::toNativeSeparators(dir_->file("rules.txt")));
    menu.replaceInStrings(QStringLiteral("  最近文件|recentFile1"), entry);
    return menu;
  }

  std::unique_ptr<StartupDir> dir_;
  std::unique_ptr<WorkbenchSession> bench_;
  MainWindow* main_ = nullptr;
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::MainWindowCommandsTest)
#include "main_window_commands_test.moc"
