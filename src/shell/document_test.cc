// Documents: lossless GBK loading and saving, safe saving with the system's
// reason when it fails, files that are not plain files, and the prompts to
// save on close and exit.
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QtTest>
#include <cerrno>
#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX
#include "testing/file_size_limit.h"
#endif
#include "shell/analysis_runner.h"
#include "shell/commands.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/test_support.h"
#include "shell/window_list.h"

namespace marvolen {

namespace {

#ifdef Q_OS_UNIX
// A small file system (64 KB, a file "keep.txt" of old bytes in it) mounted
// over a folder for the length of a test, where the system allows it.
class ScratchFileSystem {
 public:
  ScratchFileSystem(const QString& folder, bool readOnly) : folder_(QFile::encodeName(folder)) {
    mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k") == 0;
    QFile file(folder + QStringLiteral("/keep.txt"));
    if (mounted_ && file.open(QIODevice::WriteOnly)) file.write("old\r\n");
    file.close();
    if (mounted_ && readOnly)
      mounted_ =
          ::mount("tmpfs", folder_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
  }
  ~ScratchFileSystem() { ::umount2(folder_.constData(), MNT_DETACH); }
  ScratchFileSystem(const ScratchFileSystem&) = delete;
  ScratchFileSystem& operator=(const ScratchFileSystem&) = delete;
  bool mounted() const { return mounted_; }

 private:
  QByteArray folder_;
  bool mounted_ = false;
};
#endif

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    dir_->WriteExampleSet();
    bench_ = std::make_unique<WorkbenchSession>(*dir_);
    QVERIFY(bench_->started);
    main_ = bench_->window;
  }
  void cleanup() {
    // Leave without prompts: nothing modified is kept.
    for (Document* doc : main_->findChildren<Document*>()) doc->text()->setModified(false);
    bench_.reset();
    dir_.reset();
  }

  void openAndSaveWithoutEditsIsByteIdentical_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("gbk, CR LF") << GbkBytes(
        "TagSetBegin\r\nn , v , u<的> , c<和>\r\nTagSetEnd\r\n");
    QTest::newRow("gbk, LF, no final end") << GbkBytes("名词 n\n动词 v");
    QTest::newRow("mixed and lone CR") << QByteArray("a\r\nb\nc\rd\r\r\n");
    QTest::newRow("NUL bytes") << QByteArray("a\0b\0\r\n", 7);
    QTest::newRow("invalid bytes") << QByteArray("\x80\xFF\xB5\x7F x \xA1\x40 \x81\x30\x81\x30");
    QTest::newRow("lead byte cut off") << GbkBytes("规则") + QByteArray("\xB5");
    QTest::newRow("private-use text") << QByteArray("\xEF\x9C\x80 \xAA\xA1");
    QTest::newRow("empty") << QByteArray();
  }
  void openAndSaveWithoutEditsIsByteIdentical() {
    QFETCH(QByteArray, bytes);
    dir_->Write(QStringLiteral("data.txt"), bytes);
    QVERIFY(main_->documents()->OpenFile(dir_->file("data.txt")));
    Document* doc = main_->documents()->activeWindow()->document();
    QVERIFY(!doc->text()->isModified());
    main_->action(Command::kFileSave)->trigger();
    QCOMPARE(dir_->Read(QStringLiteral("data.txt")), bytes);
    // Also under a new name.
    bench_->dialogs->saveAsAnswers = {dir_->file("copy")};
    main_->action(Command::kFileSaveAs)->trigger();
    QCOMPARE(dir_->Read(QStringLiteral("copy")), bytes);
    QCOMPARE(doc->title(), QStringLiteral("copy"));  // no extension added
    QCOMPARE(ShownTitle(main_), QStringLiteral("Marvolen - copy"));
    QCOMPARE(bench_->app->recentFiles().entries().first(),
             QDir::toNativeSeparators(dir_->file("copy")));
    QVERIFY(bench_->dialogs->messages.empty());
  }

  void chineseIsShownAndTypedTextIsSavedAsGbk() {
    dir_->Write(QStringLiteral("seq.txt"), GbkBytes("v n u<的> n\r\n"));
    QVERIFY(main_->documents()->OpenFile(dir_->file("seq.txt")));
    Document* doc = main_->documents()->activeWindow()->document();
    QCOMPARE(doc->text()->toPlainText(), QStringLiteral("v n u<的> n\n"));
    QPlainTextEdit* view = main_->documents()->activeWindow()->editor();
    view->moveCursor(QTextCursor::End);
    for (QChar ch : QStringLiteral("a c<和> n"))
      QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(doc->text()->isModified());
    main_->action(Command::kFileSave)->trigger();
    QCOMPARE(dir_->Read(QStringLiteral("seq.txt")), GbkBytes("v n u<的> n\r\na c<和> n\r\n"));
    QVERIFY(!doc->text()->isModified());
  }

  void textThatGbkCannotHoldIsNotSaved() {
    dir_->Write(QStringLiteral("t.txt"), QByteArray("one\r\n"));
    QVERIFY(main_->documents()->OpenFile(dir_->file("t.txt")));
    Document* doc = main_->documents()->activeWindow()->document();
    main_->documents()->activeWindow()->editor()->moveCursor(QTextCursor::End);
    main_->documents()->activeWindow()->editor()->insertPlainText(
        QStringLiteral("x\u2603"));  // a snowman
    main_->action(Command::kFileSave)->trigger();
    QVERIFY(doc->text()->isModified());
    QCOMPARE(dir_->Read(QStringLiteral("t.txt")), QByteArray("one\r\n"));
    QCOMPARE(bench_->dialogs->texts(),
             QStringList{QStringLiteral(
                 "t.txt 第 2 行含有 GBK 编码无法表示的字符“☃”（U+2603），文件未保存。")});
  }

  // Opening anything but a plain file with 打开 read /dev/zero without end
  // and blocked on a FIFO; it is refused at once, with a message. Other
  // failures to open give the system's reason.
  void openFailuresSayWhy_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    const QString notPlain = QStringLiteral("这不是一个普通文件（而是文件夹、设备或管道）。");
    QTest::newRow("a folder") << "." << notPlain;
#ifdef Q_OS_UNIX  // Windows has no FIFOs, no /dev, and no mode bits that forbid reading
    QTest::newRow("a FIFO") << "fifo" << notPlain;
    QTest::newRow("a device") << "/dev/zero" << notPlain;
    QTest::newRow("no permission") << "secret.txt" << qt_error_string(EACCES);
#endif
  }
  void openFailuresSayWhy() {
    QFETCH(QString, path);
    QFETCH(QString, reason);
#ifdef Q_OS_UNIX
    QVERIFY(mkfifo(QFile::encodeName(dir_->file("fifo")).constData(), 0600) == 0);
    dir_->Write(QStringLiteral("secret.txt"), "x");
    QVERIFY(QFile::setPermissions(dir_->file("secret.txt"), QFileDevice::Permissions()));
    if (path == QLatin1String("secret.txt") && geteuid() == 0) QSKIP("root may read any file");
#endif
    const QString target = path.startsWith(QLatin1Char('/')) ? path : dir_->file(path);
    bench_->dialogs->openAnswers = {target};
    main_->action(Command::kFileOpen)->trigger();
    QCOMPARE(bench_->dialogs->texts(), QStringList{QDir::toNativeSeparators(target) +
                                                   QStringLiteral("\n无法打开该文件：") + reason});
    QCOMPARE(main_->documents()->windows().size(), 1);
  }

  // Nor is a FIFO saved over: it would be replaced by a plain file.
  void onlyPlainFilesAreSavedOver() {
#ifndef Q_OS_UNIX
    QSKIP("Windows has no FIFOs");
#else
    QVERIFY(mkfifo(QFile::encodeName(dir_->file("fifo")).constData(), 0600) == 0);
    bench_->dialogs->saveAsAnswers = {dir_->file("fifo")};
    main_->action(Command::kFileSaveAs)->trigger();
    QCOMPARE(bench_->dialogs->texts(),
             QStringList{
                 QStringLiteral("无法保存文件 %1。\n这不是一个普通文件（而是文件夹、设备或管道）。")
                     .arg(QDir::toNativeSeparators(dir_->file("fifo")))});
    QVERIFY(QFileInfo(dir_->file("fifo")).exists() && !QFileInfo(dir_->file("fifo")).isFile());
#endif
  }

  void aFailedSaveKeepsTheOldFile() {
    QDir(dir_->path()).mkpath(QStringLiteral("sub"));
    dir_->Write(QStringLiteral("sub/keep.txt"), QByteArray("old\r\n"));
    QVERIFY(main_->documents()->OpenFile(dir_->file("sub/keep.txt")));
    Document* doc = main_->documents()->activeWindow()->document();
    main_->documents()->activeWindow()->editor()->insertPlainText(QStringLiteral("new "));
    // The directory goes away under the document: the save fails.
    QDir(dir_->file("sub")).removeRecursively();
    QDir(dir_->path())
        .mkpath(QStringLiteral("sub/keep.txt/inner"));  // a directory where the file was
    main_->action(Command::kFileSave)->trigger();
    QVERIFY(doc->text()->isModified());
    QCOMPARE(bench_->dialogs->messages.size(), size_t(1));
    QVERIFY(QFileInfo(dir_->file("sub/keep.txt")).isDir());
  }

  // A save failed with "无法保存文件 X。" alone; the system's reason follows.
  // The file keeps its old bytes, no temporary file is left, and the
  // document stays modified.
  void aFailedSaveSaysWhyAndKeepsTheOldBytes_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("error");
    QTest::newRow("file too large") << "rlimit" << EFBIG;
    QTest::newRow("disk full") << "full" << ENOSPC;
    QTest::newRow("read-only file system") << "ro" << EROFS;
    QTest::newRow("permission denied") << "chmod" << EACCES;
  }
  void aFailedSaveSaysWhyAndKeepsTheOldBytes() {
#ifndef Q_OS_UNIX
    QSKIP("the failures are made with a file system mounted for the test and POSIX mode bits");
#else
    QFETCH(QString, failure);
    QFETCH(int, error);
    const QString folder = dir_->file(QStringLiteral("sub"));
    QVERIFY(QDir().mkpath(folder));
    dir_->Write(QStringLiteral("sub/keep.txt"), QByteArray("old\r\n"));
    QVERIFY(main_->documents()->OpenFile(dir_->file("sub/keep.txt")));
    Document* doc = main_->documents()->activeWindow()->document();
    main_->documents()->activeWindow()->editor()->insertPlainText(
        QString(64 * 1024, QLatin1Char('x')));
    std::unique_ptr<FileSizeLimitForTest> limit;
    std::unique_ptr<ScratchFileSystem> scratch;
    if (failure == QLatin1String("rlimit")) {
      limit = std::make_unique<FileSizeLimitForTest>(1000);
      if (!limit->active()) QSKIP("cannot limit the file size");
    } else if (failure == QLatin1String("chmod")) {
      if (geteuid() == 0) QSKIP("root may write into a read-only folder");
      QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    } else {
      // A small file system of its own over the folder, the old file in it.
      scratch = std::make_unique<ScratchFileSystem>(folder, failure == QLatin1String("ro"));
      if (!scratch->mounted()) QSKIP("cannot mount a file system here (not root)");
    }
    const QByteArray before = dir_->Read(QStringLiteral("sub/keep.txt"));
    const QStringList files = QDir(folder).entryList(QDir::Files);
    // A file that cannot be written is saved under a new name, asked for.
    const bool readOnly = failure == QLatin1String("ro");
    bench_->dialogs->saveAsAnswers = {dir_->file("sub/new.txt")};
    main_->action(Command::kFileSave)->trigger();
    QCOMPARE(bench_->dialogs->proposedNames.size(), readOnly ? 1 : 0);
    limit.reset();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(doc->text()->isModified());
    QCOMPARE(bench_->dialogs->texts(),
             QStringList{QStringLiteral("无法保存文件 %1。\n%2")
                             .arg(QDir::toNativeSeparators(
                                      dir_->file(readOnly ? "sub/new.txt" : "sub/keep.txt")),
                                  qt_error_string(error))});
    QCOMPARE(dir_->Read(QStringLiteral("sub/keep.txt")), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), files);
#endif
  }

  void aFileTooBigIsRefusedAndNotOpened() {
    QByteArray big;
    while (big.size() <= 0xFFFFF) big += "0123456789abcd\r\n";
    dir_->Write(QStringLiteral("big.txt"), big);
    QVERIFY(!main_->documents()->OpenFile(dir_->file("big.txt")));
    QCOMPARE(bench_->dialogs->texts(), QStringList{QStringLiteral("该文件太大，无法打开。")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(main_->documents()->windows().size(), 1);
    QCOMPARE(main_->findChildren<Document*>().size(), 1);
  }

  void closingAModifiedDocumentAsks() {
    main_->action(Command::kFileNew)->trigger();
    main_->documents()->activeWindow()->editor()->insertPlainText(QStringLiteral("x"));
    // Cancel keeps it open.
    bench_->dialogs->saveAnswers = {SaveChoice::kCancel};
    main_->action(Command::kFileClose)->trigger();
    QCOMPARE(bench_->dialogs->saveQuestions,
             QStringList{QStringLiteral("是否保存对 Marvo1 的更改？")});
    QCOMPARE(main_->findChildren<Document*>().size(), size_t(2));
    // Save asks for a name (no extension added) and writes GBK.
    bench_->dialogs->saveAnswers = {SaveChoice::kSave};
    bench_->dialogs->saveAsAnswers = {dir_->file("saved")};
    main_->documents()->activeWindow()->close();
    // The window goes, then its document.
    for (int i = 0; i < 2; ++i) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(dir_->Read(QStringLiteral("saved")), QByteArray("x"));
    QCOMPARE(main_->findChildren<Document*>().size(), size_t(1));
    QCOMPARE(main_->findChildren<Document*>().size(), 1);
    // 关闭 on a document with two windows asks once and closes both.
    main_->action(Command::kWindowNew)->trigger();
    main_->documents()->activeWindow()->editor()->insertPlainText(QStringLiteral("y"));
    bench_->dialogs->saveAnswers = {SaveChoice::kDiscard};
    main_->action(Command::kFileClose)->trigger();
    QCOMPARE(bench_->dialogs->saveQuestions.size(), 3);
    QVERIFY(main_->documents()->windows().isEmpty());
  }

  void exitAsksForEveryModifiedDocumentAndCanBeCancelled() {
    main_->documents()->activeWindow()->editor()->insertPlainText(QStringLiteral("edit "));
    main_->action(Command::kFileNew)->trigger();
    main_->documents()->activeWindow()->editor()->insertPlainText(QStringLiteral("y"));
    bench_->dialogs->saveAnswers = {SaveChoice::kDiscard, SaveChoice::kCancel};
    main_->action(Command::kAppExit)->trigger();
    QCOMPARE(bench_->dialogs->saveQuestions.size(), 2);
    QVERIFY(main_->isVisible());
    // Cancelling keeps every edit, the one given up before included.
    for (Document* doc : main_->findChildren<Document*>()) QVERIFY(doc->text()->isModified());
    // Discarding everything lets the program end; the files stay as they were.
    const QByteArray rules = dir_->Read(QStringLiteral("rules.txt"));
    bench_->dialogs->saveAnswers = {SaveChoice::kDiscard, SaveChoice::kDiscard};
    main_->action(Command::kAppExit)->trigger();
    QCOMPARE(bench_->dialogs->saveQuestions.size(), 4);
    QVERIFY(!main_->isVisible());
    QCOMPARE(dir_->Read(QStringLiteral("rules.txt")), rules);
  }

  // After declining to reload a file another program changed, Ctrl+S
  // overwrote that change without a word; a file deleted on the disk was
  // not told of.
  void savingOverAChangeOnDiskAsksAndAFileGoneIsTold() {
    auto comeBack = [this] {
      main_->CheckFilesOnDisk();  // as when the main window is active again
    };
    Document* rules = main_->documents()->activeWindow()->document();
    main_->documents()->activeWindow()->editor()->insertPlainText(QStringLiteral("我的 "));
    const QByteArray theirs = "CFGRuleSetBegin\r\nCFGRuleSetEnd\r\n";
    dir_->Write(QStringLiteral("rules.txt"), theirs);
    bench_->dialogs->yesNoAnswers = {false};  // not reloaded
    comeBack();
    QCOMPARE(bench_->dialogs->yesNoQuestions.size(), 1);
    main_->action(Command::kFileSave)->trigger();  // 取消
    QCOMPARE(bench_->dialogs->overwriteQuestions.size(), 1);
    QVERIFY(bench_->dialogs->overwriteQuestions[0].contains(
        QDir::toNativeSeparators(dir_->file("rules.txt"))));
    QCOMPARE(dir_->Read(QStringLiteral("rules.txt")), theirs);
    QVERIFY(rules->text()->isModified());
    bench_->dialogs->overwriteAnswers = {true};  // 保存并覆盖
    main_->action(Command::kFileSave)->trigger();
    QCOMPARE(bench_->dialogs->overwriteQuestions.size(), 2);
    QVERIFY(dir_->Read(QStringLiteral("rules.txt")).startsWith(GbkBytes("我的 ")));
    QVERIFY(!rules->text()->isModified());
    // The file as saved is the one read: no question.
    main_->documents()->activeWindow()->editor()->insertPlainText(QStringLiteral("x"));
    main_->action(Command::kFileSave)->trigger();
    QCOMPARE(bench_->dialogs->overwriteQuestions.size(), 2);
    QVERIFY(bench_->dialogs->texts().isEmpty());

    // Gone from the disk: told once, and the window shows it until saved.
    QVERIFY(QFile::remove(dir_->file("rules.txt")));
    comeBack();
    comeBack();
    QCOMPARE(bench_->dialogs->texts().size(), 1);
    QVERIFY(bench_->dialogs->texts()[0].contains(QStringLiteral("已从磁盘删除或移走")));
    QCOMPARE(ShownTitle(main_->documents()->activeWindow()),
             QStringLiteral("rules.txt（已从磁盘删除）"));
    QCOMPARE(ShownTitle(main_), QStringLiteral("Marvolen - rules.txt（已从磁盘删除）"));
    main_->action(Command::kFileSave)->trigger();  // made again, without a question
    QCOMPARE(bench_->dialogs->overwriteQuestions.size(), 2);
    QVERIFY(dir_->Read(QStringLiteral("rules.txt")).startsWith(GbkBytes("我的 x")));
    QCOMPARE(ShownTitle(main_->documents()->activeWindow()), QStringLiteral("rules.txt"));
  }

 private:
  std::unique_ptr<StartupDir> dir_;
  std::unique_ptr<WorkbenchSession> bench_;
  MainWindow* main_ = nullptr;
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::DocumentTest)
#include "document_test.moc"
