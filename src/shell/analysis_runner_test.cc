// The analysis off the GUI thread: messages in order on the GUI thread while
// the analysis waits, progress, busy cursor, and the analysis command end to
// end.
#include <QApplication>
#include <QMdiSubWindow>
#include <QProgressDialog>
#include <QTextDocument>
#include <QtTest>
#include <mutex>

#include "shell/analysis_runner.h"
#include "shell/commands.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/test_support.h"

namespace marvolen {

class AnalysisRunnerTest : public QObject {
  Q_OBJECT

 private slots:
  void messagesArriveInOrderAndTheAnalysisWaitsForEach() {
    QWidget parent;
    std::mutex mutex;
    QStringList order;  // what happened, in order, on both threads
    struct Probe : RecordingDialogs {
      QStringList* order;
      std::mutex* mutex;
      QWidget* parent;
      int progressMaximum = -1;
      bool parentTookInput = false;
      void ShowMessage(QWidget* p, const QString& text, MessageIcon icon) override {
        RecordingDialogs::ShowMessage(p, text, icon);
        std::lock_guard<std::mutex> lock(*mutex);
        order->append("shown " + text);
        if (auto* dialog = qobject_cast<QProgressDialog*>(p)) progressMaximum = dialog->maximum();
        parentTookInput = parentTookInput || parent->isEnabled();
      }
    } probe;
    probe.order = &order;
    probe.mutex = &mutex;
    probe.parent = &parent;

    const std::vector<RunMessage> kept = RunWithProgress(probe, &parent, [&](UserInterface& ui) {
      ui.SetBusy(true);
      ui.Progress(5, 64000);
      ui.ShowMessageAt("Invalid TagSet_File format!    ", {"tags.txt", 3});
      {
        std::lock_guard<std::mutex> lock(mutex);
        order.append("after first");
      }
      ui.ShowMessage("分析完毕！请打开");
      ui.SetBusy(false);
      ui.SetBusy(true);  // left on: the runner must turn it off
    });
    const bool wasBusy = QApplication::overrideCursor() != nullptr;

    QCOMPARE(order, (QStringList{"shown Invalid TagSet_File format!    ", "after first",
                                 "shown 分析完毕！请打开"}));
    QCOMPARE(probe.messages.size(), size_t(2));
    for (const RecordingDialogs::Message& m : probe.messages) {
      QVERIFY(m.onGuiThread);
      QCOMPARE(m.icon, MessageIcon::kWarning);
    }
    // Shown over the progress window; the window behind takes no input
    // meanwhile, and does again afterwards.
    QVERIFY(!probe.parentTookInput);
    QVERIFY(parent.isEnabled());
    QCOMPARE(probe.progressMaximum, 64000);
    QVERIFY(!wasBusy);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    // The messages are kept with their places, files taken from where the
    // analysis runs.
    QCOMPARE(kept.size(), size_t(2));
    QCOMPARE(kept[0].file, QDir::toNativeSeparators(QDir::current().absoluteFilePath("tags.txt")));
    QCOMPARE(kept[0].line, 3);
    QCOMPARE(kept[1].text, QStringLiteral("分析完毕！请打开"));
    QVERIFY(kept[1].file.isEmpty());
  }

  void aFailureInTheAnalysisIsReportedNotFatal() {
    RecordingDialogs dialogs;
    RunWithProgress(dialogs, nullptr, [](UserInterface&) { throw std::bad_alloc(); });
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QVERIFY(dialogs.messages[0].text.startsWith(QStringLiteral("分析未能完成")));
  }

  void analysisCommandEndToEnd() {
    StartupDir dir;
    dir.WriteExampleSet();
    // A tag set without its opening keyword: the reader's message comes
    // first, then the run goes on to its completion message.
    dir.Write(QStringLiteral("tags.txt"), QByteArray("n , v\r\nTagSetEnd\r\n"));
    dir.Write(QStringLiteral("report.txt"), QByteArray("stale report"));
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    // Unsaved edits are not part of the analysis, and are not saved by it,
    // when the person says so.
    DocumentWindow* child = bench.window->documents()->activeWindow();
    child->editor()->insertPlainText(QStringLiteral("未保存 "));
    bench.dialogs->runAnswers = {RunChoice::kRunAsSaved};
    const QByteArray rules = dir.Read(QStringLiteral("rules.txt"));
    QApplication::setActiveWindow(bench.window);
    QVERIFY(QTest::qWaitForWindowActive(bench.window));
    bench.window->action(Command::kGenerateReport)->trigger();

    const QString completion =
        QStringLiteral("分析完毕！请打开") +
        QDir::toNativeSeparators(QString::fromStdString(bench.app->startupDir()) +
                                 QStringLiteral("/report.txt")) +
        QStringLiteral("\n查看分析报告。");
    QCOMPARE(bench.dialogs->texts(),
             (QStringList{QStringLiteral("Invalid TagSet_File format!    "), completion}));
    for (const RecordingDialogs::Message& m : bench.dialogs->messages) {
      QVERIFY(m.onGuiThread);
      QCOMPARE(m.icon, MessageIcon::kWarning);
    }
    QVERIFY(QFileInfo::exists(dir.file("report.txt")));
    QVERIFY(dir.Read(QStringLiteral("report.txt")) != QByteArray("stale report"));
    QCOMPARE(dir.Read(QStringLiteral("rules.txt")), rules);
    QVERIFY(child->document()->text()->isModified());
    QVERIFY(!bench.window->findChild<AnalysisRunner*>()->running());
    // The window manager would leave the keyboard focus nowhere.
    QTRY_COMPARE(QApplication::activeWindow(), bench.window);
    child->document()->text()->setModified(false);
    QCOMPARE(QDir::currentPath(), dir.path());
  }
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::AnalysisRunnerTest)
#include "analysis_runner_test.moc"
