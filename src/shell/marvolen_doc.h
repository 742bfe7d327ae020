// The Marvolen document: one data file (tag set, rules or sequences) or a
// report, as the text its windows show and edit.
//
// The text is one QTextDocument shared by every window on the document
// ("新建窗口"), with one modified flag and one undo history. Loading and
// saving are lossless: GBK characters become Chinese text, and every other
// byte and the file's line ends come back unchanged when the text is saved.
// Errors are returned as messages for the person, never shown here.
#ifndef MARVOLEN_SHELL_MARVOLEN_DOC_H_
#define MARVOLEN_SHELL_MARVOLEN_DOC_H_

#include <QObject>
#include <QString>

#include "platform/gbk_text.h"

class QTextDocument;

namespace marvolen {

class CMarvolenDoc : public QObject {
  Q_OBJECT

 public:
  // The largest file a document loads.
  static constexpr qint64 kMaxFileSize = 0xFFFFF;

  // A new, empty document titled `title`.
  CMarvolenDoc(const QString& title, QObject* parent);

  QTextDocument* text() const { return text_; }
  // The file name (or "Marvo1" ...) and the absolute path ("" when new).
  const QString& title() const { return title_; }
  const QString& path() const { return path_; }
  bool isModified() const;

  // Read the file at `path`. Anything but a plain file (a folder, a device,
  // a FIFO) is refused before it is read, and so is a file of more than
  // kMaxFileSize bytes. False with `error` set when it cannot be loaded.
  bool Load(const QString& path, QString* error);

  // Write the text to `path` as GBK. The new content goes to a file beside
  // the old one, which it replaces only once it is complete on the disk, so
  // a failed save leaves the old file as it was. On success the document
  // takes `path` as its own and is no longer modified.
  bool Save(const QString& path, QString* error);

  // The views on the document count themselves; when the last one goes, the
  // document deletes itself.
  void AddView() { ++views_; }
  void RemoveView();
  int viewCount() const { return views_; }

 signals:
  // The title, the path or the modified flag changed.
  void changed();

 private:
  void SetPath(const QString& path);

  QTextDocument* text_;
  QString title_;
  QString path_;
  LineEnding lineEnding_ = LineEnding::kCrLf;
  int views_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_DOC_H_
