// The find bar.
#include "shell/find_bar.h"

#include <QtWidgets>

#include "shell/text_pane.h"

namespace marvolen {

FindBar::FindBar()
    : find_(new QLineEdit),
      replace_(new QLineEdit),
      matchCase_(new QCheckBox(QCoreApplication::translate("FindBar", "区分大小写(&C)"))),
      wholeWord_(new QCheckBox(QCoreApplication::translate("FindBar", "全字匹配(&O)"))),
      replaceRow_(new QWidget) {
  find_->setObjectName(QStringLiteral("findField"));
  replace_->setObjectName(QStringLiteral("replaceField"));
  matchCase_->setObjectName(QStringLiteral("matchCase"));
  wholeWord_->setObjectName(QStringLiteral("wholeWord"));
  auto button = [this](const char* text, auto slot) {
    auto* b = new QToolButton;
    b->setText(tr(text));
    connect(b, &QToolButton::clicked, this, slot);
    return b;
  };
  auto* findRow = new QHBoxLayout;
  findRow->addWidget(new QLabel(QCoreApplication::translate("FindBar", "查找：")));
  findRow->addWidget(find_, 1);
  findRow->addWidget(button(QT_TRANSLATE_NOOP("FindBar", "上一个"), [this] { FindNext(true); }));
  findRow->addWidget(button(QT_TRANSLATE_NOOP("FindBar", "下一个"), [this] { FindNext(false); }));
  findRow->addWidget(matchCase_);
  findRow->addWidget(wholeWord_);
  findRow->addWidget(button(QT_TRANSLATE_NOOP("FindBar", "关闭"), &FindBar::Close));
  auto* replaceRow = new QHBoxLayout(replaceRow_);
  replaceRow->setContentsMargins(0, 0, 0, 0);
  replaceRow->addWidget(new QLabel(QCoreApplication::translate("FindBar", "替换为：")));
  replaceRow->addWidget(replace_, 1);
  replaceRow->addWidget(button(QT_TRANSLATE_NOOP("FindBar", "替换"), &FindBar::ReplaceNext));
  replaceRow->addWidget(button(QT_TRANSLATE_NOOP("FindBar", "全部替换"), &FindBar::ReplaceAll));
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(4, 2, 4, 2);
  rows->addLayout(findRow);
  rows->addWidget(replaceRow_);
  find_->setPlaceholderText(
      QCoreApplication::translate("FindBar", "要查找的文字（Enter 下一个，Shift+Enter 上一个）"));
  find_->installEventFilter(this);
  connect(find_, &QLineEdit::textChanged, this, &FindBar::Mark);
  connect(matchCase_, &QCheckBox::toggled, this, &FindBar::Mark);
  connect(wholeWord_, &QCheckBox::toggled, this, &FindBar::Mark);
  connect(replace_, &QLineEdit::returnPressed, this, &FindBar::ReplaceNext);
  hide();
}

SearchPattern FindBar::pattern() const {
  return {find_->text(), matchCase_->isChecked(), wholeWord_->isChecked()};
}

void FindBar::Open(bool replace) {
  if (QPlainTextEdit* editor = pane_ != nullptr ? pane_->editor() : nullptr) {
    const QString selected = editor->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
      find_->setText(selected);
  }
  ShowReplaceRow(replace && pane_ != nullptr && pane_->editor() != nullptr);
  show();
  Mark();
  find_->setFocus();
  find_->selectAll();
}

void FindBar::ShowReplaceRow(bool shown) { replaceRow_->setVisible(shown); }

void FindBar::SetPane(TextPane* pane) {
  if (pane == pane_) return;
  if (pane_ != nullptr) pane_->Highlight({});
  pane_ = pane;
  if (pane_ == nullptr || pane_->editor() == nullptr) ShowReplaceRow(false);
  Mark();
}

void FindBar::Mark() {
  if (pane_ != nullptr) pane_->Highlight(isVisible() ? pattern() : SearchPattern());
}

void FindBar::Close() {
  // The focus goes back to the text before the bar goes, or Qt would give it
  // to whatever comes next, in another window maybe.
  if (pane_ != nullptr && isAncestorOf(QApplication::focusWidget())) pane_->widget()->setFocus();
  hide();
}

void FindBar::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Mark();
}

void FindBar::FindNext(bool backward) {
  if (pane_ == nullptr) return;
  if (find_->text().isEmpty()) return Open(false);
  bool wrapped = false;
  if (!pane_->Find(pattern(), backward, &wrapped)) {
    emit message(QCoreApplication::translate("FindBar", "找不到“%1”。").arg(find_->text()));
  } else if (wrapped) {
    emit message(backward ? QCoreApplication::translate("FindBar", "已查找到开头，从末尾继续。")
                          : QCoreApplication::translate("FindBar", "已查找到末尾，从开头继续。"));
  } else {
    emit message(QString());
  }
}

void FindBar::ReplaceNext() {
  QPlainTextEdit* editor = pane_ != nullptr ? pane_->editor() : nullptr;
  if (editor == nullptr || find_->text().isEmpty()) return;
  // The selection is replaced only when it is a match where it stands.
  QTextCursor cursor = editor->textCursor();
  const QTextBlock block = editor->document()->findBlock(cursor.selectionStart());
  const QString line = block.text();
  const int start = cursor.selectionStart() - block.position();
  if (cursor.hasSelection() &&
      cursor.selectionEnd() - cursor.selectionStart() == find_->text().size() &&
      FindMatch(line, pattern(), start) == start)
    cursor.insertText(replace_->text());
  FindNext(false);
}

void FindBar::ReplaceAll() {
  QPlainTextEdit* editor = pane_ != nullptr ? pane_->editor() : nullptr;
  const SearchPattern wanted = pattern();
  if (editor == nullptr || wanted.empty()) return;
  // Positions in the raw text are the document's (blocks end in U+2029).
  const QString text = editor->document()->toRawText();
  QList<qsizetype> matches;
  for (qsizetype at = FindMatch(text, wanted, 0); at >= 0;
       at = FindMatch(text, wanted, at + wanted.text.size()))
    matches.append(at);
  // One step to undo; from the last match to the first, so that the
  // positions before stay valid.
  QTextCursor cursor(editor->document());
  cursor.beginEditBlock();
  for (auto it = matches.crbegin(); it != matches.crend(); ++it) {
    cursor.setPosition(static_cast<int>(*it));
    cursor.setPosition(static_cast<int>(*it + wanted.text.size()), QTextCursor::KeepAnchor);
    cursor.insertText(replace_->text());
  }
  cursor.endEditBlock();
  const int replaced = static_cast<int>(matches.size());
  emit message(replaced == 0
                   ? QCoreApplication::translate("FindBar", "找不到“%1”。").arg(wanted.text)
                   : QCoreApplication::translate("FindBar", "已替换 %n 处。", nullptr, replaced));
}

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
  Close();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
  const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
  if (watched != find_ || key == nullptr ||
      (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
    return QWidget::eventFilter(watched, event);
  FindNext(key->modifiers() & Qt::ShiftModifier);
  return true;
}

}  // namespace marvolen
