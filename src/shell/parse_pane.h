// The parse pane: a dock beside the documents that judges one sequence as
// the report would and draws every parse of it. The person types the items
// (v n u<的> n), or the pane follows the line under the cursor in the active
// window (a sequences file, or the report, whose item, parse and degree
// lines give their sequence). It answers as one types: the judgement in the
// report's words, the number of parses, the trees side by side in report
// order, numbered, with the differences marked. The grammar is the one the
// open documents hold (PaneGrammar); the readers' messages show in the pane.
// Each tree, or all of them, can be copied as an image or saved as SVG or
// PNG.
#ifndef MARVOLEN_SHELL_PARSE_PANE_H_
#define MARVOLEN_SHELL_PARSE_PANE_H_

#include <QDockWidget>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "shell/pane_grammar.h"

class QAction;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QTextBlock;
class QToolButton;

namespace marvolen {

class DialogProvider;
class TreeCanvas;
struct ChangedPattern;

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

  std::string startupDir_;
  QPointer<QMdiArea> area_;
  DialogProvider& dialogs_;
  PaneGrammar grammar_;
  QLineEdit* input_;
  QToolButton* follow_;
  QLabel* verdict_;  // the judgement, in bold, and the number of parses
  QString judgement_, count_;
  QLabel* messages_;
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
