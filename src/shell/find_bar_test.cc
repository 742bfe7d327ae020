// Finding, replacing and going to a line in the editor and in the report
// window, and the matching rules of the search itself.
#include "shell/find_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTextBlock>
#include <QtTest>

#include "shell/analysis_runner.h"
#include "shell/commands.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/report_view.h"
#include "shell/report_window.h"
#include "shell/test_support.h"
#include "shell/text_search.h"
#include "shell/window_list.h"

namespace marvolen {

namespace {

// The matches marked in an editor: "line:column" of each.
QStringList Marks(QPlainTextEdit* editor) {
  QStringList marks;
  for (const QTextEdit::ExtraSelection& mark : editor->extraSelections())
    marks.append(QStringLiteral("%1:%2")
                     .arg(mark.cursor.blockNumber() + 1)
                     .arg(mark.cursor.selectionStart() - mark.cursor.block().position() + 1));
  return marks;
}

QString Selection(QPlainTextEdit* editor) {
  const QTextCursor c = editor->textCursor();
  return QStringLiteral("%1:%2 %3")
      .arg(c.blockNumber() + 1)
      .arg(c.selectionStart() - c.block().position() + 1)
      .arg(c.selectedText());
}

}  // namespace

class FindBarTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    dir_->WriteExampleSet();
    dir_->Write(QStringLiteral("find.txt"),
                GbkBytes("NP -> a n\r\nnp 名词 名词性\r\nVP_NP NP\r\nend NP"));
    bench_ = std::make_unique<WorkbenchSession>(*dir_);
    QVERIFY(bench_->started);
    main_ = bench_->window;
    QVERIFY(main_->documents()->OpenFile(dir_->file("find.txt")));
    editor_ = main_->documents()->activeWindow()->editor();
    bar_ = main_->findChild<FindBar*>("findBar");
    QVERIFY(bar_ != nullptr);
    findField_ = bar_->findChild<QLineEdit*>("findField");
    replaceField_ = bar_->findChild<QLineEdit*>("replaceField");
    matchCase_ = bar_->findChild<QCheckBox*>("matchCase");
    wholeWord_ = bar_->findChild<QCheckBox*>("wholeWord");
    QVERIFY(findField_ && replaceField_ && matchCase_ && wholeWord_);
  }
  void cleanup() {
    bench_.reset();
    dir_.reset();
  }

  void matchingRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QList<qsizetype>>("forward");  // every match, first to last
    QTest::newRow("any case") << "Np np NP"
                              << "np" << false << false << QList<qsizetype>{0, 3, 6};
    QTest::newRow("match case") << "Np np NP"
                                << "np" << true << false << QList<qsizetype>{3};
    QTest::newRow("whole word") << "NP NPs _NP NP"
                                << "NP" << false << true << QList<qsizetype>{0, 11};
    QTest::newRow("punctuation bounds a word") << "(NP,VP:NP)"
                                               << "NP" << true << true << QList<qsizetype>{1, 7};
    QTest::newRow("Chinese characters are letters")
        << "名词 名词性 名词"
        << "名词" << false << true << QList<qsizetype>{0, 7};
    QTest::newRow("overlapping") << "aaaa"
                                 << "aa" << false << false << QList<qsizetype>{0, 1, 2};
    QTest::newRow("nothing") << "abc"
                             << "x" << false << false << QList<qsizetype>{};
    QTest::newRow("an empty pattern finds nothing") << "abc"
                                                    << "" << false << false << QList<qsizetype>{};
  }
  // Forward from each position finds the first match at or after it;
  // backward the last one before it: both agree with the list of matches.
  void matchingRules() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(QList<qsizetype>, forward);
    const SearchPattern p{pattern, matchCase, wholeWord};
    for (qsizetype from = 0; from <= text.size() + 1; ++from) {
      qsizetype next = -1, previous = -1;
      for (qsizetype at : forward) {
        if (at >= from && next < 0) next = at;
        if (at < from) previous = at;
      }
      QCOMPARE(FindMatch(text, p, from), next);
      QCOMPARE(FindMatch(text, p, from, true), previous);
    }
  }

  void findMarksEveryMatchInSightAndMovesWithF3() {
    main_->action(Command::kEditFind)->trigger();
    QVERIFY(bar_->isVisible());
    QVERIFY(findField_->hasFocus() || !main_->isActiveWindow());
    findField_->setText(QStringLiteral("NP"));
    QCOMPARE(Marks(editor_), (QStringList{"1:1", "2:1", "3:4", "3:7", "4:5"}));
    wholeWord_->setChecked(true);
    QCOMPARE(Marks(editor_), (QStringList{"1:1", "2:1", "3:7", "4:5"}));
    matchCase_->setChecked(true);
    QCOMPARE(Marks(editor_), (QStringList{"1:1", "3:7", "4:5"}));
    // F3 goes from match to match, and from the last to the first again.
    editor_->moveCursor(QTextCursor::Start);
    QStringList found;
    for (int i = 0; i < 4; ++i) {
      main_->action(Command::kEditFindNext)->trigger();
      found.append(Selection(editor_));
    }
    QCOMPARE(found, (QStringList{"1:1 NP", "3:7 NP", "4:5 NP", "1:1 NP"}));
    QCOMPARE(main_->statusBar()->currentMessage(), QStringLiteral("已查找到末尾，从开头继续。"));
    main_->action(Command::kEditFindPrevious)->trigger();
    QCOMPARE(Selection(editor_), QStringLiteral("4:5 NP"));
    QCOMPARE(main_->findChild<QLabel*>("cursorPosition")->text(),
             QStringLiteral("第 4 行，第 7 列"));
    // Text that is not there.
    findField_->setText(QStringLiteral("形容词"));
    main_->action(Command::kEditFindNext)->trigger();
    QCOMPARE(main_->statusBar()->currentMessage(), QStringLiteral("找不到“形容词”。"));
    QCOMPARE(Selection(editor_), QStringLiteral("4:5 NP"));
    // Closing the bar takes the marks away; F3 still finds.
    findField_->setText(QStringLiteral("名词"));
    QVERIFY(!Marks(editor_).isEmpty());
    QTest::keyClick(findField_, Qt::Key_Escape);
    QVERIFY(!bar_->isVisible());
    QVERIFY(Marks(editor_).isEmpty());
    main_->action(Command::kEditFindNext)->trigger();
    QCOMPARE(Selection(editor_), QStringLiteral("2:4 名词"));
  }

  // Lines that come into sight as the window grows (maximized, or lines
  // that re-wrap when it is wider) are marked as those in sight were.
  void marksFollowTheWindowsSize() {
    QString text;
    for (int i = 1; i <= 200; ++i) text += QStringLiteral("NP %1 NP\r\n").arg(i);
    dir_->Write(QStringLiteral("many.txt"), text.toLatin1());
    QVERIFY(main_->documents()->OpenFile(dir_->file("many.txt")));
    QPlainTextEdit* editor = main_->documents()->activeWindow()->editor();
    QMdiSubWindow* window = main_->findChild<QMdiArea*>("documentArea")->currentSubWindow();
    window->showNormal();
    window->resize(300, 150);
    QCoreApplication::processEvents();
    main_->action(Command::kEditFind)->trigger();
    findField_->setText(QStringLiteral("NP"));
    const qsizetype few = Marks(editor).size();
    QVERIFY(few > 0);
    window->showMaximized();
    QCoreApplication::processEvents();
    const qsizetype many = Marks(editor).size();
    QVERIFY2(many > few, qPrintable(QStringLiteral("%1 -> %2").arg(few).arg(many)));
    // Every line in sight has its two marks.
    const int first = editor->cursorForPosition(QPoint(0, 0)).blockNumber();
    const int last =
        editor->cursorForPosition(QPoint(0, editor->viewport()->height() - 1)).blockNumber();
    QCOMPARE(many, 2 * (last - first + 1));
  }

  // Escape from a check box of the bar sent the focus, and so the active
  // window, to another document window.
  void regressionEscapeFromTheBarKeepsTheActiveWindow() {
    QApplication::setActiveWindow(main_);
    QVERIFY(QTest::qWaitForWindowActive(main_));
    main_->action(Command::kEditFind)->trigger();
    wholeWord_->setFocus();
    QVERIFY(wholeWord_->hasFocus());
    QTest::keyClick(wholeWord_, Qt::Key_Escape);
    QVERIFY(!bar_->isVisible());
    QCOMPARE(main_->documents()->activeWindow()->editor(), editor_);
    QVERIFY(editor_->hasFocus());
  }

  void enterInTheFieldFindsNextAndShiftEnterPrevious() {
    main_->action(Command::kEditFind)->trigger();
    findField_->setText(QStringLiteral("np"));
    editor_->moveCursor(QTextCursor::Start);
    QTest::keyClick(findField_, Qt::Key_Return);
    QCOMPARE(Selection(editor_), QStringLiteral("1:1 NP"));
    QTest::keyClick(findField_, Qt::Key_Return);
    QCOMPARE(Selection(editor_), QStringLiteral("2:1 np"));
    QTest::keyClick(findField_, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(Selection(editor_), QStringLiteral("1:1 NP"));
  }

  // The selection of one line becomes the text to find.
  void findStartsWithTheSelection() {
    editor_->moveCursor(QTextCursor::Start);
    editor_->moveCursor(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    main_->action(Command::kEditFind)->trigger();
    QCOMPARE(findField_->text(), QStringLiteral("NP "));
  }

  void replaceOneByOneAndAllAtOnceUndoneInOneStep() {
    const QString before = editor_->toPlainText();
    main_->action(Command::kEditReplace)->trigger();
    QVERIFY(replaceField_->isVisible());
    findField_->setText(QStringLiteral("NP"));
    wholeWord_->setChecked(true);
    matchCase_->setChecked(true);
    replaceField_->setText(QStringLiteral("名词短语"));
    editor_->moveCursor(QTextCursor::Start);
    // The first 替换 only finds; the next replaces what it found.
    bar_->ReplaceNext();
    QCOMPARE(Selection(editor_), QStringLiteral("1:1 NP"));
    bar_->ReplaceNext();
    QVERIFY(editor_->toPlainText().startsWith(QStringLiteral("名词短语 -> a n")));
    QCOMPARE(Selection(editor_), QStringLiteral("3:7 NP"));
    QCOMPARE(ShownTitle(main_), QStringLiteral("Marvolen - find.txt*"));
    bar_->ReplaceAll();
    QCOMPARE(main_->statusBar()->currentMessage(), QStringLiteral("已替换 2 处。"));
    QCOMPARE(editor_->toPlainText(),
             QStringLiteral("名词短语 -> a n\nnp 名词 名词性\nVP_NP 名词短语\nend 名词短语"));
    editor_->undo();
    QCOMPARE(editor_->toPlainText(),
             QStringLiteral("名词短语 -> a n\nnp 名词 名词性\nVP_NP NP\nend NP"));
    editor_->undo();
    QCOMPARE(editor_->toPlainText(), before);
  }

  void goToLine() {
    bench_->dialogs->lineAnswers = {3, 0, 99};
    main_->action(Command::kEditGoToLine)->trigger();
    QCOMPARE(main_->findChild<QLabel*>("cursorPosition")->text(),
             QStringLiteral("第 3 行，第 1 列"));
    main_->action(Command::kEditGoToLine)->trigger();  // cancelled
    QCOMPARE(editor_->textCursor().blockNumber(), 2);
    editor_->GoToLine(99);  // past the end: the last line
    QCOMPARE(editor_->textCursor().blockNumber(), 3);
    QCOMPARE(bench_->dialogs->lineQuestions, (QStringList{"1/4", "3/4"}));
  }

  // The same in the report window: marks, F3 across many lines in both
  // directions, go to line.
  void findAndGoToLineInTheReportWindow() {
    QByteArray report;
    for (int i = 1; i <= 20000; ++i)
      report += GbkBytes(i % 5000 == 0 ? "\t\t[1](NP:定中(a,n))\r\n" : "\tn v a\r\n");
    dir_->Write(QStringLiteral("report.txt"), report);
    QVERIFY(main_->OpenReport(dir_->file("report.txt")));
    ReportView* view = main_->findChild<ReportWindow*>()->view();
    QCOMPARE(view->lineCount(), 20001);
    main_->action(Command::kEditFind)->trigger();
    QVERIFY(!replaceField_->isVisible());  // a report is not edited
    QVERIFY(!main_->action(Command::kEditReplace)->isEnabled());
    findField_->setText(QStringLiteral("定中"));
    QStringList found;
    for (int i = 0; i < 5; ++i) {
      main_->action(Command::kEditFindNext)->trigger();
      found.append(QStringLiteral("%1:%2").arg(view->cursorLine()).arg(view->selectedText()));
    }
    QCOMPARE(found,
             (QStringList{"5000:定中", "10000:定中", "15000:定中", "20000:定中", "5000:定中"}));
    QCOMPARE(view->cursorColumn(), 12);  // after the match, on its line
    main_->action(Command::kEditFindPrevious)->trigger();
    QCOMPARE(view->cursorLine(), 20000);
    QCOMPARE(view->currentLineText(), QStringLiteral("\t\t[1](NP:定中(a,n))"));
    bench_->dialogs->lineAnswers = {12345};
    main_->action(Command::kEditGoToLine)->trigger();
    QCOMPARE(view->cursorLine(), 12345);
    QCOMPARE(main_->findChild<QLabel*>("cursorPosition")->text(),
             QStringLiteral("第 12345 行，第 1 列"));
    QCOMPARE(bench_->dialogs->lineQuestions, QStringList{"20000/20001"});
  }

 private:
  std::unique_ptr<StartupDir> dir_;
  std::unique_ptr<WorkbenchSession> bench_;
  MainWindow* main_ = nullptr;
  DocumentEditor* editor_ = nullptr;
  FindBar* bar_ = nullptr;
  QLineEdit* findField_ = nullptr;
  QLineEdit* replaceField_ = nullptr;
  QCheckBox* matchCase_ = nullptr;
  QCheckBox* wholeWord_ = nullptr;
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::FindBarTest)
#include "find_bar_test.moc"
