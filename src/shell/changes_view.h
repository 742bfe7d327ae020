// What changed since the previous analysis in the folder, as the report
// window shows it under the report: a line saying what was compared with
// what, the judgement transition table of each source (old judgement in
// the rows, new in the columns), and the changed patterns, judgement
// changes first. The chosen pattern's parses gained and lost and its rules
// gained and lost are listed beside; a click on a pattern (patternChosen)
// shows its trees in the parse pane.
#ifndef MARVOLEN_SHELL_CHANGES_VIEW_H_
#define MARVOLEN_SHELL_CHANGES_VIEW_H_

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "compare/change_list.h"

class QLabel;
class QGroupBox;
class QTextEdit;
class QTableWidget;
class QTreeWidget;

namespace marvolen {

// What an analysis compared: a run that completed compared with the table
// of permutations the last analysis in the folder kept (or with the rules
// file asked for), unless there was none (kFirstRun) or it could not be
// taken (kNotTaken, with a line among the run's messages).
struct AnalysisChanges {
  enum class Baseline { kNone, kFirstRun, kNotTaken, kCompared };
  Baseline baseline = Baseline::kNone;
  QString baselineName;                                // the table or the rules file compared with
  bool rulesBaseline = false;                          // it is a rules file
  std::shared_ptr<const ComparisonResult> comparison;  // when kCompared
};

class ChangesView : public QWidget {
  Q_OBJECT

 public:
  explicit ChangesView(QWidget* parent = nullptr);

  // Show what an analysis compared; a run that did not complete shows
  // nothing (the view hides).
  void Show(const AnalysisChanges& changes);

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
  QTextEdit* detail_;  // no QPlainTextEdit: the parse pane follows the report's
  std::shared_ptr<const ComparisonResult> result_;
};

// A judgement in the view's words; kAbsent (a pattern on one side only)
// gives "无此格式".
QString JudgementName(int judgement);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_CHANGES_VIEW_H_
