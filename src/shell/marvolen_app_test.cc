// Start-up of the workbench, its failures, and config.ini kept as the
// user's file.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include "shell/command_ids.h"
#include "shell/document.h"
#include "shell/mdi_child_frame.h"
#include "shell/recent_file_list.h"
#include "shell/test_support.h"

namespace marvolen {

class MarvolenAppTest : public QObject {
  Q_OBJECT

 private slots:
  void opensTheRulesFileWhateverTheCommandLineSays() {
    StartupDir dir;
    dir.WriteExampleSet();
    Workbench bench(dir, {QStringLiteral("marvolen"), dir.file("tags.txt")});
    QVERIFY(bench.started);
    QCOMPARE(bench.app->mainWindow()->mdiArea()->subWindowList().size(), 1);
    Document* doc = bench.app->mainWindow()->MDIGetActive()->GetActiveDocument();
    QCOMPARE(doc->GetTitle(), QStringLiteral("rules.txt"));
    QCOMPARE(QDir::cleanPath(doc->GetPathName()), QDir::cleanPath(dir.file("rules.txt")));
    QVERIFY(doc->text()->toPlainText().contains(QStringLiteral("定中")));
    QVERIFY(!doc->IsModified());
    QCOMPARE(bench.app->m_strStartupDir, QDir::currentPath().toStdString());
    QCOMPARE(bench.app->profileName(), (QDir::currentPath() + "/config.ini").toStdString());
    QVERIFY(bench.dialogs->messages.empty());
  }

  void startUpFailsWhenTheRulesFileCannotBeOpened_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no config.ini") << QByteArray() << QStringLiteral("RULES");
    QTest::newRow("no RULES key") << QByteArray("[DATA]\r\nTAGS=tags.txt\r\n") << QStringLiteral("RULES");
    QTest::newRow("missing file") << QByteArray("[DATA]\r\nRULES=nothing.txt\r\n")
                                  << QStringLiteral("找不到该文件");
    QTest::newRow("a directory") << QByteArray("[DATA]\r\nRULES=.\r\n") << QStringLiteral("无法打开该文件");
  }
  void startUpFailsWhenTheRulesFileCannotBeOpened() {
    QFETCH(QByteArray, config);
    QFETCH(QString, expected);
    StartupDir dir;
    if (!config.isEmpty()) dir.Write(QStringLiteral("config.ini"), config);
    Workbench bench(dir);
    QVERIFY(!bench.started);
    QCOMPARE(bench.dialogs->messages.size(), size_t(1));
    QVERIFY2(bench.dialogs->messages[0].text.contains(expected), qPrintable(bench.dialogs->messages[0].text));
    QCOMPARE(bench.app->mainWindow()->mdiArea()->subWindowList().size(), 0);
    QVERIFY(!bench.app->mainWindow()->isVisible());
  }

  void refusesARulesFileOfMoreThan1048575Bytes() {
    StartupDir dir;
    dir.WriteExampleSet();
    QByteArray big;
    while (big.size() < 0x100000) big += QByteArray(62, 'a') + "\r\n";
    dir.Write(QStringLiteral("rules.txt"), big.left(0x100000));
    Workbench bench(dir);
    QVERIFY(!bench.started);
    QCOMPARE(bench.dialogs->texts(), QStringList{QStringLiteral("该文件太大，无法打开。")});
    // One byte less is taken.
    dir.Write(QStringLiteral("rules.txt"), big.left(0xFFFFF));
    Workbench again(dir);
    QVERIFY(again.started);
  }

  void configIniChangesOnlyInItsRecentFileList() {
    StartupDir dir;
    dir.WriteExampleSet();
    const QByteArray before = GbkBytes(
        "; 规则文件 \r\n[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n"
        "RESULT=report.txt\r\n\r\n[Recent File List]\r\nFile1=/gone/old.txt\r\n; mine\r\n\r\n"
        "[Settings]\r\nPreviewPages=1");
    dir.Write(QStringLiteral("config.ini"), before);
    {
      Workbench bench(dir);
      QVERIFY(bench.started);
      QCOMPARE(bench.app->recentFileList()->entries(),
               (QStringList{QDir::toNativeSeparators(dir.file("rules.txt")), QStringLiteral("/gone/old.txt")}));
      // Opening another file puts it on top.
      bench.dialogs->openAnswers = {dir.file("tags.txt")};
      QVERIFY(bench.app->mainWindow()->RouteCommand(ID_FILE_OPEN));
    }
    QByteArray expected = before;
    expected.replace("File1=/gone/old.txt\r\n",
                     "File1=" + QFile::encodeName(dir.file("tags.txt")) + "\r\nFile2=" +
                         QFile::encodeName(dir.file("rules.txt")) + "\r\nFile3=/gone/old.txt\r\n");
    QCOMPARE(dir.Read(QStringLiteral("config.ini")), expected);

    // The next session opens the rules file, which moves up again.
    { Workbench bench(dir); }
    expected = before;
    expected.replace("File1=/gone/old.txt\r\n",
                     "File1=" + QFile::encodeName(dir.file("rules.txt")) + "\r\nFile2=" +
                         QFile::encodeName(dir.file("tags.txt")) + "\r\nFile3=/gone/old.txt\r\n");
    QCOMPARE(dir.Read(QStringLiteral("config.ini")), expected);
    // A session that changes nothing in the list leaves config.ini alone,
    // byte for byte.
    const QDateTime stamp = QFileInfo(dir.file("config.ini")).lastModified();
    { Workbench bench(dir); }
    QCOMPARE(dir.Read(QStringLiteral("config.ini")), expected);
    QCOMPARE(QFileInfo(dir.file("config.ini")).lastModified(), stamp);
  }

  void recentFileThatIsGoneLeavesTheList() {
    StartupDir dir;
    dir.WriteExampleSet();
    QByteArray config = dir.Read(QStringLiteral("config.ini"));
    config += "[Recent File List]\r\nFile1=" + QFile::encodeName(dir.file("gone.txt")) + "\r\n";
    dir.Write(QStringLiteral("config.ini"), config);
    Workbench bench(dir);
    QVERIFY(bench.started);
    QCOMPARE(bench.app->recentFileList()->entries().size(), 2);
    QVERIFY(bench.app->mainWindow()->RouteCommand(ID_FILE_MRU_FILE1 + 1));
    QCOMPARE(bench.app->recentFileList()->entries(),
             QStringList{QDir::toNativeSeparators(dir.file("rules.txt"))});
    QCOMPARE(bench.dialogs->messages.size(), size_t(1));
  }
};

}  // namespace marvolen

QTEST_MAIN(marvolen::MarvolenAppTest)
#include "marvolen_app_test.moc"
