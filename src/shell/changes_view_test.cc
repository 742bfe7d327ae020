// What changed since the previous analysis, in the workbench: the table each
// run keeps beside the report, the comparison shown in the report window
// (also after a restart), the changed pattern's trees in the parse pane, the
// comparison with a rules file chosen, and a stopped run that keeps the old
// table.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <set>

#include "encoding/gbk.h"
#include "grammar/parse_tree.h"
#include "shell/analysis_runner.h"
#include "shell/changes_view.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/parse_pane.h"
#include "shell/report_window.h"
#include "shell/test_support.h"
#include "shell/tree_canvas.h"

namespace marvolen {

namespace {

const char kTable[] = "report.results.csv";
const char kR14Lost[] = "(NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))";

// A copy of the examples.
void WriteExamples(const StartupDir& dir) {
  const QDir examples(qEnvironmentVariable("MARVOLEN_EXAMPLES"));
  for (const QString& name : examples.entryList(QDir::Files)) {
    QFile file(examples.filePath(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    dir.Write(name, file.readAll());
  }
}

// The examples' rules without the line of R14.
QByteArray RulesWithoutR14(const QByteArray& rules) {
  const qsizetype at = rules.indexOf("[ R14 ]");
  const qsizetype begin = rules.lastIndexOf('\n', at) + 1;
  return rules.left(begin) + rules.mid(rules.indexOf('\n', at) + 1);
}

// The items (UTF-8) of every row of a kept table whose trees hold `part`.
std::set<QString> RowsWith(const QByteArray& table, const QString& part) {
  std::set<QString> items;
  for (const QByteArray& row : table.split('\n')) {
    const QString text = QString::fromUtf8(row);
    if (text.contains(part)) items.insert(text.section(QLatin1Char(','), 1, 1));
  }
  return items;
}

ChangesView* ChangesOf(MainWindow* window) {
  ReportWindow* report = window->findChild<ReportWindow*>();
  return report != nullptr ? report->changes() : nullptr;
}

int Cell(ChangesView* view, int source, PermutationClass from, PermutationClass to) {
  QTableWidgetItem* item = view->table(source)->item(static_cast<int>(from), static_cast<int>(to));
  return item == nullptr ? -1 : item->text().toInt();
}

}  // namespace

class ChangesViewTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QApplication::restoreOverrideCursor(); }

  // Run, remove R14, run again: exactly the patterns whose parses used R14
  // are listed, each having lost them; a click shows the trees of both
  // sides. The next session compares with the table the last one kept.
  void whatChangedSinceThePreviousRunIsShownAndSurvivesARestart() {
    StartupDir dir;
    WriteExamples(dir);
    const QByteArray rules = dir.Read(QStringLiteral("rules.txt"));
    {
      WorkbenchSession bench(dir);
      QVERIFY(bench.started);
      bench.window->action(Command::kGenerateReport)->trigger();
      ChangesView* view = ChangesOf(bench.window);
      QVERIFY(view != nullptr && !view->isHidden());
      QVERIFY(view->summaryText().contains(QStringLiteral("第一次分析")));
      QVERIFY(!view->table(0)->isVisibleTo(view) && !view->table(1)->isVisibleTo(view));
      QCOMPARE(bench.dialogs->texts().size(), 1);  // the completion message alone
      QVERIFY(QFile::exists(dir.file(kTable)));
      QVERIFY(!QFile::exists(dir.file(QStringLiteral("report.csv"))));

      const std::set<QString> usedR14 =
          RowsWith(dir.Read(kTable), QStringLiteral("NP:的字结构(VP"));
      QVERIFY(usedR14.size() > 3);
      QVERIFY(usedR14.count(QStringLiteral("v n u<的> n")) == 1);
      dir.Write(QStringLiteral("rules.txt"), RulesWithoutR14(rules));
      bench.window->action(Command::kGenerateReport)->trigger();
      QCOMPARE(bench.dialogs->texts().size(), 2);
      QVERIFY(!view->isHidden());
      QVERIFY(view->summaryText().contains(QStringLiteral("有 %1 个有变化").arg(usedR14.size())));
      QVERIFY(Cell(view, 1, PermutationClass::Overt, PermutationClass::OneWay) >= 1);
      QTreeWidget* list = view->patterns();
      std::set<QString> listed;
      int vnRow = -1;
      for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        listed.insert(item->text(0));
        // Nothing gained, R14 lost (a table's parses are named by the rules
        // of the run, which no longer has it).
        QVERIFY2(item->text(4).startsWith(QStringLiteral("−")) &&
                     item->text(4).contains(QStringLiteral("−NP -> VP u<的>")) &&
                     !item->text(4).contains(QLatin1Char('+')),
                 qPrintable(item->text(4)));
        QVERIFY(item->text(3).contains(QStringLiteral("+0 ")));
        if (item->text(0) == QStringLiteral("v n u<的> n") &&
            item->text(1) == QStringLiteral("格式序列"))
          vnRow = row;
      }
      QCOMPARE(listed, usedR14);
      QVERIFY(vnRow >= 0);
      QTreeWidgetItem* vn = list->topLevelItem(vnRow);
      QCOMPARE(vn->text(2), QStringLiteral("外显型歧义 → 一种组合方式"));
      QCOMPARE(vn->text(3), QStringLiteral("2 → 1（+0 −1）"));
      // Judgement changes come first.
      QCOMPARE(list->topLevelItem(0)->text(2).contains(QStringLiteral("→")), true);
      list->setCurrentItem(vn);
      QVERIFY(view->detailText().contains(QStringLiteral("  − ") + kR14Lost));
      const QString lostRules = view->detailText().section(QStringLiteral("失去的规则："), 1);
      QVERIFY2(lostRules.contains(QStringLiteral("NP -> VP u<的>")),
               qPrintable(view->detailText()));

      // The click: the new tree, the two old ones beside it, the lost one marked.
      emit list->itemClicked(vn, 0);
      auto* pane = bench.window->findChild<ParsePane*>();
      QVERIFY(pane->isVisible());
      QCOMPARE(pane->findChild<QLineEdit*>(QStringLiteral("sequenceInput"))->text(),
               QStringLiteral("v n u<的> n"));
      QCOMPARE(pane->canvas()->treeCount(), 1);
      auto* oldSide = pane->findChild<QWidget*>(QStringLiteral("oldTreesSide"));
      QVERIFY(oldSide != nullptr && oldSide->isVisible());
      auto* oldTrees = pane->findChild<TreeCanvas*>(QStringLiteral("oldTrees"));
      QCOMPARE(oldTrees->treeCount(), 2);
      std::string lost;
      for (int k = 0; k < 2; ++k) {
        std::string text;
        PrintTree(oldTrees->parses()[static_cast<std::size_t>(k)].get(), text);
        if (QString::fromStdString(GbkToUtf8(text)) == kR14Lost) lost = text;
      }
      QVERIFY(!lost.empty());
      // Typing in the pane analyses anew, without the old side.
      pane->findChild<QLineEdit*>(QStringLiteral("sequenceInput"))->setText(QStringLiteral("a n"));
      QVERIFY(oldSide->isHidden());
    }
    // A new session in the same folder compares with the table the last
    // run kept: the same rules, nothing changed; R14 back, the gains.
    {
      WorkbenchSession bench(dir);
      QVERIFY(bench.started);
      bench.window->action(Command::kGenerateReport)->trigger();
      ChangesView* view = ChangesOf(bench.window);
      QVERIFY(view != nullptr);
      QVERIFY2(view->summaryText().contains(QStringLiteral("都没有变化")),
               qPrintable(view->summaryText()));
      QCOMPARE(view->patterns()->topLevelItemCount(), 0);
      QCOMPARE(Cell(view, 1, PermutationClass::Overt, PermutationClass::OneWay), 0);
      dir.Write(QStringLiteral("rules.txt"), rules);
      bench.window->action(Command::kGenerateReport)->trigger();
      QVERIFY(Cell(view, 1, PermutationClass::OneWay, PermutationClass::Overt) >= 1);
      QVERIFY(view->patterns()->topLevelItemCount() > 3);
      for (int row = 0; row < view->patterns()->topLevelItemCount(); ++row) {
        const QString named = view->patterns()->topLevelItem(row)->text(4);
        QVERIFY2(named.contains(QStringLiteral("+R14 NP -> VP u<的>")) &&
                     !named.contains(QStringLiteral("−")),
                 qPrintable(named));
      }
    }
  }

  // 与规则文件比较: the data analysed with the rules, compared with the
  // rules file chosen; the folder's own rules change nothing, an older copy
  // names the rule by its title. A spoilt kept table is a line in the
  // messages, not a dialog.
  void comparingWithARulesFileChosen() {
    StartupDir dir;
    WriteExamples(dir);
    const QByteArray rules = dir.Read(QStringLiteral("rules.txt"));
    dir.Write(QStringLiteral("old rules.txt"), rules);
    dir.Write(QStringLiteral("rules.txt"), RulesWithoutR14(rules));
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    bench.dialogs->openAnswers = {dir.file(QStringLiteral("rules.txt")),
                                  dir.file(QStringLiteral("old rules.txt"))};
    bench.window->action(Command::kCompareRules)->trigger();
    ChangesView* view = ChangesOf(bench.window);
    QVERIFY(view != nullptr);
    QVERIFY2(view->summaryText().startsWith(QStringLiteral("与规则文件")) &&
                 view->summaryText().contains(QStringLiteral("都没有变化")),
             qPrintable(view->summaryText()));
    QCOMPARE(view->patterns()->topLevelItemCount(), 0);
    bench.window->action(Command::kCompareRules)->trigger();
    QVERIFY(view->patterns()->topLevelItemCount() > 3);
    for (int row = 0; row < view->patterns()->topLevelItemCount(); ++row) {
      const QString named = view->patterns()->topLevelItem(row)->text(4);
      QVERIFY2(named.contains(QStringLiteral("−R14 NP -> VP u<的>")) &&
                   !named.contains(QLatin1Char('+')),
               qPrintable(named));
    }
    QCOMPARE(bench.dialogs->texts().size(), 2);  // the completion messages

    dir.Write(kTable, "not a table\r\n");
    bench.window->action(Command::kGenerateReport)->trigger();
    QCOMPARE(bench.dialogs->texts().size(), 3);
    QVERIFY(view->summaryText().contains(QStringLiteral("未作比较")));
    QTreeWidget* messages =
        bench.window->findChild<ReportWindow*>()->findChild<QTreeWidget*>("runMessages");
    bool told = false;
    for (int row = 0; row < messages->topLevelItemCount(); ++row)
      told = told || messages->topLevelItem(row)->text(0).contains(QStringLiteral("line 1"));
    QVERIFY(told);
    QVERIFY(dir.Read(kTable).startsWith("\xEF\xBB\xBFsource,items,judgement"));
  }

  // A run stopped with 取消 leaves the kept table as it was.
  void aStoppedRunKeepsTheOldTable() {
    StartupDir dir;
    dir.WriteExampleSet();
    QByteArray rules = "CFGRuleSetBegin\r\n";
    for (int i = 1; i <= 5; ++i)
      rules += QByteArray("&& [ R") + QByteArray::number(i) + " ] S -> S S :: <TREE> = t" +
               QByteArray::number(i) + "\r\n";
    dir.Write(QStringLiteral("rules.txt"), rules + "CFGRuleSetEnd\r\n");
    dir.Write(QStringLiteral("tags.txt"), "TagSetBegin\r\nS\r\nTagSetEnd\r\n");
    dir.Write(QStringLiteral("sequences.txt"), "S S S\r\n");
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    bench.window->action(Command::kGenerateReport)->trigger();
    const QByteArray kept = dir.Read(kTable);
    QVERIFY(kept.contains("\r\nsequences,S S S,"));
    dir.Write(QStringLiteral("sequences.txt"), QByteArray("S S S S S\r\n").repeated(500));
    bool cancelled = false;
    auto* timer = new QTimer;
    connect(timer, &QTimer::timeout, [timer, &cancelled] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* progress = qobject_cast<QProgressDialog*>(w);
        if (progress == nullptr || !progress->isVisible() || progress->value() <= 0) continue;
        for (QPushButton* button : progress->findChildren<QPushButton*>()) {
          if (button->text() != QStringLiteral("取消")) continue;
          cancelled = true;
          button->click();
        }
        timer->stop();
        timer->deleteLater();
        return;
      }
    });
    timer->start(5);
    bench.window->action(Command::kGenerateReport)->trigger();
    QVERIFY(cancelled);
    QCOMPARE(dir.Read(kTable), kept);
    // Only the stop is told of; the table the person never named is not.
    QCOMPARE(bench.dialogs->texts().size(), 2);
    QVERIFY(bench.dialogs->texts()[1].startsWith(QStringLiteral("分析已停止")));
    QVERIFY(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty());
  }
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::ChangesViewTest)
#include "changes_view_test.moc"
