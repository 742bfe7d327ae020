// The read-only report view.
#include "shell/report_view.h"

#include <QtWidgets>
#include <cstring>

#include "encoding/gbk_text.h"
#include "shell/document_editor.h"

namespace marvolen {

namespace {

constexpr qint64 kCheckpointEvery = 64;
constexpr qint64 kSearchChunkLines = 4096;  // lines decoded at a time while searching
constexpr int kMargin = 4;
const QColor kMatchColor(255, 230, 120);

// Separators of the items and trees of a report: a double-click selects what
// lies between them (a tag such as u<的>, a title).
bool IsItemCharacter(QChar c) {
  return !c.isSpace() && c != u'(' && c != u')' && c != u',' && c != u'[' && c != u']' &&
         c != u':' && c != u'：';
}

}  // namespace

ReportView::ReportView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  setFont(TextFont(0));
  UpdateMetrics();
  SetBytes(std::string());
}

ReportView::~ReportView() = default;

void ReportView::SetBytes(std::string bytes, qint64 line) {
  bytes_ = std::move(bytes);
  checkpoints_.assign(1, 0);
  lineCount_ = 1;
  lastLineStart_ = 0;
  longestLine_ = 0;
  widestSeen_ = 0;
  pendingLine_ = 0;
  IndexFrom(0);
  cursor_ = anchor_ = Position{std::clamp<qint64>(line, 1, lineCount_) - 1, 0};
  UpdateMetrics();
  EnsureVisible(cursor_);
  viewport()->update();
  emit cursorPositionChanged();
  emit currentLineChanged();
  emit copyAvailable(false);
}

void ReportView::Reserve(std::size_t bytes) { bytes_.reserve(bytes); }

void ReportView::AppendBytes(std::string_view more) {
  const qint64 before = lineCount_;
  const std::size_t from = bytes_.size();
  bytes_.append(more);
  IndexFrom(from);
  UpdateMetrics();
  // The line the cursor was to go to has come.
  if (pendingLine_ > 0 && pendingLine_ <= lineCount_) GoToLine(std::exchange(pendingLine_, 0));
  // Lines came into sight, or the last one shown grew.
  if (before - 1 <= verticalScrollBar()->value() + visibleLines()) viewport()->update();
}

void ReportView::GoToLineWhenRead(qint64 line) {
  GoToLine(std::min(line, lineCount_));
  if (line > lineCount_) pendingLine_ = line;
}

void ReportView::IndexFrom(std::size_t from) {
  const char* text = bytes_.data();
  std::size_t start = from;
  while (const void* lf = std::memchr(text + start, '\n', bytes_.size() - start)) {
    const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(lf) - text);
    longestLine_ = std::max(longestLine_, end - lastLineStart_);
    start = lastLineStart_ = end + 1;
    if (lineCount_ % kCheckpointEvery == 0) checkpoints_.push_back(start);
    ++lineCount_;
  }
  longestLine_ = std::max(longestLine_, bytes_.size() - lastLineStart_);
}

std::size_t ReportView::LineStart(qint64 line) const {
  if (line >= lineCount_) return bytes_.size();
  std::size_t at = checkpoints_[static_cast<std::size_t>(line / kCheckpointEvery)];
  for (qint64 k = line % kCheckpointEvery; k > 0; --k)
    at = static_cast<std::size_t>(
             static_cast<const char*>(std::memchr(bytes_.data() + at, '\n', bytes_.size() - at)) -
             bytes_.data()) +
         1;
  return at;
}

std::string_view ReportView::LineBytes(qint64 line) const {
  if (line < 0 || line >= lineCount_) return {};
  const std::size_t start = LineStart(line);
  const void* lf = std::memchr(bytes_.data() + start, '\n', bytes_.size() - start);
  std::size_t end = lf != nullptr
                        ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes_.data())
                        : bytes_.size();
  if (lf != nullptr && end > start && bytes_[end - 1] == '\r') --end;
  return std::string_view(bytes_).substr(start, end - start);
}

QString ReportView::DecodeLine(qint64 line) const {
  return QString::fromStdU16String(DecodeGbkText(LineBytes(line)).text);
}

QString ReportView::lineText(qint64 line) const { return DecodeLine(line - 1); }

std::u16string ReportView::DecodeLines(qint64 first, qint64 count) const {
  const std::size_t start = LineStart(first);
  std::u16string text =
      DecodeGbkText(std::string_view(bytes_).substr(start, LineStart(first + count) - start)).text;
  if (first + count >= lineCount_) text += u'\n';  // the last line has no line end of its own
  return text;
}

std::unique_ptr<QTextLayout> ReportView::LayOut(const QString& text) const {
  auto layout = std::make_unique<QTextLayout>(text, font());
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(8 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
  layout->setTextOption(option);
  layout->beginLayout();
  layout->createLine();
  layout->endLayout();
  return layout;
}

void ReportView::UpdateMetrics() {
  // The tallest of the fonts a report's characters may come from.
  lineHeight_ = std::max(fontMetrics().lineSpacing(),
                         qCeil(LayOut(QStringLiteral("汉Ag"))->lineAt(0).height()));
  verticalScrollBar()->setRange(0,
                                static_cast<int>(std::max<qint64>(0, lineCount_ - visibleLines())));
  verticalScrollBar()->setPageStep(visibleLines());
  verticalScrollBar()->setSingleStep(1);
  // A GBK byte is about one column; tabs and wider lines seen widen it.
  const int width =
      std::max(widestSeen_, static_cast<int>(std::min<std::size_t>(longestLine_ + 16, 1 << 20)) *
                                fontMetrics().horizontalAdvance(QLatin1Char('x')));
  horizontalScrollBar()->setRange(0, std::max(0, width + 2 * kMargin - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 4);
}

int ReportView::visibleLines() const { return std::max(1, viewport()->height() / lineHeight_); }

int ReportView::textX() const { return kMargin - horizontalScrollBar()->value(); }

void ReportView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().base());
  painter.setPen(palette().text().color());
  const Position from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
  const qint64 top = verticalScrollBar()->value();
  for (qint64 line = top; line < lineCount_ && line <= top + visibleLines(); ++line) {
    const int y = static_cast<int>(line - top) * lineHeight_;
    const QString text = DecodeLine(line);
    const auto layout = LayOut(text);
    if (line == cursor_.line)
      painter.fillRect(QRect(0, y, viewport()->width(), lineHeight_), palette().alternateBase());
    QList<QTextLayout::FormatRange> marks;
    for (qsizetype at = FindMatch(text, highlighted_, 0); at >= 0;
         at = FindMatch(text, highlighted_, at + highlighted_.text.size())) {
      QTextLayout::FormatRange mark{
          static_cast<int>(at), static_cast<int>(highlighted_.text.size()), {}};
      mark.format.setBackground(kMatchColor);
      marks.append(mark);
    }
    if (from.line <= line && line <= to.line && from != to) {
      const qsizetype start = line == from.line ? from.column : 0;
      const qsizetype end =
          line == to.line ? to.column : text.size() + 1;  // past the end: the line end
      QTextLayout::FormatRange selection{
          static_cast<int>(start), static_cast<int>(end - start), {}};
      selection.format.setBackground(palette().highlight());
      selection.format.setForeground(palette().highlightedText());
      marks.append(selection);
    }
    const QPointF at(textX(), y);
    layout->draw(&painter, at, marks);
    widestSeen_ = std::max(widestSeen_, qCeil(layout->lineAt(0).naturalTextWidth()));
    if (line == cursor_.line && hasFocus())
      layout->drawCursor(&painter, at, static_cast<int>(std::min(cursor_.column, text.size())));
  }
  if (horizontalScrollBar()->maximum() < widestSeen_ + 2 * kMargin - viewport()->width())
    QTimer::singleShot(0, this, &ReportView::UpdateMetrics);
}

void ReportView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateMetrics();
}

ReportView::Position ReportView::PositionAt(const QPoint& point) const {
  const qint64 line =
      std::clamp<qint64>(verticalScrollBar()->value() + point.y() / lineHeight_, 0, lineCount_ - 1);
  const auto layout = LayOut(DecodeLine(line));
  return {line, layout->lineAt(0).xToCursor(point.x() - textX())};
}

void ReportView::EnsureVisible(Position position) {
  QScrollBar* bar = verticalScrollBar();
  if (position.line < bar->value()) bar->setValue(static_cast<int>(position.line));
  if (position.line >= bar->value() + visibleLines())
    bar->setValue(static_cast<int>(position.line - visibleLines() + 1));
  const auto layout = LayOut(DecodeLine(position.line));
  const int x = qRound(layout->lineAt(0).cursorToX(static_cast<int>(position.column)));
  QScrollBar* across = horizontalScrollBar();
  if (x > across->maximum() + viewport()->width() - 2 * kMargin) {
    widestSeen_ = std::max(widestSeen_, x + kMargin);
    UpdateMetrics();
  }
  if (x < across->value()) across->setValue(std::max(0, x - viewport()->width() / 4));
  if (x > across->value() + viewport()->width() - 2 * kMargin)
    across->setValue(x - viewport()->width() * 3 / 4);
}

void ReportView::MoveCursor(Position to, bool extend) {
  pendingLine_ = 0;  // a move of the person's (or a jump) comes first
  const bool hadSelection = hasSelection();
  const qint64 line = cursor_.line;
  to.line = std::clamp<qint64>(to.line, 0, lineCount_ - 1);
  to.column = std::clamp<qsizetype>(to.column, 0, DecodeLine(to.line).size());
  cursor_ = to;
  if (!extend) anchor_ = to;
  EnsureVisible(cursor_);
  viewport()->update();
  emit cursorPositionChanged();
  if (cursor_.line != line) emit currentLineChanged();
  if (hasSelection() != hadSelection) emit copyAvailable(hasSelection());
}

QString ReportView::selectedText() const {
  const Position from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
  QString text = QString::fromStdU16String(DecodeLines(from.line, to.line - from.line + 1));
  // Cut the last line at its column, then the first.
  const qsizetype lastStart = text.lastIndexOf(QLatin1Char('\n'), text.size() - 2) + 1;
  text.truncate(lastStart + to.column);
  return text.mid(from.column);
}

void ReportView::copy() const {
  if (hasSelection()) QGuiApplication::clipboard()->setText(selectedText());
}

void ReportView::selectAll() {
  anchor_ = Position{};
  MoveCursor(Position{lineCount_ - 1, DecodeLine(lineCount_ - 1).size()}, true);
}

void ReportView::ShowLineAtTop(qint64 line) {
  MoveCursor(Position{line - 1, 0}, false);
  verticalScrollBar()->setValue(static_cast<int>(cursor_.line));
}

void ReportView::GoToLine(qint64 line) {
  MoveCursor(Position{line - 1, 0}, false);
  verticalScrollBar()->setValue(static_cast<int>(cursor_.line - visibleLines() / 2));
}

bool ReportView::Find(const SearchPattern& pattern, bool backward, bool* wrapped) {
  if (pattern.empty()) return false;
  const Position from = backward ? std::min(anchor_, cursor_) : std::max(anchor_, cursor_);
  // Chunks of lines from the cursor to the end (backward: to the start),
  // then from the other end: the match nearest the cursor that way.
  for (int pass = 0; pass < 2; ++pass) {
    *wrapped = pass == 1;
    qint64 line = pass == 0 ? from.line : backward ? lineCount_ - 1 : 0;
    while (line >= 0 && line < lineCount_) {
      const qint64 first = backward ? std::max<qint64>(0, line - kSearchChunkLines + 1) : line;
      const qint64 count =
          backward ? line - first + 1 : std::min(kSearchChunkLines, lineCount_ - line);
      const std::u16string text = DecodeLines(first, count);
      const QStringView view(text.data(), static_cast<qsizetype>(text.size()));
      // Where the search starts in the chunk: the cursor's column on its line.
      qsizetype start = backward ? view.size() : 0;
      if (pass == 0) {
        start = backward ? view.lastIndexOf(u'\n', view.size() - 2) + 1 + from.column : from.column;
      }
      const qsizetype at = FindMatch(view, pattern, start, backward);
      if (at >= 0) {
        const qsizetype lineStart = view.first(at).lastIndexOf(u'\n') + 1;
        const Position match{first + view.first(at).count(u'\n'), at - lineStart};
        // A match out of sight is shown in the middle.
        const int top = verticalScrollBar()->value();
        if (match.line < top || match.line >= top + visibleLines())
          verticalScrollBar()->setValue(static_cast<int>(match.line - visibleLines() / 2));
        MoveCursor(match, false);
        MoveCursor(Position{match.line, match.column + pattern.text.size()}, true);
        return true;
      }
      line = backward ? first - 1 : first + count;
    }
  }
  return false;
}

void ReportView::Highlight(const SearchPattern& pattern) {
  highlighted_ = pattern;
  viewport()->update();
}

void ReportView::SetPointSize(int points) {
  setFont(TextFont(points));
  widestSeen_ = 0;
  UpdateMetrics();
  EnsureVisible(cursor_);
  viewport()->update();
}

void ReportView::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::SelectAll) return selectAll();
  if (event == QKeySequence::Copy) return copy();
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  Position to = cursor_;
  const qsizetype length = DecodeLine(cursor_.line).size();
  switch (event->key()) {
    case Qt::Key_Up:
      --to.line;
      break;
    case Qt::Key_Down:
      ++to.line;
      break;
    case Qt::Key_PageUp:
      to.line -= visibleLines();
      break;
    case Qt::Key_PageDown:
      to.line += visibleLines();
      break;
    case Qt::Key_Home:
      to = control ? Position{} : Position{to.line, 0};
      break;
    case Qt::Key_End:
      to = control ? Position{lineCount_ - 1, DecodeLine(lineCount_ - 1).size()}
                   : Position{to.line, length};
      break;
    case Qt::Key_Left:
      to = to.column > 0 ? Position{to.line, to.column - 1}
           : to.line > 0 ? Position{to.line - 1, DecodeLine(to.line - 1).size()}
                         : to;
      break;
    case Qt::Key_Right:
      to = to.column < length         ? Position{to.line, to.column + 1}
           : to.line + 1 < lineCount_ ? Position{to.line + 1, 0}
                                      : to;
      break;
    default:
      return QAbstractScrollArea::keyPressEvent(event);
  }
  // Page keys move the text with the cursor.
  if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)
    verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                  static_cast<int>(to.line - cursor_.line));
  MoveCursor(to, extend);
}

void ReportView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  MoveCursor(PositionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void ReportView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  // Above or below the view the text scrolls a line at a time.
  QPoint point = event->position().toPoint();
  if (point.y() < 0) point.setY(-lineHeight_);
  if (point.y() >= viewport()->height()) point.setY(viewport()->height());
  MoveCursor(PositionAt(point), true);
}

void ReportView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Position at = PositionAt(event->position().toPoint());
  const QString text = DecodeLine(at.line);
  qsizetype start = at.column, end = at.column;
  while (start > 0 && IsItemCharacter(text[start - 1])) --start;
  while (end < text.size() && IsItemCharacter(text[end])) ++end;
  MoveCursor(Position{at.line, start}, false);
  MoveCursor(Position{at.line, end}, true);
}

void ReportView::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return QAbstractScrollArea::wheelEvent(event);
  if (const int delta = event->angleDelta().y(); delta != 0) emit zoomRequested(delta > 0 ? 1 : -1);
  event->accept();
}

void ReportView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(tr("复制(&C)"), this, &ReportView::copy)->setEnabled(hasSelection());
  menu.addAction(tr("全选(&A)"), this, &ReportView::selectAll);
  menu.exec(event->globalPos());
}

void ReportView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void ReportView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

}  // namespace marvolen
