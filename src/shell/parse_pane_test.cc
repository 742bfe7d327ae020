// The parse pane in the workbench: typing a line, the grammar of the open
// documents, following the cursor, messages, exports.
#include "shell/parse_pane.h"

#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>
#include <QXmlStreamReader>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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
#include "shell/tree_canvas.h"
#include "shell/tree_painter.h"
#include "testing/files.h"

namespace marvolen {

namespace {

// Type `text` into `widget` a character at a time, as a person would.
void Type(QWidget* widget, const QString& text) {
  for (QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Put the cursor of `view` at the start of the first line holding `text`.
void PutCursorOn(QPlainTextEdit* view, const QString& text) {
  const QTextBlock block = view->document()->find(text).block();
  QVERIFY2(block.isValid(), qPrintable(text));
  QTextCursor cursor(block);
  view->setTextCursor(cursor);
}

QByteArray ExampleFile(const char* name) {
  return QByteArray::fromStdString(ReadFile(ExamplesDir() / name));
}

}  // namespace

class ParsePaneTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    for (const char* name : {"config.ini", "tags.txt", "rules.txt", "sequences.txt"})
      dir_->Write(QString::fromUtf8(name), ExampleFile(name));
    bench_ = std::make_unique<WorkbenchSession>(*dir_);
    QVERIFY(bench_->started);
    main_ = bench_->window;
    pane_ = main_->findChild<ParsePane*>("parsePane");
    QVERIFY(pane_ != nullptr);
    input_ = pane_->findChild<QLineEdit*>("sequenceInput");
    follow_ = pane_->findChild<QToolButton*>("followCursor");
    QVERIFY(input_ != nullptr && follow_ != nullptr);
    QVERIFY(pane_->isHidden());
    main_->action(Command::kViewParsePane)->trigger();
    QVERIFY(pane_->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(main_));
  }
  void cleanup() {
    bench_.reset();
    dir_.reset();
  }

  void typingShowsTheJudgementAndTheTrees_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("judgement");
    QTest::addColumn<int>("parses");
    QTest::newRow("overt") << "v n u<的> n"
                           << "外显型歧义" << 2;
    QTest::newRow("covert") << "n n n n"
                            << "内含型歧义" << 4;
    QTest::newRow("one way") << "m q n"
                             << "只有一种组合方式(无歧义)" << 1;
    QTest::newRow("cannot combine") << "u<的> u<的>"
                                    << "不能组合" << 0;
  }
  void typingShowsTheJudgementAndTheTrees() {
    QFETCH(QString, line);
    QFETCH(QString, judgement);
    QFETCH(int, parses);
    input_->setFocus();
    Type(input_, line);
    QCOMPARE(input_->text(), line);
    QCOMPARE(pane_->judgementText(), judgement);
    QCOMPARE(pane_->countText(), QStringLiteral("共有%1种组合方式").arg(parses));
    QCOMPARE(pane_->canvas()->treeCount(), parses);
    QCOMPARE(pane_->canvas()->laidOutCount(), parses);
    QVERIFY(pane_->messageText().isEmpty());
    QVERIFY(bench_->dialogs->messages.empty());
    // Every tree is laid out with its differences marked: the roots for
    // overt ambiguity, constituents below them for covert.
    const QFont font = TreeFont(14);
    for (int k = 0; k < parses; ++k) {
      const DrawnTree tree = pane_->canvas()->Drawing(k, font);
      const bool rootMarked = tree.nodes.front().marked;
      const bool belowMarked = std::any_of(tree.nodes.begin() + 1, tree.nodes.end(),
                                           [](const DrawnNode& n) { return n.marked; });
      QCOMPARE(rootMarked, judgement == "外显型歧义");
      QCOMPARE(belowMarked, judgement == "内含型歧义");
      // Numbered [k] when there are several.
      const bool numbered =
          std::any_of(tree.texts.begin(), tree.texts.end(), [&](const DrawnText& t) {
            return t.role == DrawnText::Role::kNumber &&
                   t.text == "[" + std::to_string(k + 1) + "]";
          });
      QCOMPARE(numbered, parses > 1);
    }
  }

  void problemsWithTheLineShowInThePane() {
    input_->setText(QStringLiteral("n n n n n n"));
    QCOMPARE(pane_->messageText(), QStringLiteral("一个格式最多有五项，这里有 6 项。"));
    QCOMPARE(pane_->canvas()->treeCount(), 0);
    input_->setText(QStringLiteral("n 一二三四五六七八九十"));
    QVERIFY(pane_->messageText().startsWith(QStringLiteral("项长于 19 个字节")));
    input_->setText(QStringLiteral("n \U0001F600"));
    QVERIFY(pane_->messageText().contains(QStringLiteral("不是 GBK 编码能表示的字符")));
    // Items that are no tags are named, each once; the line is still judged.
    input_->setText(QStringLiteral("zz n u<地> zz"));
    QCOMPARE(pane_->judgementText(), QStringLiteral("不能组合"));
    QCOMPARE(pane_->messageText(), QStringLiteral("不是标记集中的标记：zz、u<地>"));
    input_->setText(QStringLiteral("   "));
    QVERIFY(pane_->messageText().isEmpty());
    QVERIFY(pane_->judgementText().isEmpty());
    QVERIFY(bench_->dialogs->messages.empty());
  }

  // The rules as they stand in the open document, saved or not.
  void anUnsavedEditToTheRulesChangesTheAnswer() {
    input_->setText(QStringLiteral("q q"));
    QCOMPARE(pane_->judgementText(), QStringLiteral("不能组合"));
    QPlainTextEdit* rules = main_->documents()->activeWindow()->editor();
    const QByteArray onDisk = dir_->Read(QStringLiteral("rules.txt"));
    QTextCursor cursor = rules->document()->find(QStringLiteral("CFGRuleSetEnd"));
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.insertText(QStringLiteral("&& [ Q01 ] MP -> q q :: <TREE> = 叠量\n"));
    QTRY_COMPARE(pane_->judgementText(), QStringLiteral("只有一种组合方式(无歧义)"));
    QCOMPARE(pane_->canvas()->treeCount(), 1);
    QCOMPARE(dir_->Read(QStringLiteral("rules.txt")), onDisk);
    rules->undo();
    QTRY_COMPARE(pane_->judgementText(), QStringLiteral("不能组合"));

    // Closed without saving, the file on disk is the grammar again.
    rules->document()->setModified(false);
    cursor.insertText(QStringLiteral("&& [ Q01 ] MP -> q q :: <TREE> = 叠量\n"));
    QTRY_COMPARE(pane_->judgementText(), QStringLiteral("只有一种组合方式(无歧义)"));
    rules->document()->setModified(false);
    main_->documents()->activeWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    pane_->Analyse();
    QCOMPARE(pane_->judgementText(), QStringLiteral("不能组合"));
    // A file saved on disk is read again.
    QByteArray edited = onDisk;
    edited.replace("CFGRuleSetEnd",
                   GbkBytes("&& [ Q01 ] MP -> q q :: <TREE> = 叠量\r\nCFGRuleSetEnd"));
    dir_->Write(QStringLiteral("rules.txt"), edited);
    pane_->Analyse();
    QCOMPARE(pane_->judgementText(), QStringLiteral("只有一种组合方式(无歧义)"));
  }

  void readerMessagesShowInThePaneNotInBoxes() {
    QPlainTextEdit* rules = main_->documents()->activeWindow()->editor();
    input_->setText(QStringLiteral("v n"));
    QTextCursor cursor = rules->document()->find(QStringLiteral("CFGRuleSetBegin"));
    cursor.insertText(QStringLiteral("CFGRuleSetBeginX"));
    QTRY_VERIFY(!pane_->messageText().isEmpty());
    QVERIFY(pane_->messageText().contains(QStringLiteral("Rules_File")));
    // A character GBK cannot hold in the rules: said, and nothing analysed.
    rules->undo();
    QTRY_VERIFY(pane_->messageText().isEmpty());
    cursor = rules->document()->find(QStringLiteral("CFGRuleSetEnd"));
    cursor.insertText(QStringLiteral("\U0001F600"));
    QTRY_VERIFY(pane_->messageText().contains(QStringLiteral("GBK")));
    QVERIFY(pane_->judgementText().isEmpty());
    // A tag set that cannot be opened: the run's message.
    rules->undo();
    QFile::remove(dir_->file(QStringLiteral("tags.txt")));
    pane_->Analyse();
    QCOMPARE(pane_->messageText(), QStringLiteral("Data File <tags.txt> Open Error!"));
    QVERIFY(bench_->dialogs->messages.empty());
  }

  void aLineOverTheLimitIsJudgedAndCountedWithoutTrees() {
    // Six titles of S -> S S: 14 shapes x 6^4 titles = 18,144 parses of S S S S S.
    QByteArray rules = "CFGRuleSetBegin\r\n";
    for (int i = 1; i <= 6; ++i)
      rules += QByteArray("&& [ R0") + QByteArray::number(i) + " ] S -> S S :: <TREE> = T" +
               QByteArray::number(i) + "\r\n";
    dir_->Write(QStringLiteral("rules2.txt"), rules + "CFGRuleSetEnd\r\n");
    QByteArray config = dir_->Read(QStringLiteral("config.ini"));
    config.replace("RULES=rules.txt", "RULES=rules2.txt");
    dir_->Write(QStringLiteral("config.ini"), config);
    input_->setText(QStringLiteral("S S S S S"));
    QCOMPARE(pane_->judgementText(), QStringLiteral("内含型歧义"));
    QCOMPARE(pane_->countText(),
             QStringLiteral("共有18144种组合方式，超出上限10000种，未逐一列出"));
    QCOMPARE(pane_->canvas()->treeCount(), 0);
    input_->setText(QStringLiteral("S S S S"));
    QCOMPARE(pane_->countText(), QStringLiteral("共有1080种组合方式"));
    // Drawn in the pane, but too many for one image: said, and nothing copied.
    QCOMPARE(pane_->canvas()->treeCount(), 1080);
    QVERIFY(!pane_->CopyImage(-1));
    QCOMPARE(bench_->dialogs->texts(),
             QStringList{QStringLiteral("这幅图太大，无法做成图片；请另存为 SVG。")});
    QVERIFY(pane_->CopyImage(1079));
  }

  void takesTheLineUnderTheCursor() {
    QVERIFY(follow_->isChecked());
    input_->setText(QStringLiteral("n n"));
    // The rules are the grammar: their lines are not taken.
    PutCursorOn(main_->documents()->activeWindow()->editor(), QStringLiteral("CFGRuleSetEnd"));
    QCoreApplication::processEvents();
    QCOMPARE(input_->text(), QStringLiteral("n n"));

    QVERIFY(main_->documents()->OpenFile(dir_->file(QStringLiteral("sequences.txt"))));
    QCoreApplication::processEvents();
    QCOMPARE(input_->text(), QStringLiteral("v n u<的> n"));
    PutCursorOn(main_->documents()->activeWindow()->editor(), QStringLiteral("n n n n"));
    QCOMPARE(input_->text(), QStringLiteral("n n n n"));
    QCOMPARE(pane_->canvas()->treeCount(), 4);

    // In the report: an item line, a parse line, a degree line.
    dir_->Write(QStringLiteral("report.txt"),
                GbkBytes("\r\n\tv n u<的> n \r\n\t\t[1](NP:定中(...))\r\n\t\t[2](VP:述宾(...))\r\n"
                         "\t [7] v a n n \t2\r\n\t\t其中有外显型歧义的排列:5个\r\n"));
    QVERIFY(main_->documents()->OpenFile(dir_->file(QStringLiteral("report.txt"))));
    QCoreApplication::processEvents();
    QPlainTextEdit* view = main_->documents()->activeWindow()->editor();
    PutCursorOn(view, QStringLiteral("[2](VP"));
    QCOMPARE(input_->text(), QStringLiteral("v n u<的> n "));
    PutCursorOn(view, QStringLiteral("v a n n"));
    QCOMPARE(input_->text(), QStringLiteral("v a n n "));
    // A count is not a pattern: the pane keeps the last one.
    PutCursorOn(view, QStringLiteral("其中"));
    QCOMPARE(input_->text(), QStringLiteral("v a n n "));

    // Not following: the line stays.
    follow_->setChecked(false);
    PutCursorOn(view, QStringLiteral("[1](NP"));
    QCOMPARE(input_->text(), QStringLiteral("v a n n "));
    follow_->setChecked(true);
    QCOMPARE(input_->text(), QStringLiteral("v n u<的> n "));
  }

  // A parse line [k] picks out tree k, scrolled into sight; other lines none.
  void aParseLinePicksOutItsTree() {
    dir_->Write(QStringLiteral("report.txt"),
                GbkBytes("\tn n n n\r\n\t\t[1](x)\r\n\t\t[2](x)\r\n\t\t[3](x)\r\n\t\t[4](x)\r\n"));
    QVERIFY(main_->OpenReport(dir_->file(QStringLiteral("report.txt"))));
    QCoreApplication::processEvents();
    ReportView* view = main_->findChild<ReportWindow*>()->view();
    pane_->canvas()->resize(200, 120);  // one tree in sight at a time
    for (int line : {5, 2, 4}) {
      view->GoToLine(line);
      QCOMPARE(pane_->canvas()->treeCount(), 4);
      QCOMPARE(pane_->canvas()->pickedOut(), line - 2);
      const QRectF tree = pane_->canvas()->TreeRect(line - 2);
      const int top = pane_->canvas()->verticalScrollBar()->value();
      QVERIFY(tree.top() >= top && tree.top() < top + pane_->canvas()->viewport()->height());
    }
    view->GoToLine(1);
    QCOMPARE(pane_->canvas()->pickedOut(), -1);
  }

  // The report window shows a report of any size in a viewer of its own:
  // the pane follows its cursor by the same rules.
  void takesTheLineUnderTheReportWindowsCursor() {
    dir_->Write(QStringLiteral("report.txt"),
                GbkBytes("\r\n\tv n u<的> n \r\n\t\t[1](NP:定中(...))\r\n\t [7] v a n n \t2\r\n"
                         "全部标记共有 2 个: \r\n\tn v \r\n"));
    QVERIFY(main_->OpenReport(dir_->file(QStringLiteral("report.txt"))));
    QCoreApplication::processEvents();
    ReportWindow* report = main_->findChild<ReportWindow*>();
    QVERIFY(report != nullptr);
    QCOMPARE(main_->findChild<QMdiArea*>("documentArea")->currentSubWindow(), report);
    // From the end up: the tag list, its heading and the blank first line
    // are no patterns and leave the pane as it was.
    input_->setText(QStringLiteral("n n"));
    const QStringList expected = {"v n u<的> n ", "v n u<的> n ", "v n u<的> n ",
                                  "v a n n ",     "n n",          "n n"};
    for (int line = 6; line >= 1; --line) {
      report->view()->GoToLine(line);
      QCOMPARE(input_->text(), expected[line - 1]);
    }
    // Back in a document window, its line again.
    QVERIFY(main_->documents()->OpenFile(dir_->file(QStringLiteral("sequences.txt"))));
    QCoreApplication::processEvents();
    QCOMPARE(input_->text(), QStringLiteral("v n u<的> n"));
  }

  void exportsAreValidSvgAndImages() {
    input_->setText(QStringLiteral("v n u<的> n"));
    bench_->dialogs->saveAsAnswers = {dir_->file(QStringLiteral("all.svg")),
                                      dir_->file(QStringLiteral("two.png")),
                                      dir_->file(QStringLiteral("rules.txt"))};
    QVERIFY(pane_->Save(-1, ParsePane::Format::kSvg));
    QCOMPARE(bench_->dialogs->proposedNames.last(), dir_->file(QStringLiteral("v n u的 n.svg")));
    QXmlStreamReader xml(dir_->Read(QStringLiteral("all.svg")));
    QStringList texts;
    while (!xml.atEnd())
      if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
        texts.append(xml.readElementText());
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    for (const char* text : {"[1]", "[2]", "述宾", "的字结构", "u<的>"})
      QVERIFY2(texts.contains(QString::fromUtf8(text)), text);

    QVERIFY(pane_->Save(1, ParsePane::Format::kPng));
    QCOMPARE(bench_->dialogs->proposedNames.last(),
             dir_->file(QStringLiteral("v n u的 n [2].png")));
    const QImage png(dir_->file(QStringLiteral("two.png")));
    QVERIFY(!png.isNull());
    QCOMPARE(png.dotsPerMeterX(), qRound(192 / 0.0254));
    QCOMPARE(png.pixelColor(0, 0), QColor(Qt::white));

    // A data file is never replaced.
    const QByteArray rules = dir_->Read(QStringLiteral("rules.txt"));
    QVERIFY(!pane_->Save(0, ParsePane::Format::kSvg));
    QCOMPARE(dir_->Read(QStringLiteral("rules.txt")), rules);
    QCOMPARE(bench_->dialogs->texts().size(), 1);
    QVERIFY(bench_->dialogs->texts().first().contains(QStringLiteral("没有被覆盖")));

    // Copied: one tree, and all of them (side by side: wider).
    QVERIFY(pane_->CopyImage(0));
    const QImage one = QGuiApplication::clipboard()->image();
    QVERIFY(pane_->CopyImage(-1));
    const QImage all = QGuiApplication::clipboard()->image();
    QVERIFY(!one.isNull() && !all.isNull());
    QVERIFY(all.width() > one.width());
    input_->clear();
    QVERIFY(!pane_->CopyImage(-1));
  }

  // A picture is saved as every file of the program is: never over the
  // report, a pipe, a folder or a read-only file, written beside and put in
  // place, a link kept a link.
  void exportsAreRefusedWhereTheyWouldDoHarmAndKeepLinks() {
    input_->setText(QStringLiteral("v n u<的> n"));
    dir_->Write(QStringLiteral("report.txt"), "old report");
    dir_->Write(QStringLiteral("locked.svg"), "locked");
    QFile::setPermissions(dir_->file(QStringLiteral("locked.svg")), QFile::ReadOwner);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder.svg")));
    QStringList refused = {"report.txt", "locked.svg", "folder.svg"};
#ifdef Q_OS_UNIX
    QVERIFY(::mkfifo(QFile::encodeName(dir_->file(QStringLiteral("pipe.svg"))).constData(), 0600) ==
            0);
    refused << QStringLiteral("pipe.svg");
#endif
    for (const QString& name : refused) {
      bench_->dialogs->saveAsAnswers = {dir_->file(name)};
      bench_->dialogs->yesNoAnswers = {true};  // replace a plain file
      QElapsedTimer timer;
      timer.start();
      QVERIFY2(!pane_->Save(0, ParsePane::Format::kSvg), qPrintable(name));
      QVERIFY2(timer.elapsed() < 5000, qPrintable(name));  // nothing waits for a reader
    }
    QCOMPARE(bench_->dialogs->texts().size(), refused.size());
    QCOMPARE(dir_->Read(QStringLiteral("report.txt")), QByteArray("old report"));
    QCOMPARE(dir_->Read(QStringLiteral("locked.svg")), QByteArray("locked"));
    QVERIFY(QFileInfo(dir_->file(QStringLiteral("folder.svg"))).isDir());
    QVERIFY(QDir(dir_->path()).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty());
#ifdef Q_OS_UNIX  // Windows has no FIFOs, and its links made by QFile::link are shortcut files
    QVERIFY(!QFileInfo(dir_->file(QStringLiteral("pipe.svg"))).isFile());

    dir_->Write(QStringLiteral("target.svg"), "old");
    QVERIFY(QFile::link(dir_->file(QStringLiteral("target.svg")),
                        dir_->file(QStringLiteral("link.svg"))));
    bench_->dialogs->saveAsAnswers = {dir_->file(QStringLiteral("link.svg"))};
    QVERIFY(pane_->Save(0, ParsePane::Format::kSvg));
    QVERIFY(QFileInfo(dir_->file(QStringLiteral("link.svg"))).isSymLink());
    QVERIFY(dir_->Read(QStringLiteral("target.svg")).contains("<svg"));
#endif
  }

  void theViewMenuShowsAndHidesThePane() {
    QVERIFY(main_->action(Command::kViewParsePane)->isChecked());
    pane_->close();
    main_->UpdateActions();
    QVERIFY(!main_->action(Command::kViewParsePane)->isChecked());
    main_->action(Command::kViewParsePane)->trigger();
    QVERIFY(pane_->isVisible());
  }

  void linesOfAReport() {
    // Each line with the pattern it stands for; "-" for none.
    const QStringList lines = {"全部标记共有 3 个: ",
                               "\tn v a ",
                               "全部标记全排列——共有排列:27个",
                               "\t其中只有一种组合关系的排列:2个",
                               "\t\t其中有外显型歧义的排列:1个",
                               "\tn n",
                               "\t\t[1](NP)",
                               "\t\t共有20000种组合方式，超出上限10000种，未逐一列出",
                               "\tn v a ",
                               "\t [12] n n n\t\t2",
                               "\t没有外显型歧义格式!!!",
                               "\t\t[1](X)",
                               "\tn v a d m q",
                               "\t\t(S)",
                               "v  n"};
    const QStringList expected = {"-",      "-",     "-", "-", "-", "n n", "n n", "n n",
                                  "n v a ", "n n n", "-", "-", "-", "-",   "-"};
    QTextDocument report(lines.join(QLatin1Char('\n')));
    for (int i = 0; i < expected.size(); ++i) {
      const std::optional<QString> sequence = SequenceOfLine(report.findBlockByNumber(i), true);
      QCOMPARE(sequence.value_or(QStringLiteral("-")), expected[i]);
    }
    QCOMPARE(SequenceOfLine(report.findBlockByNumber(6), false), QStringLiteral("\t\t[1](NP)"));
  }

 private:
  std::unique_ptr<StartupDir> dir_;
  std::unique_ptr<WorkbenchSession> bench_;
  MainWindow* main_ = nullptr;
  ParsePane* pane_ = nullptr;
  QLineEdit* input_ = nullptr;
  QToolButton* follow_ = nullptr;
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::ParsePaneTest)
#include "parse_pane_test.moc"
