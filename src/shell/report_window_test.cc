// The report window: its outline, reports of any size, read in the
// background, reloaded when changed on the disk, and its keys.
#include "shell/report_window.h"

#include <QApplication>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

#include "shell/commands.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/report_outline.h"
#include "shell/report_view.h"
#include "shell/test_support.h"
#include "shell/window_list.h"
#include "testing/files.h"

namespace marvolen {

namespace {

// The report of the examples, as the golden test keeps it.
std::filesystem::path GoldenReport() { return TestdataDir() / "golden" / "examples-report.txt"; }

}  // namespace

class ReportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QApplication::restoreOverrideCursor(); }

  // Every section of both reports of the examples, where it begins.
  void outlineOfTheExamplesReport() {
    const QByteArray bytes = QByteArray::fromStdString(ReadFile(GoldenReport()));
    QVERIFY(!bytes.isEmpty());
    QStringList outline;
    for (const OutlineEntry& e : BuildReportOutline({bytes.constData(), size_t(bytes.size())}))
      outline.append(QStringLiteral("%1 %2 %3").arg(e.depth).arg(e.title).arg(e.line) +
                     (e.count >= 0 ? QStringLiteral(" (%1)").arg(e.count) : QString()));
    // The lists count their patterns: the numbers of the summaries.
    const QStringList sections = {"全部排列",   "不能组合",   "能组合",      "只有一种组合方式",
                                  "外显型歧义", "内含型歧义", "歧义程度统计"};
    const int tagSet[] = {28, 6891, 13519, 13758, 14194, 14216, 14259};
    const QStringList tagSetCounts = {" (6859)", " (6624)", " (235)", " (216)",
                                      " (6)",    " (13)",   ""};
    const int sequences[] = {14311, 14345, 14349, 14383, 14423, 14442, 14469};
    const QStringList sequenceCounts = {" (30)", " (0)", " (30)", " (18)", " (5)", " (7)", ""};
    QStringList expected = {"0 全部标记全排列 3", "1 汇总 3"};
    for (int i = 0; i < 7; ++i)
      expected.append(QStringLiteral("1 %1 %2").arg(sections[i]).arg(tagSet[i]) + tagSetCounts[i]);
    expected += {"2 内含型歧义排名 14262 (13)", "3 平均歧义个数：2.000000 14277",
                 "2 外显型歧义排名 14279 (6)",  "3 平均歧义个数：2.000000 14287",
                 "0 sequences.txt文件 14290",   "1 汇总 14290"};
    for (int i = 0; i < 7; ++i)
      expected.append(QStringLiteral("1 %1 %2").arg(sections[i]).arg(sequences[i]) +
                      sequenceCounts[i]);
    expected += {"2 内含型歧义排名 14472 (7)", "3 平均歧义个数：2.285714 14481",
                 "2 外显型歧义排名 14483 (5)", "3 平均歧义个数：2.000000 14490"};
    QCOMPARE(outline, expected);
  }

  // Another program changes the files: when the workbench is active again
  // an unmodified document reloads (keeping its line), a modified one asks
  // (once for each change), and the report window reloads.
  void filesChangedOnDiskAreNoticedWhenTheWorkbenchIsActiveAgain() {
    StartupDir dir;
    dir.WriteExampleSet();
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    bench.window->action(Command::kGenerateReport)->trigger();
    QVERIFY(bench.window->documents()->OpenFile(dir.file("tags.txt")));
    Document* tags = bench.window->documents()->activeWindow()->document();
    Document* rules = bench.window->documents()->windows().first()->document();
    bench.window->documents()->windows().first()->editor()->insertPlainText(
        QStringLiteral("我的 "));
    auto comeBack = [&] {
      QApplication::setActiveWindow(nullptr);
      QApplication::setActiveWindow(bench.window);
      QVERIFY(QTest::qWaitForWindowActive(bench.window));
      QCoreApplication::processEvents();
    };
    comeBack();  // nothing changed: nothing asked
    QVERIFY(bench.dialogs->yesNoQuestions.isEmpty());
    dir.Write(QStringLiteral("tags.txt"), "TagSetBegin\r\nn , v , a , d\r\nTagSetEnd\r\n");
    dir.Write(QStringLiteral("rules.txt"), "CFGRuleSetBegin\r\nCFGRuleSetEnd\r\n");
    dir.Write(QStringLiteral("report.txt"), "line one\r\nline two\r\n");
    bench.dialogs->yesNoAnswers = {false};
    comeBack();
    QCOMPARE(tags->text()->toPlainText(),
             QStringLiteral("TagSetBegin\nn , v , a , d\nTagSetEnd\n"));
    QVERIFY(!tags->text()->isModified());
    QCOMPARE(bench.dialogs->yesNoQuestions.size(), 1);
    QVERIFY(bench.dialogs->yesNoQuestions[0].contains(QStringLiteral("已被其他程序修改")));
    QVERIFY(rules->text()->toPlainText().startsWith(QStringLiteral("我的 ")));  // kept
    QCOMPARE(bench.window->findChild<ReportWindow*>()->view()->lineText(2),
             QStringLiteral("line two"));
    comeBack();  // asked once for that change
    QCOMPARE(bench.dialogs->yesNoQuestions.size(), 1);
    // Changed again, and this time reloaded.
    dir.Write(QStringLiteral("rules.txt"), "CFGRuleSetBegin\r\n\r\nCFGRuleSetEnd\r\n");
    bench.dialogs->yesNoAnswers = {true};
    comeBack();
    QCOMPARE(bench.dialogs->yesNoQuestions.size(), 2);
    QCOMPARE(rules->text()->toPlainText(), QStringLiteral("CFGRuleSetBegin\n\nCFGRuleSetEnd\n"));
    QVERIFY(!rules->text()->isModified());
    QCOMPARE(ShownTitle(bench.window->documents()->windows().first()), QStringLiteral("rules.txt"));
  }

  // A report too big for the editor opens in the report window.
  void aReportOfAnySizeOpensReadOnly() {
    StartupDir dir;
    dir.WriteExampleSet();
    QByteArray big;
    for (int i = 0; big.size() <= 3 * 0xFFFFF; ++i)
      big += GbkBytes("\t\t[1](NP:定中(a,n))  第") + QByteArray::number(i) + "\r\n";
    dir.Write(QStringLiteral("report.txt"), big);
    WorkbenchSession bench(dir);
    QVERIFY(!bench.window->documents()->OpenFile(dir.file("report.txt")));  // not for editing
    QCOMPARE(bench.dialogs->texts(), QStringList{QStringLiteral("该文件太大，无法打开。")});
    bench.window->action(Command::kViewReport)->trigger();
    ReportView* view = bench.window->findChild<ReportWindow*>()->view();
    QCOMPARE(view->lineCount(), big.count('\n') + 1);
    view->GoToLine(100000);
    QCOMPARE(view->currentLineText(), QStringLiteral("\t\t[1](NP:定中(a,n))  第99999"));
    // Copy takes the selection, across lines.
    view->GoToLine(2);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QVERIFY(bench.window->action(Command::kEditCopy)->isEnabled());
    QCOMPARE(view->selectedText(), QStringLiteral("\t\t[1](NP:定中(a,n))  第1\n\t"));
    // The file opens as a document no more: nothing to save or undo here.
    QVERIFY(!bench.window->action(Command::kFileSave)->isEnabled());
    QVERIFY(!bench.window->action(Command::kEditPaste)->isEnabled());
    QVERIFY(bench.window->action(Command::kGenerateReport)->isEnabled());
    QCOMPARE(ShownTitle(bench.window), QStringLiteral("Marvolen - 分析报告 - report.txt"));
  }

  // The keys of the windows and of the text's size.
  void keysForWindowsAndTheTextSize() {
    StartupDir dir;
    dir.WriteExampleSet();
    WorkbenchSession bench(dir);
    QApplication::setActiveWindow(bench.window);
    QVERIFY(QTest::qWaitForWindowActive(bench.window));
    bench.window->action(Command::kViewReport)->trigger();  // none yet
    QCOMPARE(bench.dialogs->messages.size(), size_t(1));
    QVERIFY(bench.window->documents()->OpenFile(dir.file("tags.txt")));
    QVERIFY(bench.window->documents()->OpenFile(dir.file("sequences.txt")));
    auto* area = bench.window->findChild<QMdiArea*>("documentArea");
    auto title = [&] { return ShownTitle(area->currentSubWindow()); };
    auto key = [&](int k, Qt::KeyboardModifiers m) {
      QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), m);
    };
    key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(title(), QStringLiteral("rules.txt"));
    key(Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(title(), QStringLiteral("tags.txt"));
    key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(title(), QStringLiteral("rules.txt"));
    key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(title(), QStringLiteral("sequences.txt"));
    key(Qt::Key_F4, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(bench.window->documents()->windows().size(), 2);
    // Larger, larger, smaller, then the default size again; every window.
    DocumentEditor* view = bench.window->documents()->activeWindow()->editor();
    const int normal = view->font().pointSize();
    key(Qt::Key_Equal, Qt::ControlModifier);
    key(Qt::Key_Equal, Qt::ControlModifier);
    key(Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(view->font().pointSize(), normal + 1);
    QCOMPARE(bench.window->documents()->windows().first()->editor()->font().pointSize(),
             normal + 1);
    QCOMPARE(bench.app->settings().layout.pointSize, normal + 1);
    QWheelEvent wheel(QPointF(5, 5), view->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    QCOMPARE(view->font().pointSize(), normal + 2);
    key(Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(view->font().pointSize(), normal);
    QCOMPARE(bench.app->settings().layout.pointSize, 0);
  }

  // A report bigger than a piece is read in the background: the first piece
  // shows at once, the status bar is told how far the reading has come, and
  // at the end the text, its lines and its outline are the whole file's. A
  // reload keeps a line the first piece does not hold; a file loaded while
  // another is read, or closing the window, gives up the reading.
  void aBigReportIsReadInTheBackground() {
    const QString golden = QString::fromStdU16String(GoldenReport().u16string());
    const QByteArray bytes = QByteArray::fromStdString(ReadFile(GoldenReport()));
    QVERIFY(!bytes.isEmpty());
    QString error;
    ReportWindow whole;  // one piece
    QVERIFY(whole.Load(golden, &error));
    QVERIFY(!whole.loading());
    const qint64 lines = whole.view()->lineCount();

    ReportWindow window(4096);
    QSignalSpy notes(&window, &ReportWindow::statusNote);
    QSignalSpy loaded(&window, &ReportWindow::loaded);
    QVERIFY(window.Load(golden, &error));
    QVERIFY(window.loading());
    QVERIFY(window.view()->lineCount() > 1 && window.view()->lineCount() < lines);
    QVERIFY(!window.outlineEntries().isEmpty());
    QVERIFY(loaded.wait(30000));
    QVERIFY(!window.loading());
    QCOMPARE(QByteArray::fromStdString(window.view()->bytes()), bytes);
    QCOMPARE(window.view()->lineCount(), lines);
    QCOMPARE(window.outlineEntries(), whole.outlineEntries());
    QVERIFY(notes.size() > 2);
    QVERIFY(notes.first().at(0).toString().startsWith(
        QStringLiteral("正在读入报告 examples-report.txt：")));
    QCOMPARE(notes.last().at(0).toString(),
             QStringLiteral("报告已读入：共 %1 行").arg(QLocale().toString(lines)));

    window.view()->GoToLine(lines - 20);
    QVERIFY(window.Load(golden, &error));
    QVERIFY(window.view()->cursorLine() < lines - 20);
    QVERIFY(loaded.wait(30000));
    QCOMPARE(window.view()->cursorLine(), lines - 20);

    StartupDir dir;
    dir.Write(QStringLiteral("small.txt"), "one\r\ntwo\r\n");
    const QString small = dir.file(QStringLiteral("small.txt"));
    QVERIFY(window.Load(golden, &error));
    QVERIFY(window.loading());
    QVERIFY(window.Load(small, &error));
    QVERIFY(!window.loading());
    QTest::qWait(100);  // pieces of the golden report still queued are dropped
    QCOMPARE(window.view()->bytes(), std::string("one\r\ntwo\r\n"));
    QCOMPARE(window.view()->lineCount(), 3);

    auto* closing = new ReportWindow(4096);
    QVERIFY(closing->Load(golden, &error));
    QVERIFY(closing->loading());
    delete closing;  // stops the reading and waits for it
    QTest::qWait(50);
  }
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::ReportWindowTest)
#include "report_window_test.moc"
