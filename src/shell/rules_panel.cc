// The 规则 panel.
#include "shell/rules_panel.h"

#include <QtWidgets>
#include <algorithm>
#include <array>
#include <optional>

#include "analysis/degree_records.h"
#include "compare/rule_removal.h"
#include "encoding/gbk.h"
#include "run/run.h"
#include "shell/analysis_runner.h"
#include "shell/file_io.h"

namespace marvolen {

namespace {

// The columns of the rules.
enum RuleColumn { kRule, kLine, kParses, kPatterns, kWithout, kRuleColumns };
// The columns of the changed patterns.
enum ChangeColumn { kSource, kItems, kJudgement, kCount, kLost, kRulesLost, kChangeColumns };

QString JudgementName(int index) {
  static const char* const kNames[kJudgements] = {
      QT_TRANSLATE_NOOP("RulesPanel", "不能组合"), QT_TRANSLATE_NOOP("RulesPanel", "一种组合方式"),
      QT_TRANSLATE_NOOP("RulesPanel", "外显型歧义"), QT_TRANSLATE_NOOP("RulesPanel", "内含型歧义")};
  return QCoreApplication::translate("RulesPanel", kNames[index]);
}

QString SourceTitle(int source) {
  return source == 0 ? QCoreApplication::translate("RulesPanel", "全部标记排列")
                     : QCoreApplication::translate("RulesPanel", "sequences 文件");
}

QString Average(const std::optional<double>& average) {
  return average ? QString::fromStdString(FormatAverage(*average)) : QStringLiteral("-");
}

// What one source would give without some rules.
struct Without {
  bool present = false;
  std::array<JudgementCounts, kJudgements> transitions{};
  std::uint64_t parsesLost = 0, notComputed = 0;
  std::optional<double> overtBefore, covertBefore, overtAfter, covertAfter;

  std::uint64_t Changed() const {
    std::uint64_t changed = 0;
    for (int o = 0; o < kJudgements; ++o)
      for (int n = 0; n < kJudgements; ++n)
        if (o != n)
          changed += transitions[static_cast<std::size_t>(o)][static_cast<std::size_t>(n)];
    return changed;
  }
};

Without FromEffect(const RuleEffect& effect, int source) {
  const SourceWithout& w = effect.without[static_cast<std::size_t>(source)];
  Without out{w.present,     w.transitions,  w.parsesLost, w.notComputed,
              w.overtBefore, w.covertBefore, w.overtAfter, w.covertAfter};
  if (effect.sharesNodes) {
    // Another rule makes the same nodes: nothing changes.
    out.parsesLost = 0;
    out.overtAfter = out.overtBefore;
    out.covertAfter = out.covertBefore;
    for (int o = 0; o < kJudgements; ++o) {
      auto& row = out.transitions[static_cast<std::size_t>(o)];
      std::uint64_t all = 0;
      for (const std::uint64_t count : row) all += count;
      row = {};
      row[static_cast<std::size_t>(o)] = all;
    }
  }
  return out;
}

Without FromRemoval(const RuleRemoval& removal, ReportKind kind) {
  const SourceComparison& side = removal.comparison().Of(kind);
  Without out;
  out.present = side.present;
  for (int o = 0; o < kJudgements; ++o)
    for (int n = 0; n < kJudgements; ++n)
      out.transitions[static_cast<std::size_t>(o)][static_cast<std::size_t>(n)] =
          side.transitions[static_cast<std::size_t>(o)][static_cast<std::size_t>(n)];
  out.parsesLost = removal.ParsesLost(kind);
  out.notComputed = removal.NotComputed(kind);
  out.overtBefore = side.oldAverages.overt;
  out.covertBefore = side.oldAverages.covert;
  out.overtAfter = side.newAverages.overt;
  out.covertAfter = side.newAverages.covert;
  return out;
}

// "标记排列：2 个格式的判断改变（外显型歧义 → 一种组合方式 2）；失去分析树 3 个；
// 平均歧义度 外显型 2.5 → 2.0，内含型 - → -".
QString Describe(const Without& w, int source) {
  QStringList moves;
  for (int o = 0; o < kJudgements; ++o) {
    for (int n = 0; n < kJudgements; ++n) {
      const std::uint64_t count =
          w.transitions[static_cast<std::size_t>(o)][static_cast<std::size_t>(n)];
      if (o != n && count > 0)
        moves.append(QCoreApplication::translate("RulesPanel", "%1 → %2 %3")
                         .arg(JudgementName(o), JudgementName(n))
                         .arg(count));
    }
  }
  QString text = QCoreApplication::translate("RulesPanel", "%1：").arg(SourceTitle(source));
  text += moves.isEmpty() ? QCoreApplication::translate("RulesPanel", "没有格式的判断改变")
                          : QCoreApplication::translate("RulesPanel", "%1 个格式的判断改变（%2）")
                                .arg(w.Changed())
                                .arg(moves.join(QCoreApplication::translate("RulesPanel", "，")));
  text += QCoreApplication::translate("RulesPanel", "；失去分析树 %1 个").arg(w.parsesLost);
  text += QCoreApplication::translate("RulesPanel", "；平均歧义度 外显型 %1 → %2，内含型 %3 → %4")
              .arg(Average(w.overtBefore), Average(w.overtAfter), Average(w.covertBefore),
                   Average(w.covertAfter));
  if (w.notComputed > 0)
    text += QCoreApplication::translate("RulesPanel", "；%1 个格式的分析树未全部列出，未计算")
                .arg(w.notComputed);
  return text;
}

QString Usage(const RuleEffect& effect, int source) {
  const auto& parses = effect.parses[static_cast<std::size_t>(source)];
  const auto& patterns = effect.patterns[static_cast<std::size_t>(source)];
  QStringList parts;
  for (int j = 1; j < kJudgements; ++j) {
    parts.append(QCoreApplication::translate("RulesPanel", "%1 %2/%3")
                     .arg(JudgementName(j))
                     .arg(parses[static_cast<std::size_t>(j)])
                     .arg(patterns[static_cast<std::size_t>(j)]));
  }
  return QCoreApplication::translate("RulesPanel", "%1用到：%2（分析树/格式）")
      .arg(SourceTitle(source), parts.join(QCoreApplication::translate("RulesPanel", "，")));
}

std::uint64_t Sum(const std::array<JudgementCounts, kSources>& counts) {
  std::uint64_t sum = 0;
  for (const JudgementCounts& source : counts)
    for (const std::uint64_t count : source) sum += count;
  return sum;
}

QString FromGbk(std::string_view gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

// The changed patterns as rows of the view, as many as it lists.
class ChangeRows : public ChangeSink {
 public:
  explicit ChangeRows(QTreeWidget* view) : view_(view) {}

  void Changed(const PatternChange& change) override {
    if (listed_ == RulesPanel::kMaxListed) {
      ++more_;
      return;
    }
    ++listed_;
    const PatternResult& some = change.now ? *change.now : *change.old;
    auto* row = new QTreeWidgetItem(view_);
    row->setText(kSource, SourceTitle(change.source == ReportKind::kTagSet ? 0 : 1));
    row->setText(kItems, FromGbk(some.items));
    row->setText(kJudgement, QCoreApplication::translate("RulesPanel", "%1 → %2")
                                 .arg(change.old ? JudgementName(static_cast<int>(change.old->cls))
                                                 : QStringLiteral("-"),
                                      change.now ? JudgementName(static_cast<int>(change.now->cls))
                                                 : QStringLiteral("-")));
    row->setText(kCount,
                 QCoreApplication::translate("RulesPanel", "%1 → %2")
                     .arg(change.old ? QString::number(change.old->count) : QStringLiteral("-"),
                          change.now ? QString::number(change.now->count) : QStringLiteral("-")));
    QStringList lost, rules;
    for (const std::string& parse : change.lost) lost.append(FromGbk(parse));
    for (const std::string& rule : change.rulesLost) rules.append(FromGbk(rule));
    row->setText(kLost, lost.join(QStringLiteral(" | ")));
    row->setToolTip(kLost, lost.join(QLatin1Char('\n')));
    row->setText(kRulesLost, rules.join(QStringLiteral("; ")));
    if (change.judgementChanged) {
      QFont bold = row->font(kJudgement);
      bold.setBold(true);
      row->setFont(kJudgement, bold);
    }
  }

  std::uint64_t more() const { return more_; }

 private:
  QTreeWidget* view_;
  int listed_ = 0;
  std::uint64_t more_ = 0;
};

}  // namespace

RulesPanel::RulesPanel(std::string startupDir, QWidget* parent)
    : QDockWidget(QCoreApplication::translate("RulesPanel", "规则"), parent),
      startupDir_(std::move(startupDir)),
      summary_(new QLabel(QCoreApplication::translate(
          "RulesPanel", "运行分析之后，这里列出每条规则的用途，以及去掉它时分析的结果。"))),
      rules_(new QTreeWidget),
      whatIf_(new QLabel),
      changes_(new QTreeWidget) {
  setObjectName(QStringLiteral("rulesPanel"));
  summary_->setWordWrap(true);
  rules_->setObjectName(QStringLiteral("ruleUsage"));
  rules_->setColumnCount(kRuleColumns);
  rules_->setHeaderLabels({QCoreApplication::translate("RulesPanel", "规则"),
                           QCoreApplication::translate("RulesPanel", "行"),
                           QCoreApplication::translate("RulesPanel", "用到它的分析树"),
                           QCoreApplication::translate("RulesPanel", "用到它的格式"),
                           QCoreApplication::translate("RulesPanel", "去掉它之后")});
  rules_->setToolTip(QCoreApplication::translate(
      "RulesPanel", "取消勾选规则，即可看到没有这些规则时的分析结果（规则文件不变）"));
  whatIf_->setObjectName(QStringLiteral("whatIfSummary"));
  whatIf_->setWordWrap(true);
  whatIf_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  changes_->setObjectName(QStringLiteral("changedPatterns"));
  changes_->setColumnCount(kChangeColumns);
  changes_->setHeaderLabels({QCoreApplication::translate("RulesPanel", "来源"),
                             QCoreApplication::translate("RulesPanel", "格式"),
                             QCoreApplication::translate("RulesPanel", "判断（原 → 新）"),
                             QCoreApplication::translate("RulesPanel", "分析树数"),
                             QCoreApplication::translate("RulesPanel", "失去的分析树"),
                             QCoreApplication::translate("RulesPanel", "失去的规则")});
  changes_->setRootIsDecorated(false);
  auto* checkAll = new QPushButton(QCoreApplication::translate("RulesPanel", "全部勾选"));
  checkAll->setObjectName(QStringLiteral("checkAllRules"));

  auto* top = new QWidget;
  auto* topColumn = new QVBoxLayout(top);
  topColumn->setContentsMargins(0, 0, 0, 0);
  auto* head = new QHBoxLayout;
  head->addWidget(summary_, 1);
  head->addWidget(checkAll);
  topColumn->addLayout(head);
  topColumn->addWidget(rules_, 1);
  auto* bottom = new QWidget;
  auto* bottomColumn = new QVBoxLayout(bottom);
  bottomColumn->setContentsMargins(0, 0, 0, 0);
  bottomColumn->addWidget(whatIf_);
  bottomColumn->addWidget(changes_, 1);
  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(top);
  split->addWidget(bottom);
  setWidget(split);

  connect(rules_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem*, int column) {
    if (!filling_ && column == kRule) ShowWithout();
  });
  connect(rules_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    const QVariant index = item->data(kRule, Qt::UserRole);
    if (index.isValid()) emit placeChosen(rulesFile_, ruleSet_.LineOf(index.toInt()));
  });
  connect(checkAll, &QPushButton::clicked, this, [this] {
    filling_ = true;
    for (int k = 0; k < ruleSet_.count(); ++k)
      if (QTreeWidgetItem* item = ItemOf(k)) item->setCheckState(kRule, Qt::Checked);
    filling_ = false;
    ShowWithout();
  });
}

void RulesPanel::ShowRun(const RuleSet& rules, std::vector<RuleEffect> effects,
                         const QDateTime& began) {
  ruleSet_ = rules;
  effects_ = std::move(effects);
  began_ = began;
  rulesFile_ = ConfiguredPath(startupDir_, ReadRunConfig(ProfilePathFor(startupDir_)).rules);
  filling_ = true;
  rules_->clear();
  auto* used = new QTreeWidgetItem(rules_);
  auto* unused = new QTreeWidgetItem(rules_);
  int unusedCount = 0;
  for (const RuleEffect& effect : effects_) {
    const bool isUsed = effect.ParsesUsing() > 0;
    unusedCount += isUsed ? 0 : 1;
    auto* item = new QTreeWidgetItem(isUsed ? used : unused);
    const CfgRule& rule = ruleSet_.rules[static_cast<std::size_t>(effect.rule)];
    item->setText(kRule, QString::fromStdString(DescribeRule(rule)));
    item->setData(kRule, Qt::UserRole, effect.rule);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(kRule, Qt::Checked);
    if (const int line = ruleSet_.LineOf(effect.rule); line > 0)
      item->setText(kLine, QString::number(line));
    item->setText(kParses, QString::number(Sum(effect.parses)));
    item->setText(kPatterns, QString::number(Sum(effect.patterns)));
    QStringList usage, without;
    std::uint64_t changed = 0, lost = 0;
    for (int s = 0; s < kSources; ++s) {
      const Without w = FromEffect(effect, s);
      if (!w.present) continue;
      usage.append(Usage(effect, s));
      without.append(Describe(w, s));
      changed += w.Changed();
      lost += w.parsesLost;
    }
    for (int column : {kParses, kPatterns}) item->setToolTip(column, usage.join(QLatin1Char('\n')));
    item->setText(
        kWithout,
        effect.sharesNodes
            ? QCoreApplication::translate("RulesPanel", "不变（另有规则生成同样的节点）")
            : QCoreApplication::translate("RulesPanel", "%1 个格式的判断改变，失去分析树 %2 个")
                  .arg(changed)
                  .arg(lost));
    item->setToolTip(kWithout, without.join(QLatin1Char('\n')));
  }
  used->setText(kRule, QCoreApplication::translate("RulesPanel", "用到的规则（%1 条）")
                           .arg(ruleSet_.count() - unusedCount));
  unused->setText(
      kRule,
      QCoreApplication::translate("RulesPanel", "没有分析树用到的规则（%1 条）").arg(unusedCount));
  rules_->expandAll();
  for (int column = 0; column < kRuleColumns - 1; ++column) rules_->resizeColumnToContents(column);
  summary_->setText(
      QCoreApplication::translate("RulesPanel",
                                  "上次运行：%1 条规则，其中 %2 "
                                  "条没有分析树用到。取消勾选规则，即可看到没有它们时的分析结果。")
          .arg(ruleSet_.count())
          .arg(unusedCount));
  filling_ = false;
  ShowWithout();
}

QTreeWidgetItem* RulesPanel::ItemOf(int index) const {
  for (int top = 0; top < rules_->topLevelItemCount(); ++top) {
    QTreeWidgetItem* group = rules_->topLevelItem(top);
    for (int k = 0; k < group->childCount(); ++k)
      if (group->child(k)->data(kRule, Qt::UserRole).toInt() == index) return group->child(k);
  }
  return nullptr;
}

void RulesPanel::SetRuleChecked(int index, bool checked) {
  if (QTreeWidgetItem* item = ItemOf(index))
    item->setCheckState(kRule, checked ? Qt::Checked : Qt::Unchecked);
}

std::set<int> RulesPanel::Removed() const {
  std::set<int> removed;
  for (int k = 0; k < ruleSet_.count(); ++k)
    if (const QTreeWidgetItem* item = ItemOf(k); item && item->checkState(kRule) == Qt::Unchecked)
      removed.insert(k);
  return removed;
}

QString RulesPanel::whatIfText() const { return whatIf_->text(); }

QString RulesPanel::TablePath() const {
  const std::string result = ReadRunConfig(ProfilePathFor(startupDir_)).result;
  if (result.empty()) return {};
  // The table the workbench keeps of the last run, else the CSV export.
  for (const char* extension : {"results.csv", "csv"}) {
    const QString path = ConfiguredPath(startupDir_, PathBesideReport(result, extension));
    const QFileInfo info(path);
    // Only a table as fresh as the run is its table (a second of leeway
    // for the file system's clock).
    if (info.isFile() && info.lastModified() >= began_.addSecs(-1)) return path;
  }
  return {};
}

void RulesPanel::ShowWithout() {
  changes_->clear();
  const std::set<int> removed = Removed();
  if (removed.empty()) {
    whatIf_->setText(effects_.empty()
                         ? QString()
                         : QCoreApplication::translate(
                               "RulesPanel", "全部规则都已勾选：结果就是上次运行的结果。"));
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QStringList lines;
  const QString table = TablePath();
  bool fromTable = false;
  if (!table.isEmpty()) {
    RuleRemoval removal(ruleSet_, removed);
    ChangeRows rows(changes_);
    removal.AddSink(&rows);
    CsvBaselineError error;
    if (removal.Run(table.toStdString(), {}, &error)) {
      fromTable = true;
      for (ReportKind kind : {ReportKind::kTagSet, ReportKind::kSequences}) {
        const Without w = FromRemoval(removal, kind);
        if (w.present) lines.append(Describe(w, kind == ReportKind::kTagSet ? 0 : 1));
      }
      if (rows.more() > 0)
        lines.append(QCoreApplication::translate("RulesPanel", "另有 %1 个变化的格式没有列出。")
                         .arg(rows.more()));
    } else {
      lines.append(QCoreApplication::translate("RulesPanel", "无法读取上次运行的排列表 %1：%2")
                       .arg(QDir::toNativeSeparators(table), QString::fromStdString(error.reason)));
    }
  }
  if (!fromTable) {
    if (removed.size() == 1) {
      // The run's own counts of the one rule.
      for (const RuleEffect& effect : effects_) {
        if (effect.rule != *removed.begin()) continue;
        for (int s = 0; s < kSources; ++s)
          if (const Without w = FromEffect(effect, s); w.present) lines.append(Describe(w, s));
      }
    }
    if (table.isEmpty()) {
      lines.append(removed.size() == 1
                       ? QCoreApplication::translate(
                             "RulesPanel", "没有上次运行的排列表（CSV），变化的格式无法列出。")
                       : QCoreApplication::translate("RulesPanel",
                                                     "没有上次运行的排列表（CSV），只能分别给出每条"
                                                     "规则去掉后的结果（见“去掉它之后”一列）。"));
    }
  }
  whatIf_->setText(
      QCoreApplication::translate("RulesPanel", "去掉 %1 条规则之后：").arg(removed.size()) +
      QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
  // The parses lost take what is left after the short columns, within reason.
  for (int column = 0; column < kChangeColumns - 1; ++column)
    changes_->resizeColumnToContents(column);
  changes_->setColumnWidth(kLost, std::min(changes_->columnWidth(kLost), 420));
  QApplication::restoreOverrideCursor();
}

}  // namespace marvolen
