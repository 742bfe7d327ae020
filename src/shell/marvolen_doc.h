// The Marvolen document and its text view. A document is a data file or a
// report, as the text its views show; every view on it ("新建窗口") edits one
// QTextDocument, with one modified flag and one undo history. Files are read
// and written losslessly: GBK characters become Chinese text, and every other
// byte and the line ends come back unchanged when the text is saved.
#ifndef MARVOLEN_SHELL_MARVOLEN_DOC_H_
#define MARVOLEN_SHELL_MARVOLEN_DOC_H_

#include <QPlainTextEdit>
#include <QPointer>
#include <optional>
#include <string>

#include "platform/gbk_text.h"

namespace marvolen {

class CMarvolenDoc : public QObject {
  Q_OBJECT

 public:
  static constexpr qint64 kMaxFileSize = 0xFFFFF;

  // A new, empty document titled `title` ("Marvo1", ...).
  CMarvolenDoc(const QString& title, QObject* parent);

  QTextDocument* text() const { return text_; }
  const QString& title() const { return title_; }  // the file name, once there is a file
  const QString& path() const { return path_; }    // absolute; "" until there is a file
  LineEnding lineEnding() const { return lineEnding_; }  // what Save writes

  // Read the file at `path`: only a plain file of at most kMaxFileSize bytes
  // (a FIFO or a device is refused before it is read). False with `error`
  // (a message for the person) set when it cannot be loaded.
  bool Load(const QString& path, QString* error);
  // The text as GBK bytes, as Save writes them; nothing, with `error` naming
  // the line and the character, when GBK cannot hold a character of it.
  std::optional<std::string> Bytes(QString* error) const;
  // Write the text to `path` as GBK: beside the old file first, which it
  // replaces once it is complete on the disk, so that a failed save leaves
  // the old file as it was. Then the document is `path`'s, unmodified.
  bool Save(const QString& path, QString* error);

  // The title, the path or the modified flag changed.
  Q_SIGNAL void changed();

 private:
  friend class CMarvolenView;  // views count themselves: the last one deletes the document
  void SetPath(const QString& path);

  QTextDocument* text_;
  QString title_;
  QString path_;
  LineEnding lineEnding_ = LineEnding::kCrLf;
  int views_ = 0;
};

// A plain-text editor on a document's text. Long lines wrap at the window
// edge; there is no horizontal scroll bar.
class CMarvolenView : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CMarvolenView(CMarvolenDoc* document);
  ~CMarvolenView() override;

  CMarvolenDoc* GetDocument() const { return document_.data(); }

 private:
  // The window style: no horizontal scroll bar or scrolling; lines wrap.
  void PreCreateWindow();

  QPointer<CMarvolenDoc> document_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_DOC_H_
