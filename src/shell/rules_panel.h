// The 规则 panel: a dock beside the documents that shows, after each
// analysis run, every rule's usage (the parses and patterns that use it) and
// what the run would give without it, the rules no parse uses apart. Each
// rule has a check box: unchecking rules shows at once what the analysis
// would give without them (the transitions of the judgements, the parses
// lost, the average degrees) and lists the patterns that change as a
// comparison of two grammars lists them (items, old -> new judgement,
// old/new number of parses, the parses and rules lost). Nothing is run
// again and the rules file is left as it is: a single rule's what-if comes
// from the run's counts, the changed patterns (and several rules at once)
// from the table of permutations the run left beside the report.
#ifndef MARVOLEN_SHELL_RULES_PANEL_H_
#define MARVOLEN_SHELL_RULES_PANEL_H_

#include <QDateTime>
#include <QDockWidget>
#include <set>
#include <string>
#include <vector>

#include "grammar/cfg_rule.h"
#include "rules/rule_effects.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace marvolen {

class RulesPanel : public QDockWidget {
  Q_OBJECT

 public:
  // The most changed patterns listed; the others are counted.
  static constexpr int kMaxListed = 2000;

  // The panel of the workbench whose config.ini is in `startupDir`.
  RulesPanel(std::string startupDir, QWidget* parent);

  // Show the rules of the run that began at `began` and completed, and
  // their effects; every rule is checked again.
  void ShowRun(const RuleSet& rules, std::vector<RuleEffect> effects, const QDateTime& began);

  // Check (keep) or uncheck (remove) rule `index`; what the analysis would
  // give is shown at once.
  void SetRuleChecked(int index, bool checked);
  // The rules unchecked.
  std::set<int> Removed() const;

  QTreeWidget* rulesView() const { return rules_; }
  QTreeWidget* changesView() const { return changes_; }
  // What the analysis would give without the rules unchecked.
  QString whatIfText() const;

  // A rule was chosen (double-clicked): its file and line.
  Q_SIGNAL void placeChosen(const QString& file, int line);

 private:
  // The table of permutations the run left, or "" when there is none as
  // fresh as the run.
  QString TablePath() const;
  void ShowWithout();
  QTreeWidgetItem* ItemOf(int index) const;

  std::string startupDir_;
  RuleSet ruleSet_;
  std::vector<RuleEffect> effects_;
  QDateTime began_;
  QString rulesFile_;
  QLabel* summary_;
  QTreeWidget* rules_;
  QLabel* whatIf_;
  QTreeWidget* changes_;
  bool filling_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_RULES_PANEL_H_
