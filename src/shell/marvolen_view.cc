// The Marvolen text view.
#include "shell/marvolen_view.h"

#include <QFontDatabase>
#include <QTextDocument>

#include "shell/marvolen_doc.h"

namespace marvolen {

CMarvolenView::CMarvolenView(CMarvolenDoc* document, QWidget* parent)
    : QPlainTextEdit(parent), document_(document) {
  QFont font;
  font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setStyleHint(QFont::TypeWriter);
  setFont(font);
  PreCreateWindow();
  setDocument(document->text());
  document->text()->setDefaultFont(font);
  document->AddView();
}

CMarvolenView::~CMarvolenView() {
  if (document_ != nullptr) document_->RemoveView();
}

CMarvolenDoc* CMarvolenView::GetDocument() const { return document_; }

void CMarvolenView::PreCreateWindow() {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

}  // namespace marvolen
