// A document window.
#include "shell/document_window.h"

#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/images.h"

namespace marvolen {

DocumentWindow::DocumentWindow(Document* document)
    : document_(document), editor_(new DocumentEditor(document->text())) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWidget(editor_);
  setWindowIcon(AppIcon(true));
}

}  // namespace marvolen
