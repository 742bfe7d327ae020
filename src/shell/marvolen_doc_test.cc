// Documents: lossless GBK loading and saving, safe saving, and the prompts
// to save on close and exit.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QtTest>

#include "platform/file_size_limit_for_test.h"
#include "shell/command_ids.h"
#include "shell/doc_template.h"
#include "shell/document.h"
#include "shell/mdi_child_frame.h"
#include "shell/test_support.h"

namespace marvolen {

class MarvolenDocTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    dir_->WriteExampleSet();
    bench_ = std::make_unique<Workbench>(*dir_);
    QVERIFY(bench_->started);
    frame_ = bench_->app->mainWindow();
  }
  void cleanup() {
    // Leave without prompts: nothing modified is kept.
    for (Document* doc : Documents()) doc->SetModifiedFlag(false);
    bench_.reset();
    dir_.reset();
  }

  void openAndSaveWithoutEditsIsByteIdentical_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("gbk, CR LF") << GbkBytes("TagSetBegin\r\nn , v , u<的> , c<和>\r\nTagSetEnd\r\n");
    QTest::newRow("gbk, LF, no final end") << GbkBytes("名词 n\n动词 v");
    QTest::newRow("mixed and lone CR") << QByteArray("a\r\nb\nc\rd\r\r\n");
    QTest::newRow("NUL bytes") << QByteArray("a\0b\0\r\n", 7);
    QTest::newRow("invalid bytes") << QByteArray("\x80\xFF\xB5\x7F x \xA1\x40 \x81\x30\x81\x30");
    QTest::newRow("lead byte cut off") << GbkBytes("规则") + QByteArray("\xB5");
    QTest::newRow("private-use text") << QByteArray("\xEF\x9C\x80 \xAA\xA1");
  }
  void openAndSaveWithoutEditsIsByteIdentical() {
    QFETCH(QByteArray, bytes);
    dir_->Write(QStringLiteral("data.txt"), bytes);
    Document* doc = bench_->app->OpenDocumentFile(dir_->file("data.txt"));
    QVERIFY(doc != nullptr);
    QVERIFY(!doc->IsModified());
    QVERIFY(frame_->RouteCommand(ID_FILE_SAVE));
    QCOMPARE(dir_->Read(QStringLiteral("data.txt")), bytes);
    // Also under a new name.
    bench_->dialogs->saveAsAnswers = {dir_->file("copy")};
    QVERIFY(frame_->RouteCommand(ID_FILE_SAVE_AS));
    QCOMPARE(dir_->Read(QStringLiteral("copy")), bytes);
    QCOMPARE(doc->GetTitle(), QStringLiteral("copy"));  // no extension added
    QVERIFY(bench_->dialogs->messages.empty());
  }

  void chineseIsShownAndTypedTextIsSavedAsGbk() {
    dir_->Write(QStringLiteral("seq.txt"), GbkBytes("v n u<的> n\r\n"));
    Document* doc = bench_->app->OpenDocumentFile(dir_->file("seq.txt"));
    QVERIFY(doc != nullptr);
    QCOMPARE(doc->text()->toPlainText(), QStringLiteral("v n u<的> n\n"));
    QPlainTextEdit* view = frame_->MDIGetActive()->GetActiveView();
    view->moveCursor(QTextCursor::End);
    for (QChar ch : QStringLiteral("a c<和> n"))
      QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(doc->IsModified());
    QVERIFY(frame_->RouteCommand(ID_FILE_SAVE));
    QCOMPARE(dir_->Read(QStringLiteral("seq.txt")), GbkBytes("v n u<的> n\r\na c<和> n\r\n"));
    QVERIFY(!doc->IsModified());
  }

  void textThatGbkCannotHoldIsNotSaved() {
    dir_->Write(QStringLiteral("t.txt"), QByteArray("one\r\n"));
    Document* doc = bench_->app->OpenDocumentFile(dir_->file("t.txt"));
    QVERIFY(doc != nullptr);
    frame_->MDIGetActive()->GetActiveView()->moveCursor(QTextCursor::End);
    frame_->MDIGetActive()->GetActiveView()->insertPlainText(QStringLiteral("x\u2603"));  // a snowman
    QVERIFY(frame_->RouteCommand(ID_FILE_SAVE));
    QVERIFY(doc->IsModified());
    QCOMPARE(dir_->Read(QStringLiteral("t.txt")), QByteArray("one\r\n"));
    QCOMPARE(bench_->dialogs->messages.size(), size_t(1));
    QVERIFY(bench_->dialogs->messages[0].text.contains(QStringLiteral("第 2 行")));
    QVERIFY(bench_->dialogs->messages[0].text.contains(QStringLiteral("U+2603")));
  }

  void aFailedSaveKeepsTheOldFile() {
    QDir(dir_->path()).mkpath(QStringLiteral("sub"));
    dir_->Write(QStringLiteral("sub/keep.txt"), QByteArray("old\r\n"));
    Document* doc = bench_->app->OpenDocumentFile(dir_->file("sub/keep.txt"));
    QVERIFY(doc != nullptr);
    frame_->MDIGetActive()->GetActiveView()->insertPlainText(QStringLiteral("new "));
    // The directory goes away under the document: the save fails.
    QDir(dir_->file("sub")).removeRecursively();
    QDir(dir_->path()).mkpath(QStringLiteral("sub/keep.txt/inner"));  // a directory where the file was
    QVERIFY(frame_->RouteCommand(ID_FILE_SAVE));
    QVERIFY(doc->IsModified());
    QCOMPARE(bench_->dialogs->messages.size(), size_t(1));
    QVERIFY(QFileInfo(dir_->file("sub/keep.txt")).isDir());
  }

  // The disk fills up while the new content is written: the file keeps its
  // old bytes, no temporary file is left, and the document stays modified.
  void aSaveThatFailsPartWayKeepsTheOldBytes() {
    dir_->Write(QStringLiteral("keep.txt"), QByteArray("old\r\n"));
    Document* doc = bench_->app->OpenDocumentFile(dir_->file("keep.txt"));
    QVERIFY(doc != nullptr);
    frame_->MDIGetActive()->GetActiveView()->insertPlainText(QString(5000, QLatin1Char('x')));
    const QStringList before = QDir(dir_->path()).entryList(QDir::Files);
    bool saved;
    {
      FileSizeLimitForTest limit(1000);
      if (!limit.active()) QSKIP("cannot limit the file size");
      saved = doc->DoFileSave();
    }
    QVERIFY(!saved);
    QVERIFY(doc->IsModified());
    QCOMPARE(bench_->dialogs->messages.size(), size_t(1));
    QCOMPARE(dir_->Read(QStringLiteral("keep.txt")), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), before);
  }

  void aFileTooBigIsRefusedAndNotOpened() {
    QByteArray big;
    while (big.size() <= 0xFFFFF) big += "0123456789abcd\r\n";
    dir_->Write(QStringLiteral("big.txt"), big);
    const int windows = frame_->mdiArea()->subWindowList().size();
    QVERIFY(bench_->app->OpenDocumentFile(dir_->file("big.txt")) == nullptr);
    QCOMPARE(bench_->dialogs->texts(), QStringList{QStringLiteral("该文件太大，无法打开。")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(frame_->mdiArea()->subWindowList().size(), windows);
    QCOMPARE(Documents().size(), size_t(1));
  }

  void closingAModifiedDocumentAsks() {
    QVERIFY(frame_->RouteCommand(ID_FILE_NEW));
    Document* doc = frame_->MDIGetActive()->GetActiveDocument();
    frame_->MDIGetActive()->GetActiveView()->insertPlainText(QStringLiteral("x"));
    // Cancel keeps it open.
    bench_->dialogs->saveAnswers = {SaveChoice::kCancel};
    QVERIFY(frame_->RouteCommand(ID_FILE_CLOSE));
    QCOMPARE(bench_->dialogs->saveQuestions, QStringList{QStringLiteral("是否保存对 Marvo1 的更改？")});
    QCOMPARE(Documents().size(), size_t(2));
    // Save asks for a name (no extension added) and writes GBK.
    bench_->dialogs->saveAnswers = {SaveChoice::kSave};
    bench_->dialogs->saveAsAnswers = {dir_->file("saved")};
    frame_->MDIGetActive()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(dir_->Read(QStringLiteral("saved")), QByteArray("x"));
    QCOMPARE(Documents().size(), size_t(1));
    Q_UNUSED(doc);
  }

  void exitAsksForEveryModifiedDocumentAndCanBeCancelled() {
    frame_->MDIGetActive()->GetActiveView()->insertPlainText(QStringLiteral("edit "));
    QVERIFY(frame_->RouteCommand(ID_FILE_NEW));
    frame_->MDIGetActive()->GetActiveView()->insertPlainText(QStringLiteral("y"));
    bench_->dialogs->saveAnswers = {SaveChoice::kDiscard, SaveChoice::kCancel};
    QVERIFY(frame_->RouteCommand(ID_APP_EXIT));
    QCOMPARE(bench_->dialogs->saveQuestions.size(), 2);
    QVERIFY(frame_->isVisible());
    // Discarding everything lets the program end; the files stay as they were.
    const QByteArray rules = dir_->Read(QStringLiteral("rules.txt"));
    bench_->dialogs->saveAnswers = {SaveChoice::kDiscard, SaveChoice::kDiscard};
    QVERIFY(frame_->RouteCommand(ID_APP_EXIT));
    QVERIFY(!frame_->isVisible());
    QCOMPARE(dir_->Read(QStringLiteral("rules.txt")), rules);
  }

 private:
  std::vector<Document*> Documents() const { return bench_->app->docTemplate()->documents(); }

  std::unique_ptr<StartupDir> dir_;
  std::unique_ptr<Workbench> bench_;
  MdiFrameWindow* frame_ = nullptr;
};

}  // namespace marvolen

QTEST_MAIN(marvolen::MarvolenDocTest)
#include "marvolen_doc_test.moc"
