// The recent-file list in config.ini: entries written in the file's own
// encoding, read back as the same paths.
#include <QtTest>

#include "encoding/gbk.h"
#include "shell/recent_file_list.h"
#include "shell/test_support.h"

namespace marvolen {

class RecentFileListTest : public QObject {
  Q_OBJECT

 private slots:
  // Entries were written as UTF-8 into a GBK config.ini: the file mixed
  // encodings, and the entry showed as mojibake in the workbench.
  void entriesAreWrittenInTheFilesEncoding_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");  // "gbk", "utf8" or "" (left out)
    const QByteArray gbk = GbkBytes("[DATA]\r\nRULES=规则.txt\r\n");
    const QByteArray utf8 = "[DATA]\r\nRULES=\xE8\xA7\x84\xE5\x88\x99.txt\r\n";
    const QByteArray ascii = "[DATA]\r\nRULES=rules.txt\r\n";
    QTest::newRow("GBK file") << gbk << "规则.txt"
                              << "gbk";
    QTest::newRow("UTF-8 file") << utf8 << "规则.txt"
                                << "utf8";
    QTest::newRow("UTF-8 file with BOM") << "\xEF\xBB\xBF" + ascii << "规则.txt"
                                         << "utf8";
    QTest::newRow("ASCII file") << ascii << "规则.txt"
                                << "gbk";
    QTest::newRow("ASCII name") << gbk << "rules.txt"
                                << "gbk";
    // 录 is C2 BC in GBK, which reads as the UTF-8 of ¼.
    QTest::newRow("GBK that reads as UTF-8") << gbk << "录.txt"
                                             << "";
    QTest::newRow("not in GBK") << gbk << "☃.txt"
                                << "";
    QTest::newRow("not in GBK, UTF-8 file") << utf8 << "☃.txt"
                                            << "utf8";
  }
  void entriesAreWrittenInTheFilesEncoding() {
    QFETCH(QByteArray, config);
    QFETCH(QString, name);
    QFETCH(QString, written);
    StartupDir dir;
    dir.Write(QStringLiteral("config.ini"), config);
    const std::string profile = dir.file("config.ini").toStdString();
    const QString path = QDir::toNativeSeparators(dir.file(name));

    RecentFileList list;
    list.ReadList(profile);
    list.Add(path);
    std::string error;
    QVERIFY(list.WriteList(profile, &error));
    QCOMPARE(list.entries(), QStringList{path});  // kept for the session either way

    const QByteArray after = dir.Read(QStringLiteral("config.ini"));
    QVERIFY(after.startsWith(config));
    const std::string utf8 = path.toStdString();
    if (written.isEmpty()) {
      QCOMPARE(after, config);
    } else {
      const std::string bytes = written == QLatin1String("gbk") ? *Utf8ToGbk(utf8) : utf8;
      QVERIFY(after.contains("\r\nFile1=" + QByteArray::fromStdString(bytes) + "\r\n"));
      // config.ini keeps one encoding.
      const std::string whole = after.toStdString();
      QVERIFY(written == QLatin1String("gbk") ? IsValidGbk(whole) : IsValidUtf8(whole));
    }
    RecentFileList next;
    next.ReadList(profile);
    QCOMPARE(next.entries(), written.isEmpty() ? QStringList() : QStringList{path});
  }

  void menuTextsNumberTheEntriesAndDoubleAmpersands() {
    // Absolute names on this system: "/a/x.txt" here, "C:\\a\\x.txt" on Windows.
    const auto name = [](const char* path) {
      return QDir::toNativeSeparators(QDir::rootPath() + QString::fromUtf8(path));
    };
    RecentFileList list;
    for (const char* path : {"a/x.txt", "a/b&c.txt", "a/x.txt", "1", "2", "3"})
      list.Add(name(path));
    QCOMPARE(list.entries(), (QStringList{name("3"), name("2"), name("1"), name("a/x.txt")}));
    list.Add(name("a/b&c.txt"));
    QCOMPARE(list.MenuText(0), QStringLiteral("&1 ") + name("a/b&&c.txt"));
    QCOMPARE(list.MenuText(3), QStringLiteral("&4 ") + name("1"));
    list.Add(name("a/line\nbreak"));
    QCOMPARE(list.entries().size(), 4);
    QVERIFY(!list.entries().contains(name("a/line\nbreak")));
  }
};

}  // namespace marvolen

QTEST_MAIN(marvolen::RecentFileListTest)
#include "recent_file_list_test.moc"
