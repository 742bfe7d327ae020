// A document window.
#include "shell/document_window.h"

#include <QListWidget>
#include <QSplitter>
#include <algorithm>

#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/images.h"

namespace marvolen {

DocumentWindow::DocumentWindow(Document* document)
    : document_(document), editor_(new DocumentEditor(document->text())), notes_(new QListWidget) {
  setAttribute(Qt::WA_DeleteOnClose);
  notes_->setObjectName(QStringLiteral("dataFileNotes"));
  notes_->hide();
  auto* column = new QSplitter(Qt::Vertical);
  column->setChildrenCollapsible(false);
  column->addWidget(editor_);
  column->addWidget(notes_);
  column->setStretchFactor(0, 1);
  column->setFocusProxy(editor_);
  setWidget(column);
  setWindowIcon(AppIcon(true));
  // A click on a fault goes to its line.
  connect(notes_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    editor_->GoToLine(item->data(Qt::UserRole).toInt());
    editor_->setFocus();
  });
  connect(notes_, &QListWidget::itemActivated, notes_, &QListWidget::itemClicked);
}

void DocumentWindow::SetNotes(const QList<LineNote>& notes) {
  editor_->SetNotes(notes);
  notes_->clear();
  for (const LineNote& note : notes) {
    auto* item = new QListWidgetItem(
        note.line > 0 ? tr("第 %1 行：%2").arg(QString::number(note.line), note.text) : note.text,
        notes_);
    item->setData(Qt::UserRole, note.line);
    item->setForeground(Qt::darkRed);
  }
  if (notes.isEmpty() == notes_->isHidden()) return;
  notes_->setVisible(!notes.isEmpty());
  if (!notes.isEmpty()) {
    // A few lines high, the editor keeping the rest.
    auto* column = static_cast<QSplitter*>(widget());
    const int rows = static_cast<int>(std::min<qsizetype>(notes.size(), 4));
    const int height = notes_->sizeHintForRow(0) * rows + 2 * notes_->frameWidth() + 4;
    column->setSizes({std::max(column->height() - height, 1), height});
  }
}

}  // namespace marvolen
