// The editor of a document's text.
#include "shell/document_editor.h"

#include <QtWidgets>

namespace marvolen {

QFont TextFont(int points) {
  QFont font;
  // A fixed-pitch font whose Chinese characters are two columns wide, so that
  // the columns of a rules file line up: Noto's where it is installed, 新宋体
  // (NSimSun) on Chinese Windows, else the system's fixed font.
  font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("NSimSun"),
                    QStringLiteral("Noto Sans CJK SC"),
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setStyleHint(QFont::TypeWriter);
  if (points > 0) font.setPointSize(points);
  return font;
}

DocumentEditor::DocumentEditor(QTextDocument* text) {
  setFont(TextFont(0));
  // No horizontal scroll bar or scrolling: lines wrap.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setDocument(text);
  text->setDefaultFont(font());
  // The marks follow the text in sight.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
          &DocumentEditor::MarkMatchesInSight);
  connect(this, &QPlainTextEdit::textChanged, this, &DocumentEditor::MarkMatchesInSight);
}

bool DocumentEditor::Find(const SearchPattern& pattern, bool backward, bool* wrapped) {
  // Positions in the raw text are the document's (blocks end in U+2029).
  const QString text = document()->toRawText();
  const QTextCursor cursor = textCursor();
  qsizetype at = FindMatch(text, pattern,
                           backward ? cursor.selectionStart() : cursor.selectionEnd(), backward);
  *wrapped = at < 0;
  if (at < 0) at = FindMatch(text, pattern, backward ? text.size() : 0, backward);
  if (at < 0) return false;
  QTextCursor match(document());
  match.setPosition(static_cast<int>(at));
  match.setPosition(static_cast<int>(at + pattern.text.size()), QTextCursor::KeepAnchor);
  setTextCursor(match);
  centerCursor();
  return true;
}

void DocumentEditor::Highlight(const SearchPattern& pattern) {
  highlighted_ = pattern;
  MarkMatchesInSight();
}

void DocumentEditor::SetNotes(const QList<LineNote>& notes) {
  notes_ = notes;
  MarkMatchesInSight();
}

QString DocumentEditor::NotesAt(int line) const {
  QStringList texts;
  for (const LineNote& note : notes_)
    if (note.line == line) texts.append(note.text);
  return texts.join(QLatin1Char('\n'));
}

bool DocumentEditor::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QPlainTextEdit::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QString text = NotesAt(cursorForPosition(help->pos()).blockNumber() + 1);
  text.isEmpty() ? QToolTip::hideText() : QToolTip::showText(help->globalPos(), text, viewport());
  return true;
}

void DocumentEditor::MarkMatchesInSight() {
  QList<QTextEdit::ExtraSelection> marks;
  // The lines with faults: the text underlined, an empty line tinted.
  for (const LineNote& note : notes_) {
    const QTextBlock block = document()->findBlockByNumber(note.line - 1);
    if (!block.isValid()) continue;
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(block);
    if (block.length() > 1) {
      mark.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
      mark.format.setUnderlineColor(Qt::red);
    } else {
      mark.format.setProperty(QTextFormat::FullWidthSelection, true);
      mark.format.setBackground(QColor(255, 220, 220));
    }
    marks.append(mark);
  }
  const qreal bottom = viewport()->height();
  for (QTextBlock block = firstVisibleBlock();
       !highlighted_.empty() && block.isValid() &&
       blockBoundingGeometry(block).translated(contentOffset()).top() <= bottom;
       block = block.next()) {
    const QString line = block.text();
    for (qsizetype at = FindMatch(line, highlighted_, 0); at >= 0;
         at = FindMatch(line, highlighted_, at + highlighted_.text.size())) {
      QTextEdit::ExtraSelection mark;
      mark.cursor = QTextCursor(block);
      mark.cursor.setPosition(block.position() + static_cast<int>(at));
      mark.cursor.setPosition(mark.cursor.position() + static_cast<int>(highlighted_.text.size()),
                              QTextCursor::KeepAnchor);
      mark.format.setBackground(QColor(255, 230, 120));
      marks.append(mark);
    }
  }
  setExtraSelections(marks);
}

void DocumentEditor::GoToLine(qint64 line) {
  const int number = static_cast<int>(std::clamp<qint64>(line, 1, blockCount())) - 1;
  setTextCursor(QTextCursor(document()->findBlockByNumber(number)));
  centerCursor();
}

void DocumentEditor::SetPointSize(int points) {
  setFont(TextFont(points));
  document()->setDefaultFont(font());
  MarkMatchesInSight();
}

void DocumentEditor::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  MarkMatchesInSight();
}

void DocumentEditor::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return QPlainTextEdit::wheelEvent(event);
  if (const int delta = event->angleDelta().y(); delta != 0) emit zoomRequested(delta > 0 ? 1 : -1);
  event->accept();
}

}  // namespace marvolen