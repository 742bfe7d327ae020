// A document window: the window in the main window's MDI area that holds
// one editor on a document. A document may have several ("新建窗口"); they
// share its text, its modified flag and its undo history. The window deletes
// itself when it closes.
#ifndef MARVOLEN_SHELL_DOCUMENT_WINDOW_H_
#define MARVOLEN_SHELL_DOCUMENT_WINDOW_H_

#include <QMdiSubWindow>

namespace marvolen {

class Document;
class DocumentEditor;

class DocumentWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  // A window with a new editor on `document`, which outlives it.
  explicit DocumentWindow(Document* document);

  DocumentEditor* editor() const { return editor_; }
  Document* document() const { return document_; }

 private:
  Document* document_;
  DocumentEditor* editor_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DOCUMENT_WINDOW_H_
