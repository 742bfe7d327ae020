// The editor of a document's text, and the font of the text windows.
#ifndef MARVOLEN_SHELL_DOCUMENT_EDITOR_H_
#define MARVOLEN_SHELL_DOCUMENT_EDITOR_H_

#include <QPlainTextEdit>

#include "shell/text_pane.h"
#include "shell/text_search.h"

namespace marvolen {

// The font of the text windows at `points` (0: the default size).
QFont TextFont(int points);

// A fault of a data file at a line (1 for the first), as the editor marks it.
struct LineNote {
  int line = 0;
  QString text;
};

// A plain-text editor on a document's text. Long lines wrap at the window
// edge; there is no horizontal scroll bar. The matches of the find bar's
// pattern in sight are marked, and so are the lines with faults (SetNotes):
// underlined with a wave, their messages in the line's tooltip.
class DocumentEditor : public QPlainTextEdit, public TextPane {
  Q_OBJECT

 public:
  // An editor on `text`, which outlives it.
  explicit DocumentEditor(QTextDocument* text);

  QWidget* widget() override { return this; }
  QPlainTextEdit* editor() override { return this; }
  bool Find(const SearchPattern& pattern, bool backward, bool* wrapped) override;
  void Highlight(const SearchPattern& pattern) override;
  qint64 lineCount() const override { return blockCount(); }
  qint64 cursorLine() const override { return textCursor().blockNumber() + 1; }
  qint64 cursorColumn() const override { return textCursor().positionInBlock() + 1; }
  void GoToLine(qint64 line) override;
  void SetPointSize(int points) override;

  // Mark the lines of `notes` (none: no line is marked).
  void SetNotes(const QList<LineNote>& notes);
  const QList<LineNote>& notes() const { return notes_; }
  // The messages of `line`, one a line ("" for a line without).
  QString NotesAt(int line) const;

  // Ctrl+wheel: one step larger (1) or smaller (-1).
  Q_SIGNAL void zoomRequested(int steps);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  // A new size brings other lines into sight, and wrapped lines re-wrap.
  void resizeEvent(QResizeEvent* event) override;
  // The tooltip of a marked line gives its messages.
  bool viewportEvent(QEvent* event) override;

 private:
  void MarkMatchesInSight();

  SearchPattern highlighted_;
  QList<LineNote> notes_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DOCUMENT_EDITOR_H_
