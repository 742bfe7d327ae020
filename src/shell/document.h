// A document: a data file or a report, as the text its windows show; every
// editor on it ("新建窗口") edits one QTextDocument, with one modified flag
// and one undo history. Files are read and written losslessly: GBK
// characters become Chinese text, and every other byte and the line ends
// come back unchanged when the text is saved.
#ifndef MARVOLEN_SHELL_DOCUMENT_H_
#define MARVOLEN_SHELL_DOCUMENT_H_

#include <QByteArray>
#include <QObject>
#include <QTextDocument>
#include <optional>
#include <string>

#include "encoding/gbk_text.h"
#include "shell/file_io.h"

namespace marvolen {

class Document : public QObject {
  Q_OBJECT

 public:
  static constexpr qint64 kMaxFileSize = 0xFFFFF;

  // A new, empty document titled `title` ("Marvo1", ...), owned by
  // `owner`.
  Document(const QString& title, QObject* owner);

  QTextDocument* text() const { return text_; }
  const QString& title() const { return title_; }        // the file name, once there is a file
  const QString& path() const { return path_; }          // absolute; "" until there is a file
  LineEnding lineEnding() const { return lineEnding_; }  // what Save writes

  // Read the file at `path` (ReadFileBytes, at most kMaxFileSize bytes).
  // False with `error` (a message for the person) set when it cannot be
  // loaded.
  bool Load(const QString& path, QString* error);
  // The text as GBK bytes, as Save writes them; nothing, with `error` naming
  // the line and the character, when GBK cannot hold a character of it.
  std::optional<std::string> Bytes(QString* error) const;
  // Write the text to `path` as GBK: beside the old file first, which it
  // replaces once it is complete on the disk, so that a failed save leaves
  // the old file as it was. Then the document is `path`'s, unmodified.
  bool Save(const QString& path, QString* error);

  // True when the file was changed on the disk since it was loaded or saved
  // (or since the last AcceptDiskState); false when it is gone.
  bool ChangedOnDisk() const;
  // Note the file as it is on the disk now, so that its change is not
  // noticed again; the text is still the one read (see OverwritesChange).
  void AcceptDiskState() { noticed_ = DiskStamp::Of(path_); }
  // True when the plain file on the disk no longer holds the bytes loaded or
  // saved: a save would overwrite another program's change.
  bool OverwritesChange() const;
  // True when the document's file was deleted or moved away on the disk.
  bool GoneFromDisk() const { return !path_.isEmpty() && DiskStamp::Of(path_).size < 0; }
  // True, once, when the file is found gone from the disk after it was last
  // seen there.
  bool NoticeGone();

  // The title, the path or the modified flag changed.
  Q_SIGNAL void changed();

 private:
  void SetPath(const QString& path);

  QTextDocument* text_;
  QString title_;
  QString path_;
  LineEnding lineEnding_ = LineEnding::kCrLf;
  DiskStamp stamp_;    // the file as loaded or saved
  QByteArray digest_;  // its bytes' digest
  DiskStamp noticed_;  // the file as last noticed
  bool goneNoticed_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DOCUMENT_H_
