// What changed since the previous analysis in the folder, as the report
// window shows it under the report: a line saying what was compared with
// what, the judgement transition table of each source (old judgement in
// the rows, new in the columns), and the changed patterns, judgement
// changes first. The chosen pattern's parses gained and lost and its rules
// gained and lost are listed beside; a click on a pattern (patternChosen)
// shows its trees in the parse pane.
#ifndef MARVOLEN_SHELL_CHANGES_VIEW_H_
#define MARVOLEN_SHELL_CHANGES_VIEW_H_

#include <QWidget>
#include <array>
#include <memory>

#include "shell/analysis_runner.h"

class QLabel;
class QGroupBox;
class QPlainTextEdit;
class QTableWidget;
class QTreeWidget;

namespace marvolen {

class ChangesView : public QWidget {
  Q_OBJECT

 public:
  explicit ChangesView(QWidget* parent = nullptr);

  // Show what `outcome` compared; a run that did not complete shows nothing
  // (the view hides).
  void Show(const AnalysisOutcome& outcome);

  QString summaryText() const;
  // The table of source 0 (the tag set) or 1 (the sequences); hidden when
  // the source was not compared.
  QTableWidget* table(int source) const { return tables_[static_cast<std::size_t>(source)]; }
  QTreeWidget* patterns() const { return patterns_; }
  QString detailText() const;
  // The pattern of row `row` of the list.
  const ChangedPattern& change(int row) const;

  // A changed pattern was clicked.
  Q_SIGNAL void patternChosen(const marvolen::ChangedPattern& change);

 private:
  void ShowDetail(int row);

  QLabel* summary_;
  std::array<QGroupBox*, 2> groups_{};
  std::array<QTableWidget*, 2> tables_{};
  std::array<QLabel*, 2> averages_{};
  QTreeWidget* patterns_;
  QPlainTextEdit* detail_;
  std::shared_ptr<const ComparisonResult> result_;
};

// A judgement in the view's words; kAbsent (a pattern on one side only)
// gives "无此格式".
QString JudgementName(int judgement);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_CHANGES_VIEW_H_
