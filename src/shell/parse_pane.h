// The parse pane: a dock beside the documents that judges one sequence as
// the report would and draws every parse of it. The person types the items
// (v n u<的> n), or the pane follows the line under the cursor in the active
// window (a sequences file, or the report, whose item, parse and degree
// lines give their sequence). It answers as one types: the judgement in the
// report's words, the number of parses, the trees side by side in report
// order, numbered, with the differences marked; under the judgement the
// divergence points in --parse's words, their tops framed in the trees.
// Hovering a node shows the rule that built it; a click on a node, or on a
// rule's title among the points, asks for the rule's line in the rules file
// (ruleChosen). More than kGroupedFrom parses show in groups: by root and by
// the rules each parse uses at the points, with counts; over the limit of
// trees drawn (kPaneMaxParses), the groups show with their first
// kTreesPerGroup trees. The grammar is the one the open documents hold
// (PaneGrammar); the readers' messages show in the pane. Each tree, or all
// of them, can be copied as an image or saved as SVG or PNG.
#ifndef MARVOLEN_SHELL_PARSE_PANE_H_
#define MARVOLEN_SHELL_PARSE_PANE_H_

#include <QDockWidget>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/divergences.h"
#include "shell/pane_grammar.h"
#include "shell/tree_canvas.h"

class QAction;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QTextBlock;
class QToolButton;

namespace marvolen {

class DialogProvider;
struct ChangedPattern;

// Parses are shown in groups when there are more than this many.
inline constexpr std::size_t kGroupedFrom = 10;
// Over the limit of trees drawn, each group shows this many of its trees:
// three show the group's shape and its variation without many screens.
inline constexpr std::size_t kTreesPerGroup = 3;

// The parses of one line that have the same root label and use the same
// rules at each divergence point.
struct ParseGroup {
  std::string root;  // the root label (GBK)
  // By point: the rule groups this group's parses use there. Where the
  // parses differ in the top node's rule, that rule; where they all have
  // the same top rule (over different splits), the point's other rules that
  // they use below it, ascending (maybe none).
  std::vector<std::vector<int>> readings;
  std::uint64_t count = 0;
  // The first parses of the group (all, or the first few), by their
  // indexes in list order, and their trees when the grouper copies them.
  std::vector<std::size_t> first;
  ParseList trees;
};

// Groups a line's parses, given one at a time in list order, keeping the
// first `keep` of each group (with copies of their trees when `copy`).
class ParseGrouper {
 public:
  ParseGrouper(const RuleGroups& groups, const DivergencePoints& points, std::size_t keep,
               bool copy);
  void Add(const ParseTreeNode& root);
  // The groups, the most parses first, equal counts by their first parse.
  std::vector<ParseGroup> Finish();

 private:
  const RuleGroups& groups_;
  const DivergencePoints& points_;
  std::size_t keep_;
  bool copy_;
  std::size_t added_ = 0;
  // By root label and, per point, the top's group, the number of groups
  // below, and those groups.
  std::map<std::pair<std::string, std::vector<int>>, ParseGroup> raw_;
};

class ParsePane : public QDockWidget {
  Q_OBJECT

 public:
  // The pane of the workbench whose documents are in `area`; config.ini is
  // in `startupDir`; it asks where to save through `dialogs`.
  ParsePane(std::string startupDir, QMdiArea* area, DialogProvider& dialogs, QWidget* parent);

  TreeCanvas* canvas() const { return canvas_; }
  // What it shows: the judgement, the number of parses, the messages.
  const QString& judgementText() const { return judgement_; }
  const QString& countText() const { return count_; }
  QString messageText() const;
  // The divergence points as shown, a line each ("歧义点 1-3: R07 NP -> n NP
  // | R08 NP -> NP n"), or the line saying they were not computed.
  const QStringList& pointTexts() const { return pointLines_; }
  // The groups' headings, in order; empty when the parses are not grouped.
  QStringList groupTexts() const;
  // What hovering `node` shows: the rule that built it ("R08 NP -> NP n").
  QString RuleText(const ParseTreeNode& node) const;
  // Ask for the line of the rule that built `node`, or of rule `index` of
  // the table; false when it is not known.
  bool ChooseRuleOf(const ParseTreeNode& node);
  bool ChooseRule(int index);

  // The line `line` (from 1) of the rules file `path` was asked for.
  Q_SIGNAL void ruleChosen(const QString& path, int line);

  // Analyse the input again (the grammar is read again if it changed).
  void Analyse();
  // Show a pattern that changed since the previous analysis: its new trees
  // and, beside them, the old ones, the parses gained and lost marked whole.
  // The pane analyses again when its input changes (parse_pane_changes.cc).
  void ShowChange(const ChangedPattern& change);

  // Copy tree `index` (-1: all of them) as an image; false when there is
  // no tree or the image would be too large (the pane says so).
  bool CopyImage(int index);
  enum class Format { kSvg, kPng };
  // Save tree `index` (-1: all) to a file the person names.
  bool Save(int index, Format format);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Follow the cursor of the active window's text.
  void WatchActiveWindow();
  Q_SLOT void TakeLineUnderCursor();
  void WatchGrammarDocuments();
  void ShowContextMenu(const QPoint& point);
  // Write tree `index` (-1: all) in `format` to `path`; "" or why not.
  QString Export(int index, Format format, const QString& path) const;
  // The image of tree `index` (-1: all); null when it would be too large.
  QImage Image(int index) const;
  void Fail(const QString& text);
  // Show the divergence points and the groups of the line analysed.
  void ShowPoints(const DivergencePoints& points, const RuleGroups& groups);
  // The trees to draw: all `parses`, or `groups`'s trees (their copies when
  // `parses` is empty), under their headings.
  CanvasTrees Arrange(ParseList parses, ParseMarks marks, std::vector<ParseGroup> parseGroups,
                      const DivergencePoints& points, const RuleGroups& rules) const;

  std::string startupDir_;
  QPointer<QMdiArea> area_;
  DialogProvider& dialogs_;
  PaneGrammar grammar_;
  QLineEdit* input_;
  QToolButton* follow_;
  QLabel* verdict_;  // the judgement, in bold, and the number of parses
  QString judgement_, count_;
  QLabel* messages_;
  QLabel* points_;  // the divergence points, their rules' titles as links
  QStringList pointLines_;
  TreeCanvas* canvas_;
  QAction* copyAll_;
  QAction* svgAll_;
  QAction* pngAll_;
  QString name_;  // the sequence shown, for the names of exported files
  bool shownBefore_ = false;
  QTimer grammarEdited_;
  QList<QMetaObject::Connection> grammarWatch_;
  QPointer<QWidget> watched_;  // whose cursor the pane follows
  QMetaObject::Connection cursorMoved_;
};

// The sequence a line of a document stands for: with `reportLines`, a
// report's item line without its indent, a parse line's (or a line of too
// many parses') item line, a degree line's items, and nothing for the
// report's other lines (headings, counts, the tag list, "none" lines); else
// the line as it is. `lineAt(n)` gives line n (0 for the first; "" outside
// the text).
std::optional<QString> SequenceOfLine(qint64 number, const std::function<QString(qint64)>& lineAt,
                                      bool reportLines);
std::optional<QString> SequenceOfLine(const QTextBlock& block, bool reportLines);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_PARSE_PANE_H_
