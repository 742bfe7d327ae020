// A read-only view of a report of any size. The report's bytes (GBK, as in
// the file) are kept as they are; an index of the start of every 64th line
// finds any line, and lines are decoded only when they are shown or
// searched. Opening costs one pass over the bytes, and the memory is the
// report's size.
//
// Lines do not wrap (a horizontal scroll bar shows long ones); tabs stop
// every eight columns. A cursor, a selection made with the mouse or the
// keyboard (Shift), 复制 and 全选, and the marks of the find bar's matches
// work as in the editor. The line under the cursor (currentLineText) is
// what a pane that explains lines reads; currentLineChanged tells it when
// that line changes.
#ifndef MARVOLEN_SHELL_REPORT_VIEW_H_
#define MARVOLEN_SHELL_REPORT_VIEW_H_

#include <QAbstractScrollArea>
#include <compare>
#include <string>
#include <vector>

#include "shell/text_pane.h"
#include "shell/text_search.h"

class QTextLayout;

namespace marvolen {

class ReportView : public QAbstractScrollArea, public TextPane {
  Q_OBJECT

 public:
  explicit ReportView(QWidget* parent = nullptr);
  ~ReportView() override;

  // Show `bytes`; the cursor goes to the start of `line` (kept within the
  // text), which is brought into sight.
  void SetBytes(std::string bytes, qint64 line = 1);
  // Make room for a text of `bytes` bytes in all, which then comes in
  // pieces (AppendBytes): the view shows what has come, its scroll range
  // growing, and the cursor stays where it is.
  void Reserve(std::size_t bytes);
  void AppendBytes(std::string_view more);
  // Put the cursor on `line`; when the text has fewer lines yet, on the
  // last one, and on `line` as soon as it has come.
  void GoToLineWhenRead(qint64 line);
  const std::string& bytes() const { return bytes_; }

  // Line `line` (1 for the first) without its line end; "" outside the text.
  QString lineText(qint64 line) const;
  QString currentLineText() const { return lineText(cursorLine()); }

  bool hasSelection() const { return anchor_ != cursor_; }
  QString selectedText() const;
  void copy() const;
  void selectAll();
  // Show `line` as the top line (as far as the text allows), the cursor at
  // its start.
  void ShowLineAtTop(qint64 line);

  QWidget* widget() override { return this; }
  bool Find(const SearchPattern& pattern, bool backward, bool* wrapped) override;
  void Highlight(const SearchPattern& pattern) override;
  qint64 lineCount() const override { return lineCount_; }
  qint64 cursorLine() const override { return cursor_.line + 1; }
  qint64 cursorColumn() const override { return cursor_.column + 1; }
  void GoToLine(qint64 line) override;
  void SetPointSize(int points) override;

  Q_SIGNAL void cursorPositionChanged();
  Q_SIGNAL void currentLineChanged();
  Q_SIGNAL void copyAvailable(bool yes);
  // Ctrl+wheel: one step larger (1) or smaller (-1).
  Q_SIGNAL void zoomRequested(int steps);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // A place in the text: a line (0 for the first) and a column (UTF-16 units
  // of the decoded line).
  struct Position {
    qint64 line = 0;
    qsizetype column = 0;
    auto operator<=>(const Position&) const = default;
  };

  std::size_t LineStart(qint64 line) const;       // 0-based; the text's end past the last
  std::string_view LineBytes(qint64 line) const;  // without the line end
  QString DecodeLine(qint64 line) const;
  // Lines first .. first + count - 1, decoded, each ended by '\n'.
  std::u16string DecodeLines(qint64 first, qint64 count) const;
  std::unique_ptr<QTextLayout> LayOut(const QString& text) const;
  int visibleLines() const;
  int textX() const;  // the x of column 0 in the viewport
  Position PositionAt(const QPoint& point) const;
  // Move the cursor (and the anchor too, unless `extend`), keep it in sight.
  void MoveCursor(Position to, bool extend);
  void EnsureVisible(Position position);
  void UpdateMetrics();
  // Index the lines of the bytes from `from` on (the index ends before).
  void IndexFrom(std::size_t from);

  std::string bytes_;
  std::vector<std::size_t> checkpoints_;  // the start of line 0, 64, 128, ...
  qint64 lineCount_ = 1;
  std::size_t lastLineStart_ = 0;
  std::size_t longestLine_ = 0;  // in bytes
  qint64 pendingLine_ = 0;       // GoToLineWhenRead's line, 0 when none
  int lineHeight_ = 1;
  int widestSeen_ = 0;
  Position cursor_;
  Position anchor_;
  SearchPattern highlighted_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_REPORT_VIEW_H_
