// A document window of the multiple-document framework.
#include "shell/mdi_child_frame.h"

#include <QCloseEvent>

#include "shell/document.h"
#include "shell/edit_view.h"

namespace marvolen {

MdiChildFrame::MdiChildFrame() { setAttribute(Qt::WA_DeleteOnClose); }

MdiChildFrame::~MdiChildFrame() = default;

void MdiChildFrame::SetView(EditView* view) {
  view_ = view;
  setWidget(view);
}

Document* MdiChildFrame::GetActiveDocument() const {
  return view_ != nullptr ? view_->GetDocument() : nullptr;
}

void MdiChildFrame::SetFrameTitle(const QString& title) { setWindowTitle(title); }

void MdiChildFrame::CloseWithoutPrompt() {
  forceClose_ = true;
  close();
}

void MdiChildFrame::closeEvent(QCloseEvent* event) {
  Document* doc = GetActiveDocument();
  if (!forceClose_ && doc != nullptr && doc->views().size() == 1 && !doc->SaveModified()) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

}  // namespace marvolen
