// The edit view of the framework: a plain-text editor on its document's
// shared text, with raw loading and saving, the edit commands, printing and
// print preview.
//
// Raw serialization keeps the file's bytes: GBK characters are shown as
// Chinese text, and every byte that is not part of one, and the file's line
// ends, come back unchanged when the text is saved.
#ifndef MARVOLEN_SHELL_EDIT_VIEW_H_
#define MARVOLEN_SHELL_EDIT_VIEW_H_

#include <QPlainTextEdit>
#include <QPointer>

#include "shell/command_target.h"
#include "shell/document.h"

class QPrinter;

namespace marvolen {

struct Archive;
class Document;
class MdiChildFrame;

// The window style of an edit view, before it is created.
struct EditStyle {
  bool horizontalScrollBar = true;  // WS_HSCROLL
  bool autoHScroll = true;          // ES_AUTOHSCROLL: lines run on instead of wrapping
};

class EditView : public QPlainTextEdit, public CommandTarget {
  Q_OBJECT

 public:
  // The largest file an edit view loads.
  static constexpr qint64 kMaxFileSize = 0xFFFFF;

  EditView();
  ~EditView() override;

  // Attach to `document` and take on the window style PreCreateWindow gives.
  bool Create(Document* document);

  Document* GetDocument() const { return document_; }
  MdiChildFrame* GetParentFrame() const;

  // Load the file's bytes into the text, or store the text as bytes.
  void SerializeRaw(Archive& ar);

  // Print the text on `printer`.
  void PrintText(QPrinter* printer);

 protected:
  virtual bool PreCreateWindow(EditStyle& style);

  void OnFilePrint();
  void OnFilePrintDirect();
  void OnFilePrintPreview();

 private:
  QPointer<Document> document_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_EDIT_VIEW_H_
