// Menus, accelerators, toolbar, status bar, titles and windows of the
// workbench's main window.
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolBar>
#include <QtTest>

#include "marvolen_version.h"
#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/main_frame.h"
#include "shell/marvolen_doc.h"
#include "shell/parse_pane.h"
#include "shell/test_support.h"

namespace marvolen {

namespace {

// The menu bar as it shows: "title" for each menu, then "  text|id" for each
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
        lines.append(QStringLiteral("  %1|%2").arg(item->text()).arg(item->data().toInt()));
      }
    }
  }
  return lines;
}

const QStringList kStartMenus = {
    "文件(&F)", "  新建(&N)\tCtrl+N|57600", "  打开(&O)...\tCtrl+O|57601", "  -",
    "  打印设置(&R)...|57606", "  -", "  最近文件|57616", "  -", "  退出(&X)|57665",
    "查看(&V)", "  工具栏(&T)|59392", "  状态栏(&S)|59393", "  分析树窗格(&P)|32790", "  -",
    "  放大(&I)\tCtrl+=|32810", "  缩小(&O)\tCtrl+-|32811", "  默认大小(&D)\tCtrl+0|32812",
    "帮助(&H)", "  关于 Marvolen(&A)...|57664",
};

const QStringList kDocumentMenus = {
    "文件(&F)",
    "  新建(&N)\tCtrl+N|57600",
    "  打开(&O)...\tCtrl+O|57601",
    "  关闭(&C)|57602",
    "  保存(&S)\tCtrl+S|57603",
    "  另存为(&A)...|57604",
    "  -",
    "  打印(&P)...\tCtrl+P|57607",
    "  打印预览(&V)|57609",
    "  打印设置(&R)...|57606",
    "  -",
    "  最近文件|57616",
    "  -",
    "  退出(&X)|57665",
    "编辑(&E)",
    "  撤消(&U)\tCtrl+Z|57643",
    "  -",
    "  剪切(&T)\tCtrl+X|57635",
    "  复制(&C)\tCtrl+C|57634",
    "  粘贴(&P)\tCtrl+V|57637",
    "  -",
    "  查找(&F)...\tCtrl+F|32800",
    "  查找下一个(&N)\tF3|32801",
    "  查找上一个(&V)\tShift+F3|32802",
    "  替换(&R)...\tCtrl+H|32803",
    "  转到(&G)...\tCtrl+G|32804",
    "查看(&V)",
    "  工具栏(&T)|59392",
    "  状态栏(&S)|59393",
    "  分析树窗格(&P)|32790",
    "  -",
    "  放大(&I)\tCtrl+=|32810",
    "  缩小(&O)\tCtrl+-|32811",
    "  默认大小(&D)\tCtrl+0|32812",
    "歧义格式分析(&A)",
    "  生成歧义格式统计报告|32772",
    "  查看分析报告(&R)|32820",
    "  -",
    "  生成 HTML 报告(&H)|32821",
    "  导出 CSV(&C)|32822",
    "窗口(&W)",
    "  新建窗口(&N)|57648",
    "  层叠(&C)|57650",
    "  平铺(&T)|57651",
    "  排列图标(&A)|57649",
    "帮助(&H)",
    "  关于 Marvolen(&A)...|57664",
};

// Let what was closed go, and the actions catch up.
void Settle(CMainFrame* frame) {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  frame->UpdateActions();
}

void CloseAllWindows(CMainFrame* frame) {
  frame->mdiArea()->closeAllSubWindows();
  Settle(frame);
}

QPlainTextEdit* ActiveEditor(CMainFrame* frame) {
  CChildFrame* child = frame->activeChild();
  return child != nullptr ? child->view() : nullptr;
}

// The entries the 窗口 menu lists after its commands: "text|checked".
QStringList WindowList(CMainFrame* frame) {
  emit frame->windowMenu()->aboutToShow();
  QStringList entries;
  for (QAction* a : frame->windowMenu()->actions().mid(4))
    if (!a->isSeparator()) entries.append(a->text() + (a->isChecked() ? "|checked" : ""));
  return entries;
}

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    dir_->WriteExampleSet();
    bench_ = std::make_unique<Workbench>(*dir_);
    QVERIFY(bench_->started);
    frame_ = bench_->frame;
    QApplication::setActiveWindow(frame_);
    QVERIFY(QTest::qWaitForWindowActive(frame_));
    frame_->UpdateActions();
  }
  void cleanup() {
    bench_.reset();
    dir_.reset();
  }

  void documentMenusWhileADocumentWindowIsActive() {
    QCOMPARE(DumpMenuBar(frame_->menuBar()), WithRecentRules(kDocumentMenus));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen - rules.txt"));
  }

  // With both 文件 menus in the menu bar (one hidden), Alt+F opened neither.
  void mnemonicsOpenTheirMenus() {
    for (bool document : {true, false}) {
      if (!document) CloseAllWindows(frame_);
      QApplication::setActiveWindow(frame_);
      for (const auto& [key, title] :
           {std::pair{Qt::Key_F, "文件(&F)"}, {Qt::Key_V, "查看(&V)"}, {Qt::Key_H, "帮助(&H)"}}) {
        QTest::keyClick(frame_, key, Qt::AltModifier);
        QMenu* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY2(open != nullptr && open->title() == QString::fromUtf8(title), title);
        open->close();
      }
    }
  }

  void startMenusAndNoAnalysisWithoutADocumentWindow() {
    CloseAllWindows(frame_);
    QCOMPARE(DumpMenuBar(frame_->menuBar()), WithRecentRules(kStartMenus));
    // With an empty recent-file list the entry is the greyed placeholder.
    bench_->app->recentFiles().Remove(0);
    frame_->UpdateActions();
    QCOMPARE(DumpMenuBar(frame_->menuBar()), kStartMenus);
    QVERIFY(!frame_->action(kRecentFile1)->isEnabled());
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen"));
    // The analysis is not offered now, not even by its action.
    for (int command :
         {kGenerateReport, kFileSave, kFileClose, kFilePrint, kWindowNew, kNextPane, kEditPaste})
      QVERIFY2(!frame_->action(command)->isEnabled(), qPrintable(QString::number(command)));
    QVERIFY(frame_->action(kFileNew)->isEnabled());
    frame_->action(kGenerateReport)->trigger();
    QVERIFY(bench_->dialogs->messages.empty());
    QVERIFY(!QFileInfo::exists(dir_->file("report.txt")));

    // A new document brings the document menus and the command back.
    frame_->action(kFileNew)->trigger();
    QCOMPARE(DumpMenuBar(frame_->menuBar()).size(), kDocumentMenus.size());
    QVERIFY(frame_->action(kGenerateReport)->isEnabled());
  }

  void newDocumentsAreNumberedAndWindowsShareTheText() {
    frame_->action(kFileNew)->trigger();
    QCOMPARE(frame_->activeChild()->windowTitle(), QStringLiteral("Marvo1"));
    frame_->action(kFileNew)->trigger();
    QCOMPARE(frame_->activeChild()->windowTitle(), QStringLiteral("Marvo2"));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen - Marvo2"));

    // "新建窗口": a second window on Marvo2, titled :1 and :2, same text.
    CChildFrame* first = frame_->activeChild();
    frame_->action(kWindowNew)->trigger();
    CChildFrame* second = frame_->activeChild();
    QVERIFY(second != first);
    QCOMPARE(first->windowTitle(), QStringLiteral("Marvo2:1"));
    QCOMPARE(second->windowTitle(), QStringLiteral("Marvo2:2"));
    QCOMPARE(second->view()->document(), first->view()->document());
    first->view()->insertPlainText(QStringLiteral("名词"));
    QCOMPARE(second->view()->toPlainText(), QStringLiteral("名词"));
    // Closing one of the two windows does not ask to save; the other stays,
    // marked as modified.
    QVERIFY(second->close());
    Settle(frame_);
    QVERIFY(bench_->dialogs->saveQuestions.isEmpty());
    QCOMPARE(first->windowTitle(), QStringLiteral("Marvo2*"));
    QCOMPARE(frame_->findChildren<CMarvolenDoc*>().size(), size_t(3));
  }

  void newWindowsAreCascadedInsideTheArea() {
    for (int i = 0; i < 12; ++i) frame_->action(kFileNew)->trigger();
    QMdiArea* area = frame_->mdiArea();
    const QRect inside(QPoint(0, 0), area->viewport()->size());
    const QList<QMdiSubWindow*> windows = area->subWindowList();
    for (QMdiSubWindow* w : windows)
      QVERIFY2(inside.contains(w->geometry()), qPrintable(w->windowTitle()));
    // Each new window stands below and to the right of the one before, until
    // the cascade starts again at the top left.
    QVERIFY(windows[2]->pos().x() > windows[1]->pos().x());
    QVERIFY(windows[2]->pos().y() > windows[1]->pos().y());
  }

  void viewWrapsLongLines() {
    CMarvolenView* view = frame_->activeChild()->view();
    QCOMPARE(view->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  }

  void acceleratorTable() {
    QMap<QString, int> table;
    for (QAction* action : frame_->actions())
      for (const QKeySequence& key : action->shortcuts())
        table.insert(key.toString(), action->data().toInt());
    const QMap<QString, int> expected = {
        {"Ctrl+N", 57600},
        {"Ctrl+O", 57601},
        {"Ctrl+S", 57603},
        {"Ctrl+P", 57607},
        {"Ctrl+Z", 57643},
        {"Alt+Backspace", 57643},
        {"Ctrl+X", 57635},
        {"Shift+Del", 57635},
        {"Ctrl+C", 57634},
        {"Ctrl+Ins", 57634},
        {"Ctrl+V", 57637},
        {"Shift+Ins", 57637},
        {"F6", 57680},
        {"Shift+F6", 57681},
        // Finding, the analysis, the windows and the text's size.
        {"Ctrl+F", 32800},
        {"F3", 32801},
        {"Shift+F3", 32802},
        {"Ctrl+H", 32803},
        {"Ctrl+G", 32804},
        {"F5", 32772},
        {"Ctrl+Tab", 57680},
        {"Ctrl+F6", 57680},
        {"Ctrl+Shift+Tab", 57681},
        {"Ctrl+Shift+Backtab", 57681},
        {"Ctrl+Shift+F6", 57681},
        {"Ctrl+=", 32810},
        {"Ctrl++", 32810},
        {"Ctrl+-", 32811},
        {"Ctrl+0", 32812},
        {"Ctrl+F4", 32830},
        {"Ctrl+W", 32830},
    };
    QCOMPARE(table, expected);
  }

  void acceleratorsRunTheirCommands() {
    QPlainTextEdit* rules = ActiveEditor(frame_);
    rules->setFocus();
    // Ctrl+N: a new document.
    QTest::keyClick(rules, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(frame_->activeChild()->windowTitle(), QStringLiteral("Marvo1"));
    // Ctrl+S on an untitled document asks for a name, proposing its title.
    QPlainTextEdit* editor = ActiveEditor(frame_);
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
    QCOMPARE(frame_->activeChild()->windowTitle(), QStringLiteral("tags.txt"));
    // F6 goes to the next window, Shift+F6 back.
    CChildFrame* marvo = frame_->activeChild();
    QTest::keyClick(editor, Qt::Key_F6);
    QVERIFY(frame_->activeChild() != marvo);
    QTest::keyClick(ActiveEditor(frame_), Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(frame_->activeChild(), marvo);
  }

  // Ctrl+F4 did not close the active window under X11, and Ctrl+W only once
  // the window's own menu had been opened: both are the main window's keys.
  void ctrlF4AndCtrlWCloseTheActiveWindowAtOnce() {
    frame_->action(kFileNew)->trigger();
    frame_->action(kFileNew)->trigger();
    const QKeyCombination keys[] = {Qt::CTRL | Qt::Key_F4, Qt::CTRL | Qt::Key_W,
                                    Qt::CTRL | Qt::Key_F4};
    for (int i = 0; i < 3; ++i) {
      const QString closing = frame_->mdiArea()->currentSubWindow()->windowTitle();
      QTest::keyClick(QApplication::focusWidget(), keys[i].key(), keys[i].keyboardModifiers());
      Settle(frame_);
      QCOMPARE(frame_->mdiArea()->subWindowList().size(), 2 - i);
      for (QMdiSubWindow* window : frame_->mdiArea()->subWindowList())
        QVERIFY(window->windowTitle() != closing);
    }
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen"));
  }

  // The parse pane's 导出 button was clipped by its menu arrow, and the
  // 跟随光标 state barely showed: it shows a check box's mark now.
  void parsePaneButtonsShowTheirTextAndState() {
    frame_->action(kViewParsePane)->trigger();
    auto* exports = frame_->parsePane()->findChild<QPushButton*>(QStringLiteral("exportButton"));
    QVERIFY(exports != nullptr);
    QVERIFY(exports->menu() != nullptr);
    const int arrow = exports->style()->pixelMetric(QStyle::PM_MenuButtonIndicator);
    QVERIFY(exports->sizeHint().width() >=
            exports->fontMetrics().horizontalAdvance(exports->text()) + arrow);
    QToolButton* follow = frame_->parsePane()->followButton();
    QCOMPARE(follow->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    const QSize size = follow->iconSize();
    QVERIFY(follow->icon().pixmap(size, QIcon::Normal, QIcon::On).toImage() !=
            follow->icon().pixmap(size, QIcon::Normal, QIcon::Off).toImage());
  }

  void toolbarAndStatusBar() {
    QToolBar* bar = frame_->findChild<QToolBar*>();
    QStringList buttons;
    for (QAction* a : bar->actions())
      buttons.append(a->isSeparator() ? QStringLiteral("-")
                                      : QString::number(a->data().toInt()) + " " + a->toolTip());
    QCOMPARE(buttons,
             (QStringList{"57600 新建", "57601 打开", "57603 保存", "-", "57635 剪切", "57634 复制",
                          "57637 粘贴", "-", "57607 打印", "-", "57664 关于"}));
    QCOMPARE(bar->iconSize(), QSize(16, 15));
    QCOMPARE(
        frame_->action(kGenerateReport)->statusTip(),
        QStringLiteral("根据给定的规则文件，标签文件，格式序列文件，生成歧义格式统计报告文件"));
    QCOMPARE(frame_->action(kFileNew)->statusTip(), QStringLiteral("建立新文档"));
    QCOMPARE(frame_->action(kRecentFile1)->statusTip(), QStringLiteral("打开该文档"));

    auto* idle = frame_->statusBar()->findChild<QLabel*>(QStringLiteral("idleMessage"));
    QVERIFY(idle != nullptr);
    QCOMPARE(idle->text(), QStringLiteral("就绪"));
    // Three lock-key panes, unlit where the platform does not tell, then
    // ours: the cursor's line and column.
    QList<QWidget*> panes;
    for (QLabel* label : frame_->statusBar()->findChildren<QLabel*>()) panes.append(label);
    std::sort(panes.begin(), panes.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    QCOMPARE(panes.size(), 5);
    QCOMPARE(panes.first(), idle);
    QCOMPARE(panes.last(), frame_->cursorPane());
    QCOMPARE(frame_->cursorPane()->text(), QStringLiteral("第 1 行，第 1 列"));

    // The view toggles hide and show the bars and carry a check mark.
    QVERIFY(frame_->action(kViewToolbar)->isChecked());
    frame_->action(kViewToolbar)->trigger();
    QVERIFY(bar->isHidden());
    QVERIFY(!frame_->action(kViewToolbar)->isChecked());
    frame_->action(kViewStatusBar)->trigger();
    QVERIFY(frame_->statusBar()->isHidden());
    frame_->action(kViewStatusBar)->trigger();
    QVERIFY(!frame_->statusBar()->isHidden());
    QVERIFY(frame_->action(kViewStatusBar)->isChecked());
  }

  // Greyed menu items showed "就绪" while hovered; their prompts show as for
  // the others.
  void greyedMenuItemsShowTheirPrompts() {
    QMenu* edit = nullptr;
    for (QAction* top : frame_->menuBar()->actions())
      if (top->isVisible() && top->menu()->actions().contains(frame_->action(kEditUndo)))
        edit = top->menu();
    QVERIFY(edit != nullptr);
    QVERIFY(!frame_->action(kEditUndo)->isEnabled());
    QVERIFY(!frame_->action(kEditCopy)->isEnabled());
    frame_->menuBar()->setActiveAction(edit->menuAction());
    QVERIFY(QTest::qWaitForWindowExposed(edit));
    for (int command : {kEditCopy, kEditPaste, kEditUndo}) {
      QAction* item = frame_->action(command);
      const QPoint at = edit->actionGeometry(item).center();
      QMouseEvent move(QEvent::MouseMove, at, edit->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QApplication::sendEvent(edit, &move);
      QCOMPARE(frame_->statusBar()->currentMessage(), item->statusTip());
    }
    edit->close();
  }

  void aboutBox() {
    frame_->action(kAppAbout)->trigger();
    QCOMPARE(bench_->dialogs->modalDialogs, QStringList{QStringLiteral("关于 Marvolen")});
    // Today "Marvolen 1.0 版": the major and minor version of the project.
    const QString version =
        QStringLiteral("Marvolen " MARVOLEN_VERSION_MAJOR "." MARVOLEN_VERSION_MINOR " 版");
    QCOMPARE(bench_->dialogs->modalTexts,
             (QStringList{version, QStringLiteral("汉语歧义格式分析工作台"),
                          QStringLiteral("确定")}));
  }

  void arrangeIconsLinesUpTheMinimizedWindows() {
    frame_->action(kFileNew)->trigger();
    frame_->action(kFileNew)->trigger();
    const QList<CChildFrame*> frames = frame_->childFrames();
    frames[0]->showMinimized();
    frames[2]->showMinimized();
    frame_->action(kWindowArrange)->trigger();
    const int bottom = frame_->mdiArea()->viewport()->height();
    QCOMPARE(frames[0]->geometry().bottomLeft(), QPoint(0, bottom - 1));
    QCOMPARE(frames[2]->geometry().bottomLeft(), QPoint(frames[0]->width(), bottom - 1));
  }

  void editCommandsFollowTheSelectionAndUndoState() {
    CMarvolenView* view = frame_->activeChild()->view();
    view->moveCursor(QTextCursor::Start);
    QVERIFY(!frame_->action(kEditCopy)->isEnabled());
    QVERIFY(!frame_->action(kEditCut)->isEnabled());
    QVERIFY(!frame_->action(kEditUndo)->isEnabled());
    view->moveCursor(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    QVERIFY(frame_->action(kEditCopy)->isEnabled());
    QVERIFY(frame_->action(kEditCut)->isEnabled());
    frame_->action(kEditCut)->trigger();
    QVERIFY(!view->toPlainText().startsWith(QStringLiteral("CFGRuleSetBegin")));
    QVERIFY(!frame_->action(kEditCopy)->isEnabled());
    QVERIFY(frame_->action(kEditUndo)->isEnabled());
    QVERIFY(frame_->action(kEditPaste)->isEnabled());
    frame_->action(kEditPaste)->trigger();
    QVERIFY(view->toPlainText().startsWith(QStringLiteral("CFGRuleSetBegin")));
    frame_->action(kEditUndo)->trigger();
    frame_->action(kEditUndo)->trigger();
    QVERIFY(!frame_->action(kEditUndo)->isEnabled());
    QVERIFY(!view->document()->isModified());
  }

  void printingPrintPreviewAndPrintSetup() {
    // Qt's page setup dialog complained on the terminal on a system without
    // printers; nothing may be printed there now.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QPageSetupDialog")));
    bench_->dialogs->printToPdf = dir_->file("rules.pdf");
    frame_->action(kFilePrint)->trigger();
    QVERIFY(QFileInfo(dir_->file("rules.pdf")).size() > 0);
    frame_->action(kFilePrintPreview)->trigger();
    frame_->action(kFilePrintSetup)->trigger();
    QCOMPARE(bench_->dialogs->modalDialogs.size(),
             QPrinterInfo::availablePrinterNames().isEmpty() ? 2 : 3);
    bench_->dialogs->modalDialogs.removeFirst();  // the print dialog
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
      QCOMPARE(bench_->dialogs->modalDialogs, QStringList{QStringLiteral("rules.txt - 打印预览")});
      QCOMPARE(bench_->dialogs->texts(),
               QStringList{QStringLiteral("尚未安装打印机。\n打印时可以选择打印到 PDF 文件。")});
    } else {
      QCOMPARE(bench_->dialogs->modalDialogs,
               (QStringList{QStringLiteral("rules.txt - 打印预览"), QStringLiteral("打印设置")}));
    }
  }

  // A maximized document window made the title "Marvolen - rules.txt -
  // [rules.txt]", the name twice.
  void titleOfAMaximizedDocumentWindow() {
    CChildFrame* rules = frame_->activeChild();
    rules->showMaximized();
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen - [rules.txt]"));
    frame_->action(kWindowNew)->trigger();
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen - [rules.txt:2]"));
    frame_->activeChild()->showNormal();
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen - rules.txt"));
    frame_->activeChild()->showMaximized();
    frame_->action(kFileNew)->trigger();
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen - [Marvo1]"));
    QVERIFY(frame_->activeChild()->close());
    Settle(frame_);
    QVERIFY(frame_->activeChild()->isMaximized());
    QCOMPARE(frame_->windowTitle(),
             QStringLiteral("Marvolen - [%1]").arg(frame_->activeChild()->windowTitle()));
    CloseAllWindows(frame_);
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Marvolen"));
  }

  // The 窗口 menu did not list the open windows.
  void windowMenuListsTheWindows() {
    frame_->action(kFileNew)->trigger();
    frame_->action(kWindowNew)->trigger();
    QCOMPARE(WindowList(frame_),
             (QStringList{"&1 rules.txt", "&2 Marvo1:1", "&3 Marvo1:2|checked"}));
    // An entry activates its window.
    frame_->windowMenu()->actions().at(5)->trigger();
    QCOMPARE(frame_->activeChild()->windowTitle(), QStringLiteral("rules.txt"));
    QCOMPARE(WindowList(frame_).first(), QStringLiteral("&1 rules.txt|checked"));

    // Nine at most, the active one among them, then a list of all.
    for (int i = 0; i < 8; ++i) frame_->action(kFileNew)->trigger();  // Marvo2..Marvo9
    QStringList list = WindowList(frame_);
    QCOMPARE(list.size(), 10);
    QCOMPARE(list[8], QStringLiteral("&9 Marvo9|checked"));
    QCOMPARE(list[9], QStringLiteral("更多窗口(&M)..."));
    bench_->dialogs->windowAnswer = 10;
    frame_->windowMenu()->actions().last()->trigger();
    QCOMPARE(bench_->dialogs->windowChoices.size(), 11);
    QCOMPARE(bench_->dialogs->windowChoices.first(), QStringLiteral("rules.txt"));
    // One numbering: the menu's 9 is the list's 9 (it was 11 there).
    QCOMPARE(bench_->dialogs->windowChoices[8], QStringLiteral("Marvo9"));
    QCOMPARE(frame_->activeChild()->windowTitle(), QStringLiteral("Marvo8"));
    bench_->dialogs->windowAnswer = 8;
    frame_->mdiArea()->setActiveSubWindow(frame_->childFrames().at(10));
    frame_->windowMenu()->actions().last()->trigger();
    QCOMPARE(frame_->activeChild()->windowTitle(), QStringLiteral("Marvo9"));
    frame_->mdiArea()->setActiveSubWindow(frame_->childFrames().at(3));  // Marvo2
    QCOMPARE(WindowList(frame_).at(3), QStringLiteral("&4 Marvo2|checked"));
    frame_->mdiArea()->setActiveSubWindow(frame_->childFrames().at(9));  // Marvo8
    QCOMPARE(WindowList(frame_).at(8), QStringLiteral("&9 Marvo8|checked"));
    // A title with "&" keeps it.
    CloseAllWindows(frame_);
    dir_->Write(QStringLiteral("a&b.txt"), "x");
    QVERIFY(frame_->OpenFile(dir_->file("a&b.txt")));
    QCOMPARE(WindowList(frame_), QStringList{QStringLiteral("&1 a&&b.txt|checked")});
  }

  // The MDI area signals a change of the active window while QWidget's
  // destructor closes the children, after the frame's own destructor has
  // run; the frame's handler then ran on a half-destroyed object (found by
  // the UndefinedBehaviorSanitizer build, which fails this test without the
  // fix). Here the area must still signal, and nothing may reach the frame.
  void regressionClosingTheWorkbenchSignalsNothingToTheHalfDestroyedFrame() {
    frame_->action(kFileNew)->trigger();
    frame_->action(kFileNew)->trigger();
    int activationsDuringShutdown = 0;
    QObject witness;
    connect(frame_->mdiArea(), &QMdiArea::subWindowActivated, &witness,
            [&activationsDuringShutdown] { ++activationsDuringShutdown; });
    bench_.reset();
    QVERIFY(activationsDuringShutdown > 0);
  }

  // The file dialogs offered 所有文件 only; their columns were cut.
  void fileDialogsOfferAllFilesFirstThenTextAndDataFiles() {
    QFileDialog dialog;
    SetUpFileDialog(&dialog, {QStringLiteral("tags.txt"), QStringLiteral("rules.txt")});
    auto* filters = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(filters != nullptr);
    QCOMPARE(filters->count(), 3);
    QCOMPARE(filters->itemText(0), QStringLiteral("所有文件 (*.*)"));
    QCOMPARE(filters->itemText(1), QStringLiteral("文本文件"));
    QCOMPARE(filters->itemText(2), QStringLiteral("数据文件"));
    QCOMPARE(filters->currentIndex(), 0);
    QCOMPARE(dialog.nameFilters().at(0), QStringLiteral("所有文件 (*.*) (*)"));
    QCOMPARE(dialog.nameFilters().at(2), QStringLiteral("数据文件 (tags.txt rules.txt)"));
    QVERIFY(dialog.defaultSuffix().isEmpty());
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QVERIFY(view != nullptr);
    QCOMPARE(view->header()->sectionResizeMode(0), QHeaderView::ResizeToContents);
  }

  // Saving a picture over config.ini asked "replace?" and only then refused.
  void aRefusedNameIsRefusedBeforeReplacingIsAsked() {
    bench_->dialogs->saveAsAnswers = {dir_->file("config.ini"), dir_->file("tags.txt")};
    bench_->dialogs->yesNoAnswers = {false};
    const QString chosen = ChooseSaveName(*bench_->dialogs, frame_, "x", [](const QString& p) {
      return p.endsWith(QLatin1String("config.ini")) ? QStringLiteral("refused") : QString();
    });
    QVERIFY(chosen.isEmpty());  // tags.txt: not replaced
    QCOMPARE(bench_->dialogs->texts(), QStringList{QStringLiteral("refused")});
    QCOMPARE(bench_->dialogs->yesNoQuestions.size(), 1);
    QVERIFY(bench_->dialogs->yesNoQuestions[0].contains(QStringLiteral("tags.txt")));
  }

 private:
  // The menus with the rules file, opened at start-up, as recent file 1.
  QStringList WithRecentRules(QStringList menu) const {
    const QString entry =
        QStringLiteral("  &1 %1|57616").arg(QDir::toNativeSeparators(dir_->file("rules.txt")));
    menu.replaceInStrings(QStringLiteral("  最近文件|57616"), entry);
    return menu;
  }

  std::unique_ptr<StartupDir> dir_;
  std::unique_ptr<Workbench> bench_;
  CMainFrame* frame_ = nullptr;
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::MainFrameTest)
#include "main_frame_test.moc"
