// The Marvolen document and its text view. A document is a data file or a
// report, as the text its views show; every view on it ("新建窗口") edits one
// QTextDocument, with one modified flag and one undo history. Files are read
// and written losslessly: GBK characters become Chinese text, and every other
// byte and the line ends come back unchanged when the text is saved.
#ifndef MARVOLEN_SHELL_MARVOLEN_DOC_H_
#define MARVOLEN_SHELL_MARVOLEN_DOC_H_

#include <QByteArray>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QPointer>
#include <optional>
#include <string>

#include "encoding/gbk_text.h"
#include "platform/file_system.h"
#include "shell/text_pane.h"
#include "shell/text_search.h"

namespace marvolen {

// Open the plain file at `path` for reading, refusing anything else (a FIFO
// or a device, before a byte is read). Null with `error` (a message for the
// person) set when it cannot be opened.
UniqueFile OpenForReading(const QString& path, QString* error);
// The message for a read of `path` that failed with the system's
// `errorNumber`.
QString ReadFailure(const QString& path, int errorNumber);

// Read the plain file at `path` whole into `bytes`, refusing anything else (a
// FIFO or a device, before a byte is read) and a file of more than
// `maxBytes` bytes ("该文件太大，无法打开。"). False with `error` (a message for
// the person) set when it cannot be read.
bool ReadFileBytes(const QString& path, qint64 maxBytes, std::string* bytes, QString* error);

// A path as config.ini gives it (its bytes: GBK or UTF-8), taken relative to
// `startupDir`; "" for an empty value.
QString ConfiguredPath(const std::string& startupDir, const std::string& value);

// The size and time of change of a file, to tell when another program has
// changed it; equal to a default stamp when the file is missing.
struct DiskStamp {
  qint64 size = -1;
  QDateTime modified;
  static DiskStamp Of(const QString& path);
  bool operator==(const DiskStamp&) const = default;
};

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
  friend class CMarvolenView;  // views count themselves: the last one deletes the document
  void SetPath(const QString& path);

  QTextDocument* text_;
  QString title_;
  QString path_;
  LineEnding lineEnding_ = LineEnding::kCrLf;
  DiskStamp stamp_;    // the file as loaded or saved
  QByteArray digest_;  // its bytes' digest
  DiskStamp noticed_;  // the file as last noticed
  bool goneNoticed_ = false;
  int views_ = 0;
};

// The font of the text windows at `points` (0: the default size).
QFont TextFont(int points);

// A plain-text editor on a document's text. Long lines wrap at the window
// edge; there is no horizontal scroll bar. The matches of the find bar's
// pattern in sight are marked.
class CMarvolenView : public QPlainTextEdit, public TextPane {
  Q_OBJECT

 public:
  explicit CMarvolenView(CMarvolenDoc* document);
  ~CMarvolenView() override;

  CMarvolenDoc* GetDocument() const { return document_.data(); }

  QWidget* widget() override { return this; }
  QPlainTextEdit* editor() override { return this; }
  bool Find(const SearchPattern& pattern, bool backward, bool* wrapped) override;
  void Highlight(const SearchPattern& pattern) override;
  qint64 lineCount() const override { return blockCount(); }
  qint64 cursorLine() const override { return textCursor().blockNumber() + 1; }
  qint64 cursorColumn() const override { return textCursor().positionInBlock() + 1; }
  void GoToLine(qint64 line) override;
  void SetPointSize(int points) override;

  // Ctrl+wheel: one step larger (1) or smaller (-1).
  Q_SIGNAL void zoomRequested(int steps);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  // A new size brings other lines into sight, and wrapped lines re-wrap.
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The window style: no horizontal scroll bar or scrolling; lines wrap.
  void PreCreateWindow();
  void MarkMatchesInSight();

  QPointer<CMarvolenDoc> document_;
  SearchPattern highlighted_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_DOC_H_
