// 生成歧义格式统计报告 from the workbench: the report after a run, the
// outputs beside it, the run's messages, the questions before and during
// a run, and stopping a run.
#include "shell/report_window.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "shell/analysis_runner.h"
#include "shell/commands.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/report_view.h"
#include "shell/test_support.h"
#include "shell/window_list.h"

namespace marvolen {

namespace {

// Data files whose analysis takes a while: `rules` rules S -> S S, each with
// its own title, and `lines` lines S S S S S (8,750 parses each for five).
void WriteSlowSet(const StartupDir& dir, int rules, int lines) {
  dir.WriteExampleSet();
  QByteArray text = "CFGRuleSetBegin\r\n";
  for (int i = 1; i <= rules; ++i)
    text += QByteArray("&& [ R") + QByteArray::number(i) + " ] S -> S S :: <TREE> = t" +
            QByteArray::number(i) + "\r\n";
  dir.Write(QStringLiteral("rules.txt"), text + "CFGRuleSetEnd\r\n");
  dir.Write(QStringLiteral("tags.txt"), "TagSetBegin\r\nS\r\nTagSetEnd\r\n");
  dir.Write(QStringLiteral("sequences.txt"), QByteArray("S S S S S\r\n").repeated(lines));
}

// Call `act` with the progress window once it shows progress (while the
// analysis runs).
void WhenRunning(std::function<void(QProgressDialog*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(w);
      if (progress == nullptr || !progress->isVisible() || progress->value() <= 0) continue;
      timer->stop();
      timer->deleteLater();
      act(progress);
      return;
    }
  });
  timer->start(5);
}

QStringList Temporaries(const StartupDir& dir) {
  return QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files);
}

}  // namespace

class ReportGenerationTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QApplication::restoreOverrideCursor(); }

  // F5 runs the analysis and opens the report; the next run reloads the
  // same window, which keeps its line.
  void theReportOpensAfterARunAndReloadsAfterTheNext() {
    StartupDir dir;
    dir.WriteExampleSet();
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    QApplication::setActiveWindow(bench.window);
    QVERIFY(QTest::qWaitForWindowActive(bench.window));
    QTest::keyClick(bench.window->documents()->activeWindow()->editor(), Qt::Key_F5);
    ReportWindow* report = bench.window->findChild<ReportWindow*>();
    QVERIFY(report != nullptr);
    QCOMPARE(bench.window->findChild<QMdiArea*>("documentArea")->currentSubWindow(), report);
    QCOMPARE(ShownTitle(report), QStringLiteral("分析报告 - report.txt"));
    const QByteArray first = dir.Read(QStringLiteral("report.txt"));
    ReportView* view = report->view();
    QCOMPARE(view->lineCount(), first.count('\n') + 1);
    QCOMPARE(view->lineText(3), QStringLiteral("全部标记共有 3 个: "));
    // The outline jumps: the sequences' overt ambiguities.
    const QStringList entries = report->outlineEntries();
    qsizetype overt = entries.size() - 1;
    while (overt > 0 && !entries[overt].startsWith(QStringLiteral("  外显型歧义|"))) --overt;
    QVERIFY(overt > 0);
    report->JumpTo(static_cast<int>(overt));
    QCOMPARE(view->currentLineText(), QStringLiteral("sequences.txt文件中外显型歧义的排列如下:"));
    QCOMPARE(QString::number(view->cursorLine()), entries[overt].section(QLatin1Char('|'), 1, 1));
    // The outline follows the cursor: a line inside a section makes it current.
    QTreeWidget* outline = report->findChild<QTreeWidget*>(QStringLiteral("reportOutline"));
    view->GoToLine(view->cursorLine() + 2);
    QCOMPARE(outline->currentItem()->text(0), QStringLiteral("外显型歧义"));
    view->GoToLine(5);
    QCOMPARE(outline->currentItem()->text(0), QStringLiteral("汇总"));
    // The completion message, the report written and its folder.
    QCOMPARE(report->findChild<QTreeWidget*>("runMessages")->topLevelItemCount(), 3);
    // Another run on changed data: the same window, the new report.
    dir.Write(QStringLiteral("sequences.txt"), GbkBytes("a n\r\nv a n\r\nv n\r\n"));
    const qint64 line = view->cursorLine();
    QApplication::setActiveWindow(bench.window);
    bench.window->action(Command::kGenerateReport)->trigger();
    QCOMPARE(bench.window->findChild<ReportWindow*>(), report);
    QVERIFY(dir.Read(QStringLiteral("report.txt")) != first);
    QCOMPARE(view->lineCount(), dir.Read(QStringLiteral("report.txt")).count('\n') + 1);
    QCOMPARE(view->cursorLine(), std::min(line, view->lineCount()));
    QVERIFY(view->lineText(view->lineCount() - 12).size() >= 0);
    QCOMPARE(bench.window->findChildren<ReportWindow*>().size(), 1);
  }

  // 生成 HTML 报告 and 导出 CSV are kept in config.ini's own section; a run
  // writes both beside the report and shows the HTML report in the browser.
  // An output that cannot be made is told of and costs the report nothing.
  void theHtmlReportAndTheCsvTableBesideTheReport() {
    StartupDir dir;
    dir.WriteExampleSet();
    const QByteArray data = dir.Read(QStringLiteral("config.ini"));
    {
      WorkbenchSession bench(dir);
      QVERIFY(bench.started);
      QVERIFY(!bench.window->action(Command::kRunHtmlReport)->isChecked());
      QVERIFY(!bench.window->action(Command::kRunCsvTable)->isChecked());
      bench.window->action(Command::kGenerateReport)->trigger();  // neither asked for
      QVERIFY(!QFile::exists(dir.file(QStringLiteral("report.html"))));
      QVERIFY(!QFile::exists(dir.file(QStringLiteral("report.csv"))));
      bench.window->action(Command::kRunHtmlReport)->trigger();
      bench.window->action(Command::kRunCsvTable)->trigger();
      bench.window->action(Command::kGenerateReport)->trigger();
      QVERIFY(dir.Read(QStringLiteral("report.html")).startsWith("<!DOCTYPE html>"));
      const QList<QByteArray> rows = dir.Read(QStringLiteral("report.csv")).split('\n');
      QVERIFY(rows.size() > 3);
      QCOMPARE(rows[0],
               QByteArray("\xEF\xBB\xBFsource,items,judgement,parses,roots,trees,divergences\r"));
      QVERIFY(rows[rows.size() - 3].startsWith("sequences,a n,one_way,1,"));
      QCOMPARE(rows[rows.size() - 2], QByteArray("sequences,v a n,cannot_combine,0,,,\r"));
      QCOMPARE(bench.dialogs->browsed,
               QStringList{QDir::toNativeSeparators(
                   QFileInfo(dir.file(QStringLiteral("report.html"))).absoluteFilePath())});
      QCOMPARE(bench.dialogs->texts().size(), 2);  // the two completion messages
      // The run's messages name every file it wrote, their folder, and the
      // page handed to the browser, which may still fail to show it.
      const auto native = [&](const char* name) {
        return QDir::toNativeSeparators(QFileInfo(dir.file(name)).absoluteFilePath());
      };
      QTreeWidget* list =
          bench.window->findChild<ReportWindow*>()->findChild<QTreeWidget*>("runMessages");
      QStringList listed;
      for (int i = 1; i < list->topLevelItemCount(); ++i)
        listed.append(list->topLevelItem(i)->toolTip(0));
      QCOMPARE(
          listed,
          (QStringList{QStringLiteral("已写入：") + native("report.txt"),
                       QStringLiteral("已写入：") + native("report.html"),
                       QStringLiteral("已写入：") + native("report.csv"),
                       QStringLiteral("打开所在文件夹：") + QDir::toNativeSeparators(dir.path()),
                       QStringLiteral("已请系统浏览器打开 HTML 报告；如果浏览器没有打开，请打开 ") +
                           native("report.html")}));
      // The folder and the CSV table open in the system's programs, the
      // report in its window.
      emit list->itemActivated(list->topLevelItem(4), 0);
      emit list->itemActivated(list->topLevelItem(3), 0);
      emit list->itemActivated(list->topLevelItem(1), 0);
      QCOMPARE(bench.dialogs->browsed.mid(1),
               (QStringList{QDir::toNativeSeparators(dir.path()), native("report.csv")}));
      QCOMPARE(bench.window->findChild<QMdiArea*>("documentArea")->currentSubWindow(),
               bench.window->findChild<ReportWindow*>());
      QCOMPARE(bench.window->documents()->windows().size(), 1);
    }
    const QByteArray ini = dir.Read(QStringLiteral("config.ini"));
    QVERIFY(ini.startsWith(data));
    QVERIFY(ini.contains("[Workbench]\r\n"));
    QVERIFY(ini.contains("HtmlReport=1\r\n"));
    QVERIFY(ini.contains("CsvTable=1\r\n"));

    // The next session keeps the choice. A report named *.html leaves no
    // name for the HTML report: the report and the CSV table are written.
    QByteArray named = ini;
    named.replace("RESULT=report.txt", "RESULT=out.html");
    dir.Write(QStringLiteral("config.ini"), named);
    {
      WorkbenchSession bench(dir);
      QVERIFY(bench.window->action(Command::kRunHtmlReport)->isChecked());
      QVERIFY(bench.window->action(Command::kRunCsvTable)->isChecked());
      bench.window->action(Command::kGenerateReport)->trigger();
      QCOMPARE(dir.Read(QStringLiteral("out.html")), dir.Read(QStringLiteral("report.txt")));
      QCOMPARE(dir.Read(QStringLiteral("out.csv")), dir.Read(QStringLiteral("report.csv")));
      QVERIFY(bench.dialogs->browsed.isEmpty());
      const QStringList texts = bench.dialogs->texts();
      QCOMPARE(texts.size(), 2);
      QVERIFY(texts[0].startsWith(QStringLiteral("HTML 报告文件同时是输入文件")));
      QVERIFY(texts[0].endsWith(QStringLiteral("；报告照常生成，不含该文件")));
      // A browser that cannot be started is said so.
      named.replace("RESULT=out.html", "RESULT=sub/out");
      dir.Write(QStringLiteral("config.ini"), named);
      QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
      bench.dialogs->browserOpens = false;
      bench.dialogs->messages.clear();
      bench.window->action(Command::kGenerateReport)->trigger();
      const QString page = QDir::toNativeSeparators(
          QFileInfo(dir.file(QStringLiteral("sub/out.html"))).absoluteFilePath());
      QCOMPARE(bench.dialogs->browsed.size(), 1);
      QCOMPARE(bench.dialogs->browsed.last(), page);
      QCOMPARE(dir.Read(QStringLiteral("sub/out")), dir.Read(QStringLiteral("report.txt")));
      QVERIFY(QFile::exists(dir.file(QStringLiteral("sub/out.csv"))));
      const QString unopened = QStringLiteral("\n无法在浏览器中打开该 HTML 报告。");
      QCOMPARE(bench.dialogs->texts().last(), page + unopened);
    }
  }

  // Names beside the report: its last extension replaced, or one added.
  void namesBesideTheReport() {
    const struct {
      const char *result, *html;
    } cases[] = {
        {"report.txt", "report.html"},
        {"out/r.txt", "out/r.html"},
        {"result", "result.html"},
        {"a.b/result", "a.b/result.html"},
        {".txt", ".txt.html"},
        {"r.tar.txt", "r.tar.html"},
        {"dir\\r.txt", "dir\\r.html"},
        {"/abs/r.TXT", "/abs/r.html"},
        {"r.", "r.html"},
    };
    for (const auto& c : cases)
      QCOMPARE(QString::fromStdString(PathBesideReport(c.result, "html")),
               QString::fromUtf8(c.html));
  }

  // The messages of the run stay listed with the file and line they come
  // from; choosing one opens that file at that line.
  void theRunsMessagesStayWithTheirFilesAndLines() {
    StartupDir dir;
    dir.WriteExampleSet();
    dir.Write(QStringLiteral("tags.txt"),
              "TagSetBegin\r\nn , v ,\r\naaaaaaaaaaaaaaaaaaaaa , a\r\nTagSetEnd\r\n");
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    bench.window->action(Command::kGenerateReport)->trigger();
    QCOMPARE(bench.dialogs->messages.size(), size_t(2));  // each in its box, in order
    QTreeWidget* list =
        bench.window->findChild<ReportWindow*>()->findChild<QTreeWidget*>("runMessages");
    QVERIFY(!list->isHidden());
    QCOMPARE(list->topLevelItemCount(), 4);  // then the report written and its folder
    QTreeWidgetItem* error = list->topLevelItem(0);
    QVERIFY(error->text(0).startsWith(QStringLiteral("Tag longer than 19 bytes")));
    QCOMPARE(error->text(1), QStringLiteral("tags.txt"));
    QCOMPARE(error->text(2), QStringLiteral("3"));
    QVERIFY(list->topLevelItem(1)->text(0).startsWith(QStringLiteral("分析完毕！")));
    QCOMPARE(list->topLevelItem(1)->text(1), QString());
    emit list->itemActivated(error, 0);
    DocumentWindow* tags = bench.window->documents()->activeWindow();
    QVERIFY(tags != nullptr);
    QCOMPARE(tags->document()->title(), QStringLiteral("tags.txt"));
    QCOMPARE(tags->editor()->cursorLine(), 3);
  }

  // The workbench's own texts were English in a Chinese interface; the
  // analysis' fixed texts stay as they are, and the error of a sequence of
  // six items is listed at its line.
  void theRunsOwnTextsAreChineseAndASixItemLineIsListedAtItsLine() {
    const struct {
      const char *text, *shown;
    } cases[] = {
        {"The analysis was stopped; the report file was left as it was: /d/%1 r.txt",
         "分析已停止，报告文件保持原样：/d/%1 r.txt"},
        {"The CSV file of parses was left as it was too: p.csv",
         "分析树 CSV 文件也保持原样：p.csv"},
        {"The CSV file could not be written completely: r.csv", "CSV 文件未能完整写入：r.csv"},
        {"The HTML report file could not be created: /x: Permission denied; the report is "
         "written without it",
         "无法建立HTML 报告文件：/x: Permission denied；报告照常生成，不含该文件"},
        {"Too many parses to list for a n v: more than 1000000, more than the limit of 1000000; "
         "the report gives their number only",
         "a n v 的分析树太多（more than 1000000，超过上限 1000000），报告只给出其数目"},
        {"One-item rules in Rules_File form 2 cycles:\n [R1] NP -> N\n",
         "规则文件中的单项规则构成 2 个循环：\n [R1] NP -> N\n"},
        // The analysis' fixed texts.
        {"One permutation contains too many tokens", "One permutation contains too many tokens"},
        {"Data File <tags.txt> Open Error!", "Data File <tags.txt> Open Error!"},
        {"No sequences defined!\t", "No sequences defined!\t"},
    };
    for (const auto& c : cases)
      QCOMPARE(WorkbenchMessage(QString::fromUtf8(c.text)), QString::fromUtf8(c.shown));

    StartupDir dir;
    dir.WriteExampleSet();
    dir.Write(QStringLiteral("sequences.txt"), "a n\r\nn n n n n\r\nn n n n n n\r\nv n\r\n");
    WorkbenchSession bench(dir);
    bench.window->action(Command::kGenerateReport)->trigger();
    QTreeWidget* list =
        bench.window->findChild<ReportWindow*>()->findChild<QTreeWidget*>("runMessages");
    QTreeWidgetItem* error = list->topLevelItem(0);
    QCOMPARE(error->text(0), QStringLiteral("One permutation contains too many tokens"));
    QCOMPARE(error->text(1), QStringLiteral("sequences.txt"));
    QCOMPARE(error->text(2), QStringLiteral("3"));
  }

  // Before a run, the data files with unsaved edits: save them and run, run
  // on the files as saved, or nothing at all.
  void unsavedDataFilesAreNotIgnored_data() {
    QTest::addColumn<RunChoice>("answer");
    QTest::newRow("save them and run") << RunChoice::kSaveAndRun;
    QTest::newRow("run on the files as saved") << RunChoice::kRunAsSaved;
    QTest::newRow("cancel") << RunChoice::kCancel;
  }
  void unsavedDataFilesAreNotIgnored() {
    QFETCH(RunChoice, answer);
    StartupDir dir;
    dir.WriteExampleSet();
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    const QByteArray rules = dir.Read(QStringLiteral("rules.txt"));
    // A document that is no data file does not count.
    bench.window->action(Command::kFileNew)->trigger();
    bench.window->documents()->activeWindow()->editor()->insertPlainText(QStringLiteral("x"));
    bench.window->action(Command::kGenerateReport)->trigger();
    QVERIFY(bench.dialogs->runQuestions.isEmpty());
    QVERIFY(QFile::remove(dir.file("report.txt")));
    // A rule more: the sequence v a n gets a parse.
    bench.window->findChild<QMdiArea*>("documentArea")
        ->setActiveSubWindow(bench.window->documents()->windows().first());
    DocumentEditor* view = bench.window->documents()->activeWindow()->editor();
    view->moveCursor(QTextCursor::Start);
    view->moveCursor(QTextCursor::Down);
    view->insertPlainText(QStringLiteral("&& [ R03 ] VP -> v NP :: <TREE> = 述宾\n"));
    bench.dialogs->runAnswers = {answer};
    bench.dialogs->messages.clear();
    bench.window->action(Command::kGenerateReport)->trigger();
    QCOMPARE(bench.dialogs->runQuestions,
             QStringList{QStringLiteral("以下数据文件有未保存的更改：rules.txt\n\n"
                                        "分析读取磁盘上的文件。要先保存它们吗？")});
    const QByteArray report = dir.Read(QStringLiteral("report.txt"));
    const bool saved = dir.Read(QStringLiteral("rules.txt")) != rules;
    QCOMPARE(saved, answer == RunChoice::kSaveAndRun);
    QCOMPARE(view->document()->isModified(), answer != RunChoice::kSaveAndRun);
    QCOMPARE(report.isEmpty(), answer == RunChoice::kCancel);
    QCOMPARE(report.contains(GbkBytes("述宾(v,NP:定中(a,n))")), answer == RunChoice::kSaveAndRun);
    QCOMPARE(bench.dialogs->messages.size(), size_t(answer == RunChoice::kCancel ? 0 : 1));
    view->document()->setModified(false);
  }

  // 取消 stops the run at once: the old report stays, no temporary file is
  // left, the run says so, and the report window shows nothing new.
  void cancelStopsTheRunAndKeepsTheOldReport() {
    StartupDir dir;
    WriteSlowSet(dir, 5, 500);
    dir.Write(QStringLiteral("report.txt"), "the old report\r\n");
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    bool cancelShown = false, stayed = false;
    WhenRunning([&](QProgressDialog* progress) {
      for (QPushButton* button : progress->findChildren<QPushButton*>()) {
        if (button->text() != QStringLiteral("取消")) continue;
        cancelShown = true;
        button->click();
        // The window stays until the analysis has stopped, and says so.
        stayed = progress->isVisible() && !button->isEnabled() &&
                 progress->labelText() == QStringLiteral("正在停止分析……");
      }
    });
    QElapsedTimer clock;
    clock.start();
    bench.window->action(Command::kGenerateReport)->trigger();
    QVERIFY(cancelShown);
    QVERIFY(stayed);
    QCOMPARE(dir.Read(QStringLiteral("report.txt")), QByteArray("the old report\r\n"));
    QCOMPARE(Temporaries(dir), QStringList());
    QCOMPARE(bench.dialogs->texts().size(), 1);
    QCOMPARE(bench.dialogs->texts()[0],
             QStringLiteral("分析已停止，报告文件保持原样：%1")
                 .arg(QDir::toNativeSeparators(dir.file(QStringLiteral("report.txt")))));
    QVERIFY(bench.window->findChild<ReportWindow*>() == nullptr);
    QVERIFY(!bench.window->findChild<AnalysisRunner*>()->running());
    QVERIFY(bench.window->isEnabled());
    qInfo("stopped after %lld ms", static_cast<long long>(clock.elapsed()));
  }

  // Closing the main window during a run asks whether to stop it: yes stops
  // it and then closes; no lets it finish.
  void closingTheMainWindowDuringARunAsks() {
    for (const bool stop : {true, false}) {
      StartupDir dir;
      WriteSlowSet(dir, 5, stop ? 500 : 100);
      dir.Write(QStringLiteral("report.txt"), "the old report\r\n");
      WorkbenchSession bench(dir);
      QVERIFY(bench.started);
      bench.dialogs->yesNoAnswers = {stop};
      WhenRunning([&](QProgressDialog*) { bench.window->close(); });
      bench.window->action(Command::kGenerateReport)->trigger();
      QCOMPARE(bench.dialogs->yesNoQuestions,
               QStringList{QStringLiteral("正在生成歧义格式统计报告。要停止分析并退出吗？")});
      QCOMPARE(dir.Read(QStringLiteral("report.txt")) == "the old report\r\n", stop);
      QCOMPARE(Temporaries(dir), QStringList());
      QTRY_COMPARE(bench.window->isVisible(), !stop);
    }
  }

  // The run ended while "stop and quit?" was open: the completion message
  // came over it, and the stale question stayed. It goes with the run.
  void theQuestionToStopGoesWhenTheRunEnds() {
    StartupDir dir;
    WriteSlowSet(dir, 5, 100);
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    bench.dialogs->holdQuestions = true;  // Qt's box, which nobody answers
    QPointer<QWidget> question;
    QString counted;
    WhenRunning([&](QProgressDialog* progress) {
      counted = progress->findChild<QProgressBar*>()->text();  // bare numbers before
      bench.window->close();
      question = QApplication::activeModalWidget();
      bench.window->close();  // asked once
    });
    bench.window->action(Command::kGenerateReport)->trigger();
    QCOMPARE(bench.dialogs->yesNoQuestions.size(), 1);
    QVERIFY2(counted.startsWith(QStringLiteral("已处理排列 ")), qPrintable(counted));
    QVERIFY(question != nullptr);
    QTRY_VERIFY(question == nullptr || !question->isVisible());
    QVERIFY(bench.window->isVisible());  // the run finished; nobody said to quit
    QVERIFY(dir.Read(QStringLiteral("report.txt")).size() > 0);
    bench.window->close();  // no run: nothing to ask
    QCOMPARE(bench.dialogs->yesNoQuestions.size(), 1);
    QVERIFY(!bench.window->isVisible());
  }
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::ReportGenerationTest)
#include "report_generation_test.moc"
