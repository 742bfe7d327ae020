// What the main window asks of the text in a window, whichever kind of
// window it is (a document's editor or a report): finding, highlighting the
// matches in sight, going to a line, the cursor's line and column, and the
// text's size. Line and column numbers start at 1.
#ifndef MARVOLEN_SHELL_TEXT_PANE_H_
#define MARVOLEN_SHELL_TEXT_PANE_H_

#include <QtGlobal>

class QPlainTextEdit;
class QWidget;

namespace marvolen {

struct SearchPattern;

class TextPane {
 public:
  virtual ~TextPane() = default;

  virtual QWidget* widget() = 0;
  // The editor when the text may be edited (replacing needs one), else null.
  virtual QPlainTextEdit* editor() { return nullptr; }

  // Select the next match of `pattern` after the selection or the cursor
  // (backward: the one before), starting again at the other end when there
  // is none that way (`*wrapped` then true), and bring it into sight. False
  // when the text holds no match at all.
  virtual bool Find(const SearchPattern& pattern, bool backward, bool* wrapped) = 0;
  // Mark every match of `pattern` in sight (none for an empty pattern).
  virtual void Highlight(const SearchPattern& pattern) = 0;

  virtual qint64 lineCount() const = 0;
  virtual qint64 cursorLine() const = 0;
  virtual qint64 cursorColumn() const = 0;
  // Put the cursor at the start of `line` (kept within the text) and bring
  // it into sight.
  virtual void GoToLine(qint64 line) = 0;

  // The text's size in points.
  virtual void SetPointSize(int points) = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_TEXT_PANE_H_
