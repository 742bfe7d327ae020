// The view of what changed since the previous analysis.
#include "shell/changes_view.h"

#include <QtWidgets>

#include "encoding/gbk.h"

namespace marvolen {

namespace {

constexpr int kRowRole = Qt::UserRole;

QString FromGbk(const std::string& gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

QString SourceTitle(ReportKind source) {
  return source == ReportKind::kTagSet ? QCoreApplication::translate("ChangesView", "标记集")
                                       : QCoreApplication::translate("ChangesView", "格式序列");
}

int JudgementOf(const std::optional<PatternResult>& side) {
  return side ? static_cast<int>(side->cls) : SourceComparison::kAbsent;
}

QString CountOf(const std::optional<PatternResult>& side) {
  return side ? QString::number(side->count) : QStringLiteral("-");
}

QString Average(const std::optional<double>& average) {
  return average ? QString::number(*average, 'f', 2) : QStringLiteral("-");
}

QStringList FromGbk(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list.append(FromGbk(text));
  return list;
}

}  // namespace

QString JudgementName(int judgement) {
  switch (judgement) {
    case static_cast<int>(PermutationClass::CannotCombine):
      return QCoreApplication::translate("ChangesView", "不能组合");
    case static_cast<int>(PermutationClass::OneWay):
      return QCoreApplication::translate("ChangesView", "一种组合方式");
    case static_cast<int>(PermutationClass::Overt):
      return QCoreApplication::translate("ChangesView", "外显型歧义");
    case static_cast<int>(PermutationClass::Covert):
      return QCoreApplication::translate("ChangesView", "内含型歧义");
    default:
      return QCoreApplication::translate("ChangesView", "无此格式");
  }
}

ChangesView::ChangesView(QWidget* parent)
    : QWidget(parent), summary_(new QLabel), patterns_(new QTreeWidget), detail_(new QTextEdit) {
  setObjectName(QStringLiteral("changesView"));
  summary_->setObjectName(QStringLiteral("changesSummary"));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* tables = new QHBoxLayout;
  for (std::size_t k = 0; k < 2; ++k) {
    groups_[k] = new QGroupBox(SourceTitle(k == 0 ? ReportKind::kTagSet : ReportKind::kSequences));
    tables_[k] = new QTableWidget(SourceComparison::kAbsent + 1, SourceComparison::kAbsent + 1);
    tables_[k]->setObjectName(k == 0 ? QStringLiteral("tagSetTransitions")
                                     : QStringLiteral("sequencesTransitions"));
    QStringList olds, news;
    for (int j = 0; j <= SourceComparison::kAbsent; ++j) {
      olds.append(tr("上次：%1").arg(JudgementName(j)));
      news.append(JudgementName(j));
    }
    tables_[k]->setVerticalHeaderLabels(olds);
    tables_[k]->setHorizontalHeaderLabels(news);
    tables_[k]->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tables_[k]->setSelectionMode(QAbstractItemView::NoSelection);
    tables_[k]->setToolTip(tr("行是上次分析的判断，列是本次的判断"));
    averages_[k] = new QLabel;
    auto* box = new QVBoxLayout(groups_[k]);
    box->addWidget(tables_[k]);
    box->addWidget(averages_[k]);
    tables->addWidget(groups_[k]);
  }
  patterns_->setObjectName(QStringLiteral("changedPatterns"));
  patterns_->setRootIsDecorated(false);
  patterns_->setHeaderLabels(
      {tr("有变化的格式"), tr("来源"), tr("判断"), tr("分析树数"), tr("得到／失去的规则")});
  patterns_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  detail_->setObjectName(QStringLiteral("changeDetail"));
  detail_->setReadOnly(true);
  detail_->setLineWrapMode(QTextEdit::NoWrap);
  connect(patterns_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    ShowDetail(item != nullptr ? item->data(0, kRowRole).toInt() : -1);
  });
  connect(patterns_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    emit patternChosen(change(item->data(0, kRowRole).toInt()));
  });
  connect(patterns_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    emit patternChosen(change(item->data(0, kRowRole).toInt()));
  });
  auto* lists = new QSplitter;
  lists->addWidget(patterns_);
  lists->addWidget(detail_);
  lists->setStretchFactor(0, 3);
  lists->setStretchFactor(1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(summary_);
  layout->addLayout(tables);
  layout->addWidget(lists, 1);
}

QString ChangesView::summaryText() const { return summary_->text(); }
QString ChangesView::detailText() const { return detail_->toPlainText(); }

const ChangedPattern& ChangesView::change(int row) const {
  return result_->changes.at(static_cast<std::size_t>(row));
}

void ChangesView::Show(const AnalysisChanges& outcome) {
  result_ = outcome.comparison;
  patterns_->clear();
  detail_->clear();
  const QString name = QDir::toNativeSeparators(outcome.baselineName);
  const bool compared = outcome.baseline == AnalysisChanges::Baseline::kCompared && result_;
  for (QWidget* part : {static_cast<QWidget*>(groups_[0]), static_cast<QWidget*>(groups_[1]),
                        static_cast<QWidget*>(patterns_->parentWidget())})
    part->setVisible(compared);
  // A line alone takes no more room under the report than it needs.
  setMaximumHeight(compared ? QWIDGETSIZE_MAX : 3 * fontMetrics().height());
  switch (outcome.baseline) {
    case AnalysisChanges::Baseline::kNone:
      setVisible(false);
      return;
    case AnalysisChanges::Baseline::kFirstRun:
      summary_->setText(tr(
          "这是本文件夹中的第一次分析，没有可比较的上次结果。下次分析时将显示与本次相比的变化。"));
      setVisible(true);
      return;
    case AnalysisChanges::Baseline::kNotTaken:
      summary_->setText(tr("上次分析保存的结果表不能用来比较（见下面的消息），本次未作比较。"));
      setVisible(true);
      return;
    case AnalysisChanges::Baseline::kCompared:
      break;
  }
  setVisible(true);
  if (!result_) return;
  std::uint64_t changed = 0, patterns = 0;
  for (std::size_t k = 0; k < 2; ++k) {
    const SourceComparison& side = result_->sources[k];
    changed += side.changed;
    patterns += side.patterns;
    groups_[k]->setVisible(side.present);
    for (int from = 0; from <= SourceComparison::kAbsent; ++from) {
      for (int to = 0; to <= SourceComparison::kAbsent; ++to) {
        const std::uint64_t count =
            side.transitions[static_cast<std::size_t>(from)][static_cast<std::size_t>(to)];
        auto* cell =
            new QTableWidgetItem(count == 0 && from != to ? QString() : QString::number(count));
        cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (from != to && count > 0) {
          QFont bold = cell->font();
          bold.setBold(true);
          cell->setFont(bold);
          cell->setBackground(palette().color(QPalette::ToolTipBase));
          cell->setForeground(palette().color(QPalette::ToolTipText));
        }
        tables_[k]->setItem(from, to, cell);
      }
    }
    // A pattern on one side only is shown only when there is one.
    bool added = false, removed = false;
    for (std::size_t j = 0; j <= SourceComparison::kAbsent; ++j) {
      added = added || side.transitions[SourceComparison::kAbsent][j] > 0;
      removed = removed || side.transitions[j][SourceComparison::kAbsent] > 0;
    }
    tables_[k]->setRowHidden(SourceComparison::kAbsent, !added);
    tables_[k]->setColumnHidden(SourceComparison::kAbsent, !removed);
    tables_[k]->resizeColumnsToContents();
    tables_[k]->resizeRowsToContents();
    int height = tables_[k]->horizontalHeader()->height() + 2 * tables_[k]->frameWidth();
    for (int row = 0; row <= SourceComparison::kAbsent; ++row)
      if (!tables_[k]->isRowHidden(row)) height += tables_[k]->rowHeight(row);
    tables_[k]->setFixedHeight(height);
    averages_[k]->setText(tr("平均歧义度：外显型 %1 → %2，内含型 %3 → %4")
                              .arg(Average(side.oldAverages.overt), Average(side.newAverages.overt),
                                   Average(side.oldAverages.covert),
                                   Average(side.newAverages.covert)));
  }
  QString summary =
      changed == 0 ? tr("与上次的结果（%1）相比：%2 个格式都没有变化。").arg(name).arg(patterns)
                   : tr("与上次的结果（%1）相比：%2 个格式中有 %3 个有变化。")
                         .arg(name)
                         .arg(patterns)
                         .arg(changed);
  if (outcome.rulesBaseline)
    summary = changed == 0
                  ? tr("与规则文件 %1 的分析相比：%2 个格式都没有变化。").arg(name).arg(patterns)
                  : tr("与规则文件 %1 的分析相比：%2 个格式中有 %3 个有变化。")
                        .arg(name)
                        .arg(patterns)
                        .arg(changed);
  if (result_->leftOut > 0) summary += tr("这里列出前 %1 个。").arg(result_->changes.size());
  summary_->setText(summary);

  for (std::size_t row = 0; row < result_->changes.size(); ++row) {
    const ChangedPattern& c = result_->changes[row];
    const int from = JudgementOf(c.old), to = JudgementOf(c.now);
    QString parses = tr("%1 → %2").arg(CountOf(c.old), CountOf(c.now));
    if (!c.gained.empty() || !c.lost.empty())
      parses += tr("（+%1 −%2）").arg(c.gained.size()).arg(c.lost.size());
    QStringList rules;
    for (const std::string& rule : c.rulesGained) rules.append(QStringLiteral("+") + FromGbk(rule));
    for (const std::string& rule : c.rulesLost) rules.append(QStringLiteral("−") + FromGbk(rule));
    auto* item = new QTreeWidgetItem(
        patterns_,
        QStringList{FromGbk(c.now ? c.now->items : c.old->items), SourceTitle(c.source),
                    from == to ? JudgementName(to)
                               : tr("%1 → %2").arg(JudgementName(from), JudgementName(to)),
                    parses, rules.join(QStringLiteral("; "))});
    item->setData(0, kRowRole, static_cast<int>(row));
    if (from != to) {
      QFont bold = item->font(2);
      bold.setBold(true);
      item->setFont(2, bold);
    }
  }
  if (patterns_->topLevelItemCount() > 0) patterns_->setCurrentItem(patterns_->topLevelItem(0));
}

void ChangesView::ShowDetail(int row) {
  if (row < 0 || !result_) {
    detail_->clear();
    return;
  }
  const ChangedPattern& c = change(row);
  QStringList lines;
  lines.append(FromGbk(c.now ? c.now->items : c.old->items));
  lines.append(tr("判断：%1 → %2")
                   .arg(JudgementName(JudgementOf(c.old)), JudgementName(JudgementOf(c.now))));
  lines.append(tr("分析树：%1 → %2").arg(CountOf(c.old), CountOf(c.now)));
  if (!c.parsesComparable) lines.append(tr("（分析树多于所列的上限，只比较了数目）"));
  for (const QString& parse : FromGbk(c.gained)) lines.append(QStringLiteral("  + ") + parse);
  for (const QString& parse : FromGbk(c.lost)) lines.append(QStringLiteral("  − ") + parse);
  if (!c.rulesGained.empty())
    lines.append(tr("得到的规则：%1").arg(FromGbk(c.rulesGained).join(QStringLiteral("; "))));
  if (!c.rulesLost.empty())
    lines.append(tr("失去的规则：%1").arg(FromGbk(c.rulesLost).join(QStringLiteral("; "))));
  detail_->setPlainText(lines.join(QLatin1Char('\n')));
}

}  // namespace marvolen
