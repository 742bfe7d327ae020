// A document window: the window in the main window's MDI area that holds
// one editor on a document. A document may have several ("新建窗口"); they
// share its text, its modified flag and its undo history. The window deletes
// itself when it closes. Under the editor, the faults of a data file are
// listed while it has any (SetNotes); a click on one goes to its line.
#ifndef MARVOLEN_SHELL_DOCUMENT_WINDOW_H_
#define MARVOLEN_SHELL_DOCUMENT_WINDOW_H_

#include <QList>
#include <QMdiSubWindow>

class QListWidget;

namespace marvolen {

class Document;
class DocumentEditor;
struct LineNote;

class DocumentWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  // A window with a new editor on `document`, which outlives it.
  explicit DocumentWindow(Document* document);

  DocumentEditor* editor() const { return editor_; }
  Document* document() const { return document_; }
  // The list of faults under the editor.
  QListWidget* notesList() const { return notes_; }

  // Mark the faults `notes` in the editor and list them (none: the list
  // hides).
  void SetNotes(const QList<LineNote>& notes);

 private:
  Document* document_;
  DocumentEditor* editor_;
  QListWidget* notes_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DOCUMENT_WINDOW_H_
