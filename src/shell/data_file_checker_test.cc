// The faults of the data files marked in their editors as one types: how
// soon the mark comes after the last keystroke in a file of 300 rules
// (measured), the lines of a planted duplicate and an impossible rule, the
// list under the editor, and the files checked as their documents hold
// them.
#include "shell/data_file_checker.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolTip>
#include <QtTest>

#include "datafiles/rule_set_reader.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/test_support.h"
#include "testing/files.h"

namespace marvolen {

namespace {

QByteArray ExampleFile(const char* name) {
  return QByteArray::fromStdString(ReadFile(ExamplesDir() / name));
}

// A rules file of `count` rules (records, as the reader counts them): the
// examples' own rules, then rules of new left tags, each over other tags of
// the examples' tag set.
QByteArray ManyRules(int count) {
  QByteArray rules = ExampleFile("rules.txt");
  RuleSet examples;
  RecordingUserInterface ui;
  ReadRuleSet(examples, *InputStream::FromBytes(rules.toStdString()), ui);
  int have = examples.count();
  rules.truncate(rules.lastIndexOf("CFGRuleSetEnd"));
  const char* const tags[] = {"n", "v", "a", "d", "m", "q", "r", "p", "f", "t", "s"};
  for (int k = 0; have < count; ++k, ++have) {
    rules += QStringLiteral("&& [ F%1 ] X%1 -> %2 %3 %4 &&\r\n")
                 .arg(k)
                 .arg(QLatin1String(tags[k % 11]), QLatin1String(tags[(k / 11) % 11]),
                      QLatin1String(tags[(k / 121) % 11]))
                 .toLatin1();
  }
  return rules + "CFGRuleSetEnd\r\n";
}

// The number of the line (1 for the first) that holds `text`.
int LineOf(QPlainTextEdit* editor, const QString& text) {
  return editor->document()->find(text).blockNumber() + 1;
}

// Put the cursor at the start of line `line`.
void PutCursorAt(QPlainTextEdit* editor, int line) {
  editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(line - 1)));
}

}  // namespace

class DataFileCheckerTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    dir_->CopyExamples();
  }
  void cleanup() {
    bench_.reset();
    dir_.reset();
  }

  void anErrorTypedIsMarkedWithin100msInAFileOf300Rules() {
    // 299 rules, and the one typed.
    dir_->Write(QStringLiteral("rules.txt"), ManyRules(299));
    Start();
    DocumentWindow* window = Open(QStringLiteral("rules.txt"));
    DocumentEditor* editor = window->editor();
    QTRY_VERIFY(!Checking());
    // The examples' own findings.
    const qsizetype before = editor->notes().size();
    QCOMPARE(window->notesList()->count(), before);
    const int line = LineOf(editor, QStringLiteral("CFGRuleSetEnd"));
    QVERIFY2(line > 299,
             qPrintable(QStringLiteral("%1 of %2").arg(line).arg(editor->blockCount())));
    QVERIFY(editor->NotesAt(line).isEmpty());
    PutCursorAt(editor, line);
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("&& [ Z1 ] NP -> n nosuch &&"));
    QTest::keyClick(editor, Qt::Key_Return);
    // Measured from the last keystroke to the mark on the line.
    QElapsedTimer clock;
    clock.start();
    while (editor->NotesAt(line).isEmpty() && clock.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const qint64 elapsed = clock.elapsed();
    qInfo("The mark came %lld ms after the last keystroke (300 rules; at most 100 ms asked)",
          static_cast<long long>(elapsed));
    QStringList all;
    for (const LineNote& note : editor->notes())
      all.append(QStringLiteral("%1: %2").arg(note.line).arg(note.text));
    QVERIFY2(editor->NotesAt(line).contains(QStringLiteral("nosuch")),
             qPrintable(QStringLiteral("line %1 of %2\n").arg(line).arg(editor->blockCount()) +
                        all.join(QLatin1Char('\n'))));
    // At most 100 ms in the optimized build. A build under the sanitizers
    // runs several times slower, and one for Windows runs here under Wine:
    // there the time is reported, not held to the mark.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) && !defined(Q_OS_WIN)
    QVERIFY2(elapsed <= 100, qPrintable(QString::number(elapsed)));
#endif
    QCOMPARE(editor->notes().size(), before + 1);
    QCOMPARE(window->notesList()->count(), before + 1);
    QVERIFY(window->notesList()->isVisible());
  }

  void aPlantedDuplicateAndAnImpossibleRuleAreMarkedAtTheirLines() {
    QByteArray rules = ExampleFile("rules.txt");
    const qsizetype end = rules.lastIndexOf("CFGRuleSetEnd");
    rules.insert(end,
                 "&& [ R98 ] NP -> a n               :: <TREE> = \xB6\xA8\xD6\xD0\r\n"
                 "&& [ R99 ] VP -> v nosuch &&\r\n");
    dir_->Write(QStringLiteral("rules.txt"), rules);
    // The same text in a file that is no data file is not checked.
    dir_->Write(QStringLiteral("notes.txt"), rules);
    Start();
    DocumentWindow* other = Open(QStringLiteral("notes.txt"));
    DocumentWindow* window = Open(QStringLiteral("rules.txt"));
    QTRY_VERIFY(!Checking());
    DocumentEditor* editor = window->editor();
    const int duplicate = LineOf(editor, QStringLiteral("R98"));
    const int impossible = LineOf(editor, QStringLiteral("R99"));
    QVERIFY(duplicate > 1 && impossible == duplicate + 1);
    // Besides the examples' own findings, which come before.
    const qsizetype count = editor->notes().size();
    QVERIFY(count >= 2);
    QCOMPARE(editor->notes()[count - 2].line, duplicate);
    QCOMPARE(editor->notes()[count - 1].line, impossible);
    QVERIFY(editor->NotesAt(duplicate).contains(QStringLiteral("repeats R01")));
    QVERIFY(editor->NotesAt(impossible).contains(QStringLiteral("nosuch")));
    // The line's tooltip gives its message.
    editor->GoToLine(impossible);
    const QPoint at = editor->cursorRect().center();
    QHelpEvent help(QEvent::ToolTip, at, editor->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(editor->viewport(), &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), editor->NotesAt(impossible));
    QVERIFY(other->editor()->notes().isEmpty());
    QVERIFY(other->notesList()->isHidden());

    // The list under the editor: a click on an entry goes to its line.
    QListWidget* list = window->notesList();
    QCOMPARE(list->count(), count);
    QVERIFY(list->isVisible());
    QVERIFY(list->item(static_cast<int>(count) - 1)->text().contains(QString::number(impossible)));
    PutCursorAt(editor, 1);
    for (const int row : {count - 1, count - 2, qsizetype(0)}) {
      QListWidgetItem* item = list->item(static_cast<int>(row));
      list->scrollToItem(item);
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
      QCOMPARE(editor->textCursor().blockNumber() + 1, editor->notes()[row].line);
    }

    // The tag set as its document holds it, unsaved: with the tag the
    // impossible rule is possible.
    DocumentWindow* tags = Open(QStringLiteral("tags.txt"));
    QPlainTextEdit* tagEditor = tags->editor();
    PutCursorAt(tagEditor, LineOf(tagEditor, QStringLiteral("NP")));
    tagEditor->setFocus();
    QTest::keyClicks(tagEditor, QStringLiteral("nosuch , "));
    QTRY_COMPARE(editor->notes().size(), count - 1);
    QVERIFY(editor->NotesAt(impossible).isEmpty());
    QVERIFY(!editor->NotesAt(duplicate).isEmpty());
    QVERIFY(tags->document()->text()->isModified());
    // Taken out again: marked again.
    tagEditor->document()->find(QStringLiteral("nosuch , ")).removeSelectedText();
    QTRY_COMPARE(editor->notes().size(), count);

    // Mended in the editor: the marks and the list go.
    QTextCursor cursor(editor->document()->findBlockByNumber(impossible - 1));
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor = QTextCursor(editor->document()->findBlockByNumber(duplicate - 1));
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    QTRY_COMPARE(editor->notes().size(), count - 2);
    QCOMPARE(list->count(), count - 2);
  }

  void aReadersMessageIsMarkedAtItsLine() {
    Start();
    DocumentWindow* window = Open(QStringLiteral("rules.txt"));
    DocumentEditor* editor = window->editor();
    QTRY_VERIFY(!Checking());
    const int line = LineOf(editor, QStringLiteral("R03"));
    QVERIFY(editor->NotesAt(line).isEmpty());
    QTextCursor cursor = editor->document()->find(QStringLiteral("R03"));
    cursor.insertText(QStringLiteral("3R"));  // a title must be an identifier
    QTRY_VERIFY(!editor->NotesAt(line).isEmpty());
    QVERIFY2(editor->NotesAt(line).contains(QStringLiteral("identifier")),
             qPrintable(editor->NotesAt(line)));
  }

 private:
  // The workbench, on the files as written (it may open data files itself).
  void Start() {
    bench_ = std::make_unique<WorkbenchSession>(*dir_);
    QVERIFY(bench_->started);
    main_ = bench_->window;
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_));
  }
  DocumentWindow* Open(const QString& name) {
    if (!main_->documents()->OpenFile(dir_->file(name))) return nullptr;
    return main_->documents()->activeWindow();
  }
  // Whether a check is still to come.
  bool Checking() const {
    const auto* checker = main_->findChild<DataFileChecker*>();
    return checker != nullptr && checker->pending();
  }

  std::unique_ptr<StartupDir> dir_;
  std::unique_ptr<WorkbenchSession> bench_;
  MainWindow* main_ = nullptr;
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::DataFileCheckerTest)
#include "data_file_checker_test.moc"
