// Start-up of the workbench, its failures, and config.ini kept as the
// user's file.
#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QTextDocument>
#include <QtTest>

#include "shell/analysis_runner.h"
#include "shell/commands.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/parse_pane.h"
#include "shell/start_folder.h"
#include "shell/test_support.h"
#include "shell/tree_canvas.h"
#include "shell/window_list.h"
#include "shell/workbench_settings.h"

namespace marvolen {

namespace {

// A file name as config.ini holds it: the system's separators, in UTF-8 (the
// scratch folders' names are ASCII, so GBK gives the same bytes).
QByteArray Stored(const QString& path) { return QDir::toNativeSeparators(path).toUtf8(); }

}  // namespace

class WorkbenchTest : public QObject {
  Q_OBJECT

 private slots:
  // Every test program starts the application with "tags.txt" on its
  // command line.
  void opensTheRulesFileWhateverTheCommandLineSays() {
    QVERIFY(QCoreApplication::arguments().contains(QStringLiteral("tags.txt")));
    StartupDir dir;
    dir.WriteExampleSet();
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    QCOMPARE(bench.window->documents()->windows().size(), 1);
    Document* doc = bench.window->documents()->activeWindow()->document();
    QCOMPARE(doc->title(), QStringLiteral("rules.txt"));
    QCOMPARE(doc->path(), QDir::toNativeSeparators(dir.file("rules.txt")));
    QVERIFY(doc->text()->toPlainText().contains(QStringLiteral("定中")));
    QVERIFY(!doc->text()->isModified());
    QCOMPARE(bench.app->startupDir(), QDir::toNativeSeparators(QDir::currentPath()).toStdString());
    QVERIFY(bench.window->isVisible());
    QVERIFY(bench.dialogs->messages.empty());
  }

  void startUpFailsWithAMessage_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("special");  // what to make rules.txt or config.ini
    QTest::addColumn<QString>("expected");
    const QByteArray rules = "[DATA]\r\nRULES=rules.txt\r\n";
    QTest::newRow("no config.ini") << QByteArray() << ""
                                   << "在文件夹 %1 中找不到 config.ini。";
    QTest::newRow("config.ini a folder") << QByteArray() << "config.ini dir"
                                         << "这不是一个普通文件";
    QTest::newRow("no RULES key") << QByteArray("[DATA]\r\nTAGS=tags.txt\r\n") << ""
                                  << "没有 RULES 项";
    QTest::newRow("missing file") << QByteArray("[DATA]\r\nRULES=nothing.txt\r\n") << ""
                                  << "找不到该文件";
    QTest::newRow("a folder") << QByteArray("[DATA]\r\nRULES=.\r\n") << ""
                              << "这不是一个普通文件";
#ifdef Q_OS_UNIX  // Windows has neither FIFOs nor /dev
    QTest::newRow("config.ini a FIFO") << QByteArray() << "config.ini fifo"
                                       << "这不是一个普通文件";
    QTest::newRow("a FIFO") << rules << "rules.txt fifo"
                            << "这不是一个普通文件";
    QTest::newRow("/dev/zero") << QByteArray("[DATA]\r\nRULES=/dev/zero\r\n") << ""
                               << "这不是一个普通文件";
#endif
  }
  // RULES naming /dev/zero read without end, a FIFO blocked before any
  // window showed, and a missing config.ini was reported as a missing key.
  void startUpFailsWithAMessage() {
    QFETCH(QByteArray, config);
    QFETCH(QString, special);
    QFETCH(QString, expected);
    StartupDir dir;
    if (!config.isEmpty()) dir.Write(QStringLiteral("config.ini"), config);
    const QString target = dir.file(special.section(QLatin1Char(' '), 0, 0));
#ifdef Q_OS_UNIX
    if (special.endsWith(QLatin1String("fifo")))
      QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
#endif
    if (special.endsWith(QLatin1String("dir"))) QVERIFY(QDir().mkdir(target));
    WorkbenchSession bench(dir);
    QVERIFY(!bench.started);
    // A message, then the start dialog (which alone says that there is no
    // config.ini); 退出 ends.
    const bool noConfig = config.isEmpty() && special.isEmpty();
    QCOMPARE(bench.dialogs->messages.size(), size_t(noConfig ? 0 : 1));
    QCOMPARE(bench.dialogs->startProblems.size(), 1);
    const QString text =
        noConfig ? bench.dialogs->startProblems[0] : bench.dialogs->messages[0].text;
    if (expected.contains(QLatin1String("%1")))
      expected = expected.arg(QDir::toNativeSeparators(dir.path()));
    QVERIFY2(text.contains(expected), qPrintable(text));
    QVERIFY(bench.window == nullptr ||
            (bench.window->documents()->windows().isEmpty() && !bench.window->isVisible()));
  }

  void refusesARulesFileOfMoreThan1048575Bytes() {
    StartupDir dir;
    dir.WriteExampleSet();
    QByteArray big;
    while (big.size() < 0x100000) big += QByteArray(62, 'a') + "\r\n";
    dir.Write(QStringLiteral("rules.txt"), big.left(0x100000));
    {
      WorkbenchSession bench(dir);
      QVERIFY(!bench.started);
      QCOMPARE(bench.dialogs->texts(), QStringList{QStringLiteral("该文件太大，无法打开。")});
    }
    // One byte less is taken.
    dir.Write(QStringLiteral("rules.txt"), big.left(0xFFFFF));
    WorkbenchSession again(dir);
    QVERIFY(again.started);
  }

  // (The layout is where a session leaves it, so that only the list changes.)
  void configIniChangesOnlyInItsRecentFileList() {
    StartupDir dir;
    dir.WriteExampleSet();
    const QByteArray before = GbkBytes(
        "; 规则文件 \r\n[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n"
        "RESULT=report.txt\r\n\r\n[Recent File List]\r\nFile1=/gone/old.txt\r\n; mine\r\n\r\n"
        "[Workbench]\r\nMainWindow=10,20,600,400\r\nMainWindowMaximized=0\r\n"
        "DocumentWindowsMaximized=0\r\n[Settings]\r\nPreviewPages=1");
    dir.Write(QStringLiteral("config.ini"), before);
    {
      WorkbenchSession bench(dir);
      QVERIFY(bench.started);
      QCOMPARE(bench.app->recentFiles().entries(),
               (QStringList{QDir::toNativeSeparators(dir.file("rules.txt")),
                            QStringLiteral("/gone/old.txt")}));
      // Opening another file puts it on top.
      bench.dialogs->openAnswers = {dir.file("tags.txt")};
      bench.window->action(Command::kFileOpen)->trigger();
    }
    QByteArray expected = before;
    expected.replace("File1=/gone/old.txt\r\n", "File1=" + Stored(dir.file("tags.txt")) +
                                                    "\r\nFile2=" + Stored(dir.file("rules.txt")) +
                                                    "\r\nFile3=/gone/old.txt\r\n");
    QCOMPARE(dir.Read(QStringLiteral("config.ini")), expected);

    // The next session opens the rules file, which moves up again.
    { WorkbenchSession bench(dir); }
    expected = before;
    expected.replace("File1=/gone/old.txt\r\n", "File1=" + Stored(dir.file("rules.txt")) +
                                                    "\r\nFile2=" + Stored(dir.file("tags.txt")) +
                                                    "\r\nFile3=/gone/old.txt\r\n");
    QCOMPARE(dir.Read(QStringLiteral("config.ini")), expected);
    // A session that changes nothing in the list leaves config.ini alone,
    // byte for byte.
    const QDateTime stamp = QFileInfo(dir.file("config.ini")).lastModified();
    { WorkbenchSession bench(dir); }
    QCOMPARE(dir.Read(QStringLiteral("config.ini")), expected);
    QCOMPARE(QFileInfo(dir.file("config.ini")).lastModified(), stamp);
  }

  // The main window's place and size, maximized document windows and the
  // text's size come back in the next session, from config.ini's own
  // section; [DATA] is not touched.
  void theLayoutIsRememberedInItsOwnSection() {
    StartupDir dir;
    dir.WriteExampleSet();
    const QByteArray data = dir.Read(QStringLiteral("config.ini"));
    int paneWidth = 0;
    {
      WorkbenchSession bench(dir);
      bench.window->setGeometry(30, 40, 700, 500);
      bench.window->documents()->activeWindow()->showMaximized();
      bench.window->Zoom(1);
      bench.window->Zoom(1);
      ParsePane* pane = bench.window->findChild<ParsePane*>("parsePane");
      pane->show();
      bench.window->resizeDocks({pane}, {260}, Qt::Horizontal);
      pane->canvas()->SetZoom(1.5);
      QCoreApplication::processEvents();
      paneWidth = pane->width();
    }
    const QByteArray written = dir.Read(QStringLiteral("config.ini"));
    QVERIFY(written.startsWith(data));
    QVERIFY(written.contains("[Workbench]\r\n"));
    QVERIFY(written.contains("MainWindow=30,40,700,500\r\n"));
    QVERIFY(written.contains("DocumentWindowsMaximized=1\r\n"));
    QVERIFY(written.contains("ParsePane=1\r\n"));
    QVERIFY(written.contains("TreeZoom=150\r\n"));
    {
      WorkbenchSession bench(dir);
      // The parse pane as it was left.
      const ParsePane* pane = bench.window->findChild<ParsePane*>("parsePane");
      QVERIFY(!pane->isHidden());
      QCOMPARE(pane->canvas()->zoom(), 1.5);
      QTRY_VERIFY2(std::abs(pane->width() - paneWidth) <= 4,
                   qPrintable(QStringLiteral("%1 / %2").arg(pane->width()).arg(paneWidth)));
      QCOMPARE(bench.window->geometry(), QRect(30, 40, 700, 500));
      QVERIFY(bench.window->documents()->activeWindow()->isMaximized());
      // The title named no document until another window was activated.
      QCoreApplication::processEvents();
      QCOMPARE(ShownTitle(bench.window), QStringLiteral("Marvolen - [rules.txt]"));
      QCOMPARE(bench.app->settings().layout.pointSize,
               bench.window->documents()->activeWindow()->editor()->font().pointSize());
      QVERIFY(bench.app->settings().layout.pointSize > 0);
    }
    // Nothing changed: not written again.
    QCOMPARE(dir.Read(QStringLiteral("config.ini")), written);
    // Values that make no sense are ignored.
    WorkbenchSettings settings;
    dir.Write(QStringLiteral("config.ini"),
              data + "[Workbench]\r\nMainWindow=1,2,-3,4\r\nPointSize=1000\r\n");
    settings.Read(dir.file("config.ini").toStdString());
    QCOMPARE(settings.layout, WorkbenchLayout());
  }

  // A config.ini the person may not write (mode 444) is never replaced, and
  // they are told; a symlinked config.ini stays a symlink, its file updated.
  void configIniIsReplacedOnlyWhenItMayBeAndStaysALink() {
#ifndef Q_OS_UNIX
    QSKIP("needs symbolic links and POSIX mode bits");
#else
    StartupDir dir;
    dir.WriteExampleSet();
    QVERIFY(QFile::rename(dir.file("config.ini"), dir.file("real.ini")));
    QVERIFY(QFile::link(dir.file("real.ini"), dir.file("config.ini")));
    {
      WorkbenchSession bench(dir);
      QVERIFY(bench.started);
    }
    QVERIFY(QFileInfo(dir.file("config.ini")).isSymLink());
    QVERIFY(dir.Read(QStringLiteral("real.ini")).contains("[Recent File List]"));

    const QByteArray before = dir.Read(QStringLiteral("config.ini"));
    QVERIFY(QFile::setPermissions(dir.file("real.ini"),
                                  QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    struct stat was {};
    QCOMPARE(::stat(QFile::encodeName(dir.file("real.ini")).constData(), &was), 0);
    {
      WorkbenchSession bench(dir);
      QVERIFY(bench.started);
      bench.dialogs->openAnswers = {dir.file("tags.txt")};  // the list changes
      bench.window->action(Command::kFileOpen)->trigger();
      bench.app->Finish();
      QCOMPARE(bench.dialogs->texts().size(), 1);
      QVERIFY(bench.dialogs->texts()[0].startsWith(QStringLiteral("最近文件列表无法写入")));
    }
    struct stat now {};
    QCOMPARE(::stat(QFile::encodeName(dir.file("real.ini")).constData(), &now), 0);
    QCOMPARE(now.st_ino, was.st_ino);  // the same file, not one put in its place
    QCOMPARE(now.st_mode, was.st_mode);
    QCOMPARE(dir.Read(QStringLiteral("config.ini")), before);
    QVERIFY(QFileInfo(dir.file("config.ini")).isSymLink());
    QFile::setPermissions(dir.file("real.ini"), QFile::ReadOwner | QFile::WriteOwner);
#endif
  }

  void recentFileThatIsGoneLeavesTheList() {
    StartupDir dir;
    dir.WriteExampleSet();
    QByteArray config = dir.Read(QStringLiteral("config.ini"));
    config += "[Recent File List]\r\nFile1=" + Stored(dir.file("gone.txt")) + "\r\n";
    dir.Write(QStringLiteral("config.ini"), config);
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    QCOMPARE(bench.app->recentFiles().entries().size(), 2);
    bench.window->action(RecentFileCommand(1))->trigger();
    QCOMPARE(bench.app->recentFiles().entries(),
             QStringList{QDir::toNativeSeparators(dir.file("rules.txt"))});
    QCOMPARE(bench.dialogs->messages.size(), size_t(1));
    QVERIFY(!bench.window->action(RecentFileCommand(1))->isVisible());
  }
  // Without a data folder the start dialog offers the recent data folders,
  // another one to open, or a new one made from the examples: the workbench
  // then starts there. A new folder never overwrites a file; `marvolen DIR`
  // starts in DIR.
  void theStartDialogOpensOrMakesADataFolder() {
    StartupDir empty, data, fresh;
    data.WriteExampleSet();
    const QString made = fresh.file(QStringLiteral("新数据"));
    {
      WorkbenchSession bench(empty, {{StartAction::kOpenFolder, data.path()}});
      QVERIFY(bench.started);
      QVERIFY(bench.dialogs->messages.empty());
      QCOMPARE(QDir::currentPath(), QDir(data.path()).absolutePath());
      QCOMPARE(bench.window->documents()->windows().size(), 1);
    }
    {
      // The last folder is offered first; a rules file that cannot be opened
      // is told of, then the same choices follow.
      QVERIFY(QFile::remove(data.file(QStringLiteral("rules.txt"))));
      WorkbenchSession bench(data, {{StartAction::kNewFolder, made}});
      QVERIFY(bench.started);
      QCOMPARE(bench.dialogs->messages.size(), size_t(1));
      QVERIFY(bench.dialogs->messages[0].text.contains(QStringLiteral("找不到该文件")));
      QCOMPARE(bench.dialogs->startRecents.value(0).value(0),
               QDir::toNativeSeparators(QDir(data.path()).absolutePath()));
      QCOMPARE(QDir::currentPath(), QDir(made).absolutePath());
      const QDir examples(BundledExamples());
      for (const QString& name : examples.entryList(QDir::Files)) {
        QFile original(examples.filePath(name));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(fresh.Read(QStringLiteral("新数据/") + name), original.readAll());
      }
    }
    // Into a folder that holds those files: nothing is overwritten, and the
    // start dialog comes again.
    fresh.Write(QStringLiteral("新数据/rules.txt"), "mine");
    QVERIFY(QFile::remove(made + QStringLiteral("/config.ini")));
    {
      WorkbenchSession bench(empty, {{StartAction::kNewFolder, made}});
      QVERIFY(!bench.started);
      QCOMPARE(bench.dialogs->startProblems.size(), 2);
      QVERIFY(bench.dialogs->texts().value(0).contains(QStringLiteral("示例数据不会覆盖它")));
      QCOMPARE(fresh.Read(QStringLiteral("新数据/rules.txt")), QByteArray("mine"));
      QVERIFY(!QFileInfo::exists(made + QStringLiteral("/config.ini")));
    }
    data.WriteExampleSet();
    WorkbenchSession given(empty, {}, data.path());
    QVERIFY(given.started);
    QVERIFY(given.dialogs->startProblems.isEmpty());
    QCOMPARE(QDir::currentPath(), QDir(data.path()).absolutePath());
  }

  // The start dialog itself: its buttons and its list of recent folders.
  void theStartDialogsChoices() {
    for (const char* button : {"openDataFolder", "newDataFolder", "quit"}) {
      StartDialog dialog(QStringLiteral("原因"), {QStringLiteral("/a"), QStringLiteral("/b")});
      auto* push = dialog.findChild<QPushButton*>(QLatin1String(button));
      QVERIFY(push != nullptr);
      push->click();
      const StartAction expected = QByteArray(button) == "openDataFolder" ? StartAction::kOpenFolder
                                   : QByteArray(button) == "newDataFolder" ? StartAction::kNewFolder
                                                                           : StartAction::kQuit;
      QCOMPARE(dialog.choice(), expected);
      QCOMPARE(dialog.result(),
               expected == StartAction::kQuit ? int(QDialog::Rejected) : int(QDialog::Accepted));
      QVERIFY(dialog.folder().isEmpty());
    }
    StartDialog dialog(QStringLiteral("原因"), {QStringLiteral("/a"), QStringLiteral("/b")});
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("recentDataFolders"));
    QVERIFY(list != nullptr && list->count() == 2);
    emit list->itemActivated(list->item(1));
    QCOMPARE(dialog.choice(), StartAction::kOpenFolder);
    QCOMPARE(dialog.folder(), QStringLiteral("/b"));
  }
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::WorkbenchTest)
#include "workbench_test.moc"
