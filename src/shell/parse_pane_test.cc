// The parse pane in the workbench: typing a line, the grammar of the open
// documents, following the cursor, messages, exports.
#include "shell/parse_pane.h"

#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QToolButton>
#include <QToolTip>
#include <QXmlStreamReader>
#include <QtTest>
#include <array>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "drawing/svg.h"
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

// The line (from 1) of the rules file that holds `title`, found by its text.
int LineOfTitle(const QByteArray& rules, const QByteArray& title) {
  const QList<QByteArray> lines = rules.split('\n');
  for (int k = 0; k < lines.size(); ++k)
    if (lines[k].contains("[ " + title + " ]")) return k + 1;
  return 0;
}

// The centre of node `node` of tree `tree`, in the canvas's viewport.
QPoint CentreOf(TreeCanvas* canvas, int tree, int node) {
  return canvas->NodeRect(tree, node).center();
}

}  // namespace

class ParsePaneTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    dir_->CopyExamples();
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

  // Titles of S -> S S, one rule each (R01, R02, ...), as the grammar.
  void UseTitlesOfSS(int titles) {
    QByteArray rules = "CFGRuleSetBegin\r\n";
    for (int i = 1; i <= titles; ++i)
      rules += "&& [ R" + QByteArray::number(i).rightJustified(2, '0') +
               " ] S -> S S :: <TREE> = T" + QByteArray::number(i) + "\r\n";
    dir_->Write(QStringLiteral("rules2.txt"), rules + "CFGRuleSetEnd\r\n");
    QByteArray config = dir_->Read(QStringLiteral("config.ini"));
    config.replace("RULES=rules.txt", "RULES=rules2.txt");
    dir_->Write(QStringLiteral("config.ini"), config);
  }

  void aLineOverTheLimitIsJudgedAndCountedWithoutTrees() {
    // Six titles of S -> S S: 14 shapes x 6^4 titles = 18,144 parses of S S S S S.
    UseTitlesOfSS(6);
    input_->setText(QStringLiteral("S S S S S"));
    QCOMPARE(pane_->judgementText(), QStringLiteral("内含型歧义"));
    QCOMPARE(pane_->countText(),
             QStringLiteral("共有18144种组合方式，超出上限10000种，未逐一列出"));
    // Over the limit of trees drawn, the groups and their first trees: the
    // root's rule competes over the whole line; each title tops 14 x 6^3.
    // (The list has the parses topped by R06 first, so the rules and the
    // groups go from R06 down.)
    QStringList rules;
    for (int i = 6; i >= 1; --i) rules.append(QStringLiteral("R0%1 S -> S S").arg(i));
    QCOMPARE(pane_->pointTexts(), QStringList{"歧义点 1-5: " + rules.join(" | ")});
    QStringList groups;
    for (int i = 6; i >= 1; --i)
      groups.append(QStringLiteral("根 S\u30001-5: R0%1\u3000共3024种，画出前3种").arg(i));
    QCOMPARE(pane_->groupTexts(), groups);
    QCOMPARE(pane_->canvas()->treeCount(), 6 * int(kTreesPerGroup));
    // Each group's trees have its rule on top, and are numbered as listed.
    for (int k = 0; k < pane_->canvas()->treeCount(); ++k) {
      const ParseTreeNode* root = pane_->canvas()->parses()[std::size_t(k)].get();
      QCOMPARE(pane_->RuleText(*root), rules[k / int(kTreesPerGroup)]);
      const int number = pane_->canvas()->NumberOf(std::size_t(k));
      QVERIFY(number >= 1 && number <= 18144);
      if (k % int(kTreesPerGroup) > 0)
        QVERIFY(number > pane_->canvas()->NumberOf(std::size_t(k - 1)));
    }
    input_->setText(QStringLiteral("S S S S"));
    QCOMPARE(pane_->countText(), QStringLiteral("共有1080种组合方式"));
    // Within the limit every tree is drawn, in groups: 5 shapes x 6^2 each.
    QCOMPARE(pane_->groupTexts().size(), 6);
    QVERIFY(pane_->groupTexts().first().endsWith(QStringLiteral("共180种")));
    // Drawn in the pane, but too many for one image: said, and nothing copied.
    QCOMPARE(pane_->canvas()->treeCount(), 1080);
    QVERIFY(!pane_->CopyImage(-1));
    QCOMPARE(bench_->dialogs->texts(),
             QStringList{QStringLiteral("这幅图太大，无法做成图片；请另存为 SVG。")});
    QVERIFY(pane_->CopyImage(1079));
    // A few parses are not grouped.
    input_->setText(QStringLiteral("S S S"));
    QCOMPARE(pane_->canvas()->treeCount(), 2 * 36);
    QCOMPARE(pane_->groupTexts().size(), 6);
    input_->setText(QStringLiteral("S S"));
    QVERIFY(pane_->groupTexts().isEmpty());
    QCOMPARE(pane_->canvas()->treeCount(), 6);
  }

  // Beyond what the pane goes through, the count alone, and the points are
  // said not to be computed, in --parse's words.
  void aLineOverTheGroupingLimitIsCountedOnly() {
    UseTitlesOfSS(10);  // 14 x 10^4 = 140,000 parses
    input_->setText(QStringLiteral("S S S S S"));
    QCOMPARE(pane_->countText(),
             QStringLiteral("共有140000种组合方式，超出上限10000种，未逐一列出"));
    QCOMPARE(pane_->pointTexts(), QStringList{"歧义点：未计算（组合方式超出上限）"});
    QVERIFY(pane_->groupTexts().isEmpty());
    QCOMPARE(pane_->canvas()->treeCount(), 0);
  }

  // The divergence points under the judgement, as marvolen-report --parse
  // prints them, and their tops framed in every tree.
  void theDivergencePointsAreListedAndMarked_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("judgement");
    QTest::addColumn<QStringList>("points");
    QTest::newRow("covert") << "n n n"
                            << "内含型歧义"
                            << QStringList{"歧义点 1-3: R07 NP -> n NP | R08 NP -> NP n"};
    QTest::newRow("overt") << "v n u<的> n"
                           << "外显型歧义"
                           << QStringList{"歧义点 1-4: R34 VP -> v NP | R08 NP -> NP n"};
    QTest::newRow("one way") << "m q n"
                             << "只有一种组合方式(无歧义)" << QStringList{};
    QTest::newRow("cannot combine") << "u<的> u<的>"
                                    << "不能组合" << QStringList{};
  }
  void theDivergencePointsAreListedAndMarked() {
    QFETCH(QString, line);
    QFETCH(QString, judgement);
    QFETCH(QStringList, points);
    input_->setText(line);
    QCOMPARE(pane_->judgementText(), judgement);
    QCOMPARE(pane_->pointTexts(), points);
    auto* label = pane_->findChild<QLabel*>("divergencePoints");
    QVERIFY(label != nullptr);
    QCOMPARE(label->isVisible(), !points.isEmpty());
    // In each tree one node is framed per point: the top of the span, built
    // by one of the competing rules, a different one in each tree; the
    // difference marks stay.
    TreeCanvas* canvas = pane_->canvas();
    QStringList tops;
    for (int k = 0; k < canvas->treeCount(); ++k) {
      const DrawnTree& tree = canvas->LaidOutTree(k);
      QCOMPARE(std::any_of(tree.nodes.begin(), tree.nodes.end(),
                           [](const DrawnNode& n) { return n.marked; }),
               !points.isEmpty());
      const std::vector<bool>& framed = canvas->pointMarks().at(std::size_t(k));
      QCOMPARE(framed.size(), tree.nodes.size());
      QCOMPARE(int(std::count(framed.begin(), framed.end(), true)), int(points.size()));
      for (int node = 0; node < int(framed.size()); ++node) {
        if (!framed[std::size_t(node)]) continue;
        const QString rule = pane_->RuleText(*canvas->NodeOf(k, node));
        QVERIFY2(points.first().contains(": " + rule) || points.first().contains("| " + rule),
                 qPrintable(rule));
        tops.append(rule);
      }
    }
    tops.removeDuplicates();
    QCOMPARE(tops.size(), points.isEmpty() ? 0 : 2);
  }

  // Hovering a node shows the rule that built it; a leaf shows nothing.
  void hoveringANodeShowsItsRule() {
    input_->setText(QStringLiteral("v n u<的> n"));
    TreeCanvas* canvas = pane_->canvas();
    QCOMPARE(canvas->treeCount(), 2);
    QStringList roots;
    for (int k = 0; k < 2; ++k) roots.append(canvas->ToolTipAt(CentreOf(canvas, k, 0)));
    roots.sort();
    QCOMPARE(roots, (QStringList{"R08 NP -> NP n", "R34 VP -> v NP"}));
    const int last = int(canvas->LaidOutTree(0).nodes.size()) - 1;
    QVERIFY(canvas->LaidOutTree(0).nodes[last].leaf);
    QVERIFY(canvas->ToolTipAt(CentreOf(canvas, 0, last)).isEmpty());
    // The tooltip itself, as the viewport is asked for it.
    QHelpEvent help(QEvent::ToolTip, CentreOf(canvas, 0, 0),
                    canvas->viewport()->mapToGlobal(CentreOf(canvas, 0, 0)));
    QCoreApplication::sendEvent(canvas->viewport(), &help);
    QCOMPARE(QToolTip::text(), canvas->ToolTipAt(CentreOf(canvas, 0, 0)));
  }

  // A click on a node, or on a rule's title among the points, puts the
  // cursor on the rule's line in the rules file, opened if need be.
  void aClickGoesToTheRulesLine() {
    const QByteArray rules = dir_->Read(QStringLiteral("rules.txt"));
    input_->setText(QStringLiteral("v n u<的> n"));
    CloseAllWindows(main_);
    QVERIFY(main_->documents()->activeWindow() == nullptr);
    TreeCanvas* canvas = pane_->canvas();
    QSignalSpy chosen(pane_, &ParsePane::ruleChosen);
    for (int k = 0; k < 2; ++k) {
      const QString rule = pane_->RuleText(*canvas->parses()[std::size_t(k)]);
      QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, CentreOf(canvas, k, 0));
      QCOMPARE(chosen.size(), k + 1);
      DocumentWindow* window = main_->documents()->activeWindow();
      QVERIFY(window != nullptr);
      QVERIFY(SameFile(window->document()->path(), dir_->file(QStringLiteral("rules.txt"))));
      const int line = LineOfTitle(rules, rule.left(3).toLatin1());
      QVERIFY(line > 0);
      QCOMPARE(window->editor()->textCursor().blockNumber(), line - 1);
      QVERIFY(window->editor()->hasFocus());  // the cursor shows
    }
    QCOMPARE(main_->findChild<QMdiArea*>("documentArea")->subWindowList().size(), 1);
    // The pane keeps its line while the rules are the active window.
    QCOMPARE(input_->text(), QStringLiteral("v n u<的> n"));
    // A leaf is no rule: nothing.
    const int last = int(canvas->LaidOutTree(0).nodes.size()) - 1;
    QTest::mouseClick(canvas->viewport(), Qt::LeftButton, {}, CentreOf(canvas, 0, last));
    QCOMPARE(chosen.size(), 2);

    // The titles among the points are links to their rules.
    auto* label = pane_->findChild<QLabel*>("divergencePoints");
    static const QRegularExpression link(QStringLiteral("<a href=\"([^\"]+)\">R34</a>"));
    const QRegularExpressionMatch match = link.match(label->text());
    QVERIFY2(match.hasMatch(), qPrintable(label->text()));
    emit label->linkActivated(match.captured(1));
    QCOMPARE(chosen.size(), 3);
    QCOMPARE(main_->documents()->activeWindow()->editor()->textCursor().blockNumber(),
             LineOfTitle(rules, "R34") - 1);
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
    // The point's top framed in both trees, as in the pane: a frame and a
    // line under its span each.
    const QByteArray allSvg = dir_->Read(QStringLiteral("all.svg"));
    QCOMPARE(allSvg.count("<line "), 2);
    QCOMPARE(allSvg.count(QByteArray("stroke=\"") + kPaperColours.point + '"'), 1);

    QVERIFY(pane_->Save(1, ParsePane::Format::kPng));
    QCOMPARE(bench_->dialogs->proposedNames.last(),
             dir_->file(QStringLiteral("v n u的 n [2].png")));
    const QImage png(dir_->file(QStringLiteral("two.png")));
    QVERIFY(!png.isNull());
    QCOMPARE(png.dotsPerMeterX(), qRound(192 / 0.0254));
    QCOMPARE(png.pixelColor(0, 0), QColor(Qt::white));
    int framed = 0;  // pixels of the point's frame
    for (int y = 0; y < png.height(); ++y)
      for (int x = 0; x < png.width(); ++x)
        framed += png.pixelColor(x, y) == QColor(kPaperColours.point);
    QVERIFY(framed > 0);

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

  // The picture of all the trees of a line in groups has each group under
  // its heading, as the pane shows them, and their points framed.
  void anExportOfGroupedTreesHasTheirHeadings() {
    UseTitlesOfSS(3);  // S S S: 2 shapes x 3^2 titles = 18 parses, grouped
    input_->setText(QStringLiteral("S S S"));
    const QStringList headings = pane_->groupTexts();
    QVERIFY(headings.size() > 1);
    bench_->dialogs->saveAsAnswers = {dir_->file(QStringLiteral("groups.svg"))};
    QVERIFY(pane_->Save(-1, ParsePane::Format::kSvg));
    const QByteArray svg = dir_->Read(QStringLiteral("groups.svg"));
    QXmlStreamReader xml(svg);
    QStringList texts;
    while (!xml.atEnd())
      if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
        texts.append(xml.readElementText());
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    // The headings in order, each before its group's first number.
    qsizetype at = -1;
    for (const QString& heading : headings) {
      const qsizetype found = texts.indexOf(heading, at + 1);
      QVERIFY2(found > at, qPrintable(heading));
      at = found;
    }
    QCOMPARE(texts.count(QStringLiteral("[1]")), 1);
    QCOMPARE(svg.count("<line "), pane_->canvas()->treeCount());
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

  // The grouper on hand-built trees: where the parses share the top rule,
  // they are told apart by the point's rules used below it; where the tops
  // differ, by the top's rule alone; the first trees kept in list order.
  void parsesAreGroupedByTheRulesAtTheirPoints() {
    RuleSet rules;
    for (const auto& [title, left, right] :
         std::vector<std::array<const char*, 3>>{{"R01", "S", "A B"},
                                                 {"R02", "A", "x x"},
                                                 {"R03", "B", "x"},
                                                 {"R04", "A", "x"},
                                                 {"R05", "B", "x x"},
                                                 {"R06", "S", "x A"}})
      rules.rules.emplace_back(title, left, right, std::string("T") + title);
    const RuleGroups groups(rules);
    auto node = [](const char* label, const char* title,
                   std::vector<std::unique_ptr<ParseTreeNode>> children) {
      auto made = std::make_unique<ParseTreeNode>(label, title);
      for (auto& child : children) AppendChild(*made, std::move(child));
      return made;
    };
    auto x = [&node] { return node("x", "", {}); };
    auto list = [](auto... trees) {
      ParseList parses;
      (parses.push_back(std::move(trees)), ...);
      return parses;
    };
    auto build = [&](const char* a, int splitA) {
      // S(A(x x) B(x)) with splitA 2, S(A(x) B(x x)) with 1; A's title `a`.
      std::vector<std::unique_ptr<ParseTreeNode>> left, right;
      for (int k = 0; k < splitA; ++k) left.push_back(x());
      for (int k = splitA; k < 3; ++k) right.push_back(x());
      std::vector<std::unique_ptr<ParseTreeNode>> top;
      top.push_back(node("A", a, std::move(left)));
      top.push_back(node("B", splitA == 2 ? "TR03" : "TR05", std::move(right)));
      return node("S", "TR01", std::move(top));
    };
    // Same top, different splits: three parses, two readings.
    ParseList same = list(build("TR02", 2), build("TR04", 1), build("TR02", 2));
    const DivergencePoints samePoints = FindDivergences(same, groups);
    QCOMPARE(samePoints.size(), std::size_t(1));
    QCOMPARE(samePoints[0].groups, (std::vector<int>{0, 1, 2, 3, 4}));
    ParseGrouper grouper(groups, samePoints, 1, true);
    for (const auto& parse : same) grouper.Add(*parse);
    std::vector<ParseGroup> found = grouper.Finish();
    QCOMPARE(found.size(), std::size_t(2));
    QCOMPARE(found[0].count, std::uint64_t(2));
    QCOMPARE(found[0].readings, (std::vector<std::vector<int>>{{1, 2}}));
    QCOMPARE(found[0].first, (std::vector<std::size_t>{0}));  // one kept, the first
    QCOMPARE(found[0].trees.size(), std::size_t(1));
    QVERIFY(TreesEqual(found[0].trees[0].get(), same[0].get()));
    QCOMPARE(found[1].readings, (std::vector<std::vector<int>>{{3, 4}}));
    QCOMPARE(found[1].first, (std::vector<std::size_t>{1}));
    // The point's top in each parse is its root.
    for (const auto& parse : same)
      QCOMPARE(PointNodes(*parse, samePoints, groups), std::vector<int>{0});

    // Different tops: told by the top alone, whatever is below.
    std::vector<std::unique_ptr<ParseTreeNode>> ax;
    ax.push_back(x());
    ax.push_back(node("A", "TR02", list(x(), x())));
    ParseList tops = list(build("TR02", 2), node("S", "TR06", std::move(ax)), build("TR04", 1));
    const DivergencePoints topPoints = FindDivergences(tops, groups);
    QCOMPARE(topPoints.size(), std::size_t(1));
    ParseGrouper byTop(groups, topPoints, 5, false);
    for (const auto& parse : tops) byTop.Add(*parse);
    found = byTop.Finish();
    QCOMPARE(found.size(), std::size_t(2));
    QCOMPARE(found[0].readings, (std::vector<std::vector<int>>{{0}}));
    QCOMPARE(found[0].first, (std::vector<std::size_t>{0, 2}));
    QVERIFY(found[0].trees.empty());
    QCOMPARE(found[1].readings, (std::vector<std::vector<int>>{{5}}));
    QCOMPARE(found[1].count, std::uint64_t(1));
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
