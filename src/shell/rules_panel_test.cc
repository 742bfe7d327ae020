// The 规则 panel after a run in the workbench: each rule's usage against the
// run's table, the unused rules apart, and unchecking rules: the changed
// patterns and the what-if, from the table and from the run's counts alike,
// the rules file untouched.
#include "shell/rules_panel.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <map>

#include "compare/rule_removal.h"
#include "datafiles/rule_set_reader.h"
#include "encoding/gbk.h"
#include "shell/commands.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_manager.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/test_support.h"
#include "testing/files.h"

namespace marvolen {

namespace {

// The columns of the panel's views.
constexpr int kRuleColumn = 0, kParsesColumn = 2, kItemsColumn = 1;

// The items of the patterns that change without `removed`, as the comparison
// of the table with the rules removed gives them.
QStringList ChangedItems(const QString& table, const RuleSet& rules, const std::set<int>& removed) {
  class Items : public ChangeSink {
   public:
    void Changed(const PatternChange& change) override {
      const PatternResult& some = change.now ? *change.now : *change.old;
      items.append(QString::fromStdString(GbkToUtf8(some.items)));
    }
    QStringList items;
  } items;
  RuleRemoval removal(rules, removed);
  removal.AddSink(&items);
  CsvBaselineError error;
  if (!removal.Run(table.toStdString(), {}, &error)) return {QString::fromStdString(error.reason)};
  return items.items;
}

}  // namespace

class RulesPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<StartupDir>();
    dir_->CopyExamples();
    RecordingUserInterface ui;
    rules_ = RuleSet();
    ReadRuleSet(rules_, *InputStream::Open((ExamplesDir() / "rules.txt").string()), ui);
    QVERIFY(ui.messages.empty());
    bench_ = std::make_unique<WorkbenchSession>(*dir_);
    QVERIFY(bench_->started);
    main_ = bench_->window;
    panel_ = main_->findChild<RulesPanel*>(QStringLiteral("rulesPanel"));
    QVERIFY(panel_ != nullptr);
    QVERIFY(panel_->isHidden());
  }
  void cleanup() {
    bench_.reset();
    dir_.reset();
  }

  // 查看 > 规则窗格 shows the panel before any run and hides it; closed, a
  // run shows it again, and the menu entry follows.
  void theViewMenuEntryFollowsThePanel() {
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_));
    QAction* entry = main_->action(Command::kViewRulesPanel);
    QVERIFY(!entry->isChecked());
    entry->trigger();
    QVERIFY(panel_->isVisible());
    QVERIFY(entry->isChecked());
    panel_->close();
    QVERIFY(!entry->isChecked());
    Run(true);
    QVERIFY(panel_->isVisible());
    QVERIFY(entry->isChecked());
    entry->trigger();
    QVERIFY(panel_->isHidden());
  }

  void aRunShowsEachRulesUsageAndTheUnusedApart() {
    Run(true);
    QVERIFY(panel_->isVisible());
    QTreeWidget* view = panel_->rulesView();
    QCOMPARE(view->topLevelItemCount(), 2);
    QTreeWidgetItem* used = view->topLevelItem(0);
    QTreeWidgetItem* unused = view->topLevelItem(1);
    QCOMPARE(used->childCount() + unused->childCount(), rules_.count());
    // The parses of each rule, counted again from the run's table.
    std::map<std::string, std::uint64_t> parsesOf;
    const RuleIndex index(rules_);
    {
      CsvBaselineError error;
      auto table = CsvBaseline::Open(Table().toStdString(), {}, &error);
      QVERIFY(table != nullptr);
      for (ReportKind kind : {ReportKind::kTagSet, ReportKind::kSequences}) {
        table->TakeRest(kind, [&](PatternResult& pattern) {
          for (const std::string& parse : pattern.parses) {
            std::set<std::string> keys;
            index.AddRulesOf(parse, keys);
            for (const std::string& key : keys) ++parsesOf[key];
          }
        });
      }
    }
    for (QTreeWidgetItem* group : {used, unused}) {
      for (int k = 0; k < group->childCount(); ++k) {
        QTreeWidgetItem* row = group->child(k);
        const int rule = row->data(kRuleColumn, Qt::UserRole).toInt();
        const std::uint64_t parses =
            parsesOf[RuleKeyOf(rules_.rules[static_cast<std::size_t>(rule)])];
        QCOMPARE(row->text(kParsesColumn), QString::number(parses));
        QCOMPARE(group == unused, parses == 0);
        QCOMPARE(row->checkState(kRuleColumn), Qt::Checked);
        QVERIFY(row->text(kRuleColumn)
                    .startsWith(QString::fromStdString(
                        GbkToUtf8(rules_.rules[static_cast<std::size_t>(rule)].title()))));
      }
    }
    QVERIFY(used->childCount() > 0);
    QVERIFY(panel_->changesView()->topLevelItemCount() == 0);

    // A double click on a rule goes to its line in the rules file.
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_));
    const int rule = IndexOf("R05");
    QTreeWidgetItem* row = nullptr;
    for (int k = 0; k < used->childCount(); ++k)
      if (used->child(k)->data(kRuleColumn, Qt::UserRole).toInt() == rule) row = used->child(k);
    QVERIFY(row != nullptr);
    view->scrollToItem(row);
    const QPoint at = view->visualItemRect(row).center();
    QSignalSpy chosen(panel_, &RulesPanel::placeChosen);
    // A double click as a person makes it: a click, then the second press.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.front().at(1).toInt(), rules_.LineOf(rule));
    DocumentWindow* window = main_->documents()->activeWindow();
    QVERIFY(window != nullptr);
    QVERIFY(window->document()->path().endsWith(QStringLiteral("rules.txt")));
    QCOMPARE(window->editor()->cursorLine(), rules_.LineOf(rule));
  }

  void uncheckingRulesListsThePatternsThatChangeWithoutThem() {
    Run(true);
    const QByteArray rulesBefore = dir_->Read(QStringLiteral("rules.txt"));
    // R05 NP -> v n, then R33 VP -> v n as well.
    const int first = IndexOf("R05"), second = IndexOf("R33");
    QVERIFY2(first >= 0 && second >= 0, rules_.rules.front().title().c_str());
    Uncheck(first);
    QCOMPARE(panel_->Removed(), (std::set<int>{first}));
    QStringList expected = ChangedItems(Table(), rules_, {first});
    QVERIFY(!expected.isEmpty());
    QCOMPARE(Listed(), expected);
    QVERIFY2(panel_->whatIfText().contains(QStringLiteral("个格式的判断改变")),
             qPrintable(panel_->whatIfText()));
    // Two rules: the parses that use either go.
    Uncheck(second);
    expected = ChangedItems(Table(), rules_, {first, second});
    QCOMPARE(Listed(), expected);
    QVERIFY(expected.size() > ChangedItems(Table(), rules_, {second}).size());
    QVERIFY(panel_->whatIfText().startsWith(QStringLiteral("去掉 2 条规则之后")));
    // A changed pattern shows its judgements, counts and what it lost.
    QTreeWidgetItem* row = panel_->changesView()->topLevelItem(0);
    QVERIFY(row->text(2).contains(QStringLiteral(" → ")));
    QVERIFY(row->text(3).contains(QStringLiteral(" → ")));
    QVERIFY(!row->text(4).isEmpty());
    QVERIFY(row->text(5).contains(QStringLiteral("R05")) ||
            row->text(5).contains(QStringLiteral("R33")));
    // All checked again: nothing changes. The rules file was never touched.
    panel_->findChild<QPushButton*>(QStringLiteral("checkAllRules"))->click();
    QVERIFY(panel_->Removed().empty());
    QCOMPARE(panel_->changesView()->topLevelItemCount(), 0);
    QCOMPARE(dir_->Read(QStringLiteral("rules.txt")), rulesBefore);
  }

  void withoutTheTableOneRulesWhatIfComesFromTheRunsCounts() {
    Run(true);
    const int rule = IndexOf("R05");
    QVERIFY(rule >= 0);
    Uncheck(rule);
    const QStringList fromTable = panel_->whatIfText().split(QLatin1Char('\n'));
    QVERIFY(fromTable.size() >= 2);
    panel_->SetRuleChecked(rule, true);
    // The same run without its table: the counts give the same what-if.
    RemoveTables();
    Uncheck(rule);
    const QStringList fromCounts = panel_->whatIfText().split(QLatin1Char('\n'));
    QCOMPARE(fromCounts.mid(0, fromTable.size()), fromTable);
    QVERIFY(fromCounts.last().contains(QStringLiteral("没有上次运行的排列表")));
    QCOMPARE(panel_->changesView()->topLevelItemCount(), 0);
    // A table older than the run is not its table.
    Run(false);
    dir_->Write(QStringLiteral("report.csv"),
                QByteArray("source,items,judgement,parses,roots,trees\r\n"));
    AgeTables();
    panel_->SetRuleChecked(rule, true);
    Uncheck(rule);
    QVERIFY(panel_->whatIfText().contains(QStringLiteral("没有上次运行的排列表")));
  }

 private:
  // An analysis run in the workbench, with or without the CSV table.
  void Run(bool table) {
    if (main_->action(Command::kRunCsvTable)->isChecked() != table)
      main_->action(Command::kRunCsvTable)->trigger();
    if (main_->documents()->windows().isEmpty())
      QVERIFY(main_->documents()->OpenFile(dir_->file(QStringLiteral("rules.txt"))));
    main_->action(Command::kGenerateReport)->trigger();
    QVERIFY(QFile::exists(dir_->file(QStringLiteral("report.txt"))));
  }
  // The table the workbench keeps of the last run, else the CSV export.
  QString Table() const {
    const QString kept = dir_->file(QStringLiteral("report.results.csv"));
    return QFile::exists(kept) ? kept : dir_->file(QStringLiteral("report.csv"));
  }
  void RemoveTables() const {
    for (const char* name : {"report.results.csv", "report.csv"})
      QFile::remove(dir_->file(QString::fromUtf8(name)));
  }
  // Make the tables older than the run.
  void AgeTables() const {
    for (const char* name : {"report.results.csv", "report.csv"}) {
      QFile file(dir_->file(QString::fromUtf8(name)));
      if (!file.open(QIODevice::ReadWrite)) continue;
      QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                               QFileDevice::FileModificationTime));
    }
  }
  void Uncheck(int rule) {
    panel_->SetRuleChecked(rule, false);
    QCOMPARE(panel_->Removed().count(rule), 1u);
  }
  int IndexOf(const char* title) const {
    for (int k = 0; k < rules_.count(); ++k)
      if (rules_.rules[static_cast<std::size_t>(k)].title() == title) return k;
    return -1;
  }
  QStringList Listed() const {
    QStringList items;
    QTreeWidget* view = panel_->changesView();
    for (int k = 0; k < view->topLevelItemCount(); ++k)
      items.append(view->topLevelItem(k)->text(kItemsColumn));
    return items;
  }

  std::unique_ptr<StartupDir> dir_;
  std::unique_ptr<WorkbenchSession> bench_;
  MainWindow* main_ = nullptr;
  RulesPanel* panel_ = nullptr;
  RuleSet rules_;
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::RulesPanelTest)
#include "rules_panel_test.moc"
