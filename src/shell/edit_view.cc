// The edit view of the framework.
#include "shell/edit_view.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontDatabase>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>

#include "shell/application.h"
#include "shell/command_ids.h"
#include "shell/document.h"
#include "shell/mdi_child_frame.h"
#include "shell/mdi_frame_window.h"

namespace marvolen {

namespace {

// "“X”（U+XXXX）" for a character named in a message.
QString CharacterName(char32_t c) {
  return QStringLiteral("“%1”（U+%2）")
      .arg(QString::fromUcs4(&c, 1), QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

}  // namespace

EditView::EditView() {
  QFont font;
  font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setStyleHint(QFont::TypeWriter);
  setFont(font);

  OnCommand(ID_EDIT_UNDO, [this] { undo(); },
            [this](CommandState& s) { s.enabled = !isReadOnly() && document()->isUndoAvailable(); });
  OnCommand(ID_EDIT_CUT, [this] { cut(); },
            [this](CommandState& s) { s.enabled = !isReadOnly() && textCursor().hasSelection(); });
  OnCommand(ID_EDIT_COPY, [this] { copy(); },
            [this](CommandState& s) { s.enabled = textCursor().hasSelection(); });
  OnCommand(ID_EDIT_PASTE, [this] { paste(); }, [this](CommandState& s) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    s.enabled = !isReadOnly() && data != nullptr && data->hasText();
  });
}

EditView::~EditView() {
  if (document_ != nullptr) document_->RemoveView(this);
}

bool EditView::Create(Document* document) {
  EditStyle style;
  if (!PreCreateWindow(style)) return false;
  setHorizontalScrollBarPolicy(style.horizontalScrollBar ? Qt::ScrollBarAsNeeded
                                                         : Qt::ScrollBarAlwaysOff);
  setLineWrapMode(style.autoHScroll ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  document_ = document;
  setDocument(document->text());
  document->text()->setDefaultFont(font());
  document->AddView(this);
  auto update = [this] {
    if (document_ != nullptr && document_->app()->mainWindow() != nullptr)
      document_->app()->mainWindow()->RequestUpdateUI();
  };
  connect(this, &QPlainTextEdit::copyAvailable, this, update);
  connect(this, &QPlainTextEdit::undoAvailable, this, update);
  return true;
}

bool EditView::PreCreateWindow(EditStyle& style) {
  (void)style;
  return true;
}

MdiChildFrame* EditView::GetParentFrame() const {
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget())
    if (auto* frame = qobject_cast<MdiChildFrame*>(w)) return frame;
  return nullptr;
}

void EditView::SerializeRaw(Archive& ar) {
  Document* doc = document_;
  if (ar.loading) {
    if (ar.file->size() > kMaxFileSize) {
      doc->app()->ShowMessage(QStringLiteral("该文件太大，无法打开。"));
      ar.ok = false;
      ar.reported = true;
      return;
    }
    const QByteArray bytes = ar.file->readAll();
    if (bytes.size() != ar.file->size()) {
      ar.ok = false;
      return;
    }
    const EditableText text = DecodeGbkText(std::string_view(bytes.constData(), bytes.size()));
    doc->SetLineEnding(text.lineEnding);
    document()->setPlainText(QString::fromStdU16String(text.text));
    document()->clearUndoRedoStacks();
    return;
  }
  const QString raw = document()->toRawText();
  GbkEncodeError error;
  const auto bytes = EncodeGbkText(
      std::u16string_view(reinterpret_cast<const char16_t*>(raw.utf16()), raw.size()),
      doc->lineEnding(), &error);
  if (!bytes) {
    const QTextBlock block = document()->findBlock(static_cast<int>(error.index));
    doc->app()->ShowMessage(QStringLiteral("%1 第 %2 行含有 GBK 编码无法表示的字符%3，文件未保存。")
                                .arg(doc->GetTitle())
                                .arg(block.blockNumber() + 1)
                                .arg(CharacterName(error.character)));
    ar.ok = false;
    ar.reported = true;
    return;
  }
  if (ar.file->write(bytes->data(), static_cast<qint64>(bytes->size())) !=
      static_cast<qint64>(bytes->size()))
    ar.ok = false;
}

void EditView::PrintText(QPrinter* printer) {
  document()->print(printer);
}

void EditView::OnFilePrint() {
  Application* app = document_->app();
  if (!app->dialogs().ConfirmPrint(this, &app->printer())) return;
  PrintText(&app->printer());
}

void EditView::OnFilePrintDirect() { PrintText(&document_->app()->printer()); }

void EditView::OnFilePrintPreview() {
  Application* app = document_->app();
  QPrintPreviewDialog preview(&app->printer(), app->mainWindow());
  preview.setWindowTitle(QStringLiteral("%1 - 打印预览").arg(document_->GetTitle()));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, &EditView::PrintText);
  app->dialogs().RunModal(&preview);
}

}  // namespace marvolen
