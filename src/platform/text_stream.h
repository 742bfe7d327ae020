// Text-mode file streams for the analysis.
//
// InputStream reads a data file as a C runtime in text mode does on Windows:
// one byte at a time, a CR LF pair arrives as a single LF, a lone CR stays a
// CR, and a Ctrl-Z byte (0x1A) ends the input (a file saved by an old DOS
// editor ends in one). Up to two bytes can be pushed back; pushing back
// clears the end-of-file state. OutputStream writes every LF as CR LF, on every platform, so that
// reports are byte-identical wherever they are made.
//
// The analysis never touches FILE* or std::fstream directly; it works on
// these two classes.
#ifndef MARVOLEN_PLATFORM_TEXT_STREAM_H_
#define MARVOLEN_PLATFORM_TEXT_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace marvolen {

class InputStream {
 public:
  // Open a file for reading; returns null at once when it cannot be opened
  // or is no plain file (a folder, a device, a pipe). The file is read as
  // far as the caller reads, a block at a time, so a huge file costs no more
  // than the part that is read. A read error later on ends the stream
  // there, as it ends a C stream.
  static std::unique_ptr<InputStream> Open(const std::string& path);
  // A stream over bytes held in memory (the bytes as they would be on disk).
  static std::unique_ptr<InputStream> FromBytes(std::string bytes);

  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  // Return the next byte (0-255), or -1 at the end of the stream (its last
  // byte, or a Ctrl-Z byte), which then sets the end-of-file state.
  int Get();

  // Push a byte back so that the next Get returns it. At most two bytes may
  // be pending at a time (further pushes are ignored). Pushing back -1 does
  // nothing. Any successful push-back clears the end-of-file state.
  void Unget(int byte);

  // True once Get has returned -1 and no byte has been pushed back since.
  bool Eof() const { return eof_; }

  // The line (1 for the first) that holds the last byte read and not pushed
  // back; 0 before any. A line's LF belongs to it. Readers that stop on an
  // error tell the person where with it.
  int line() const;

  // Read one line as fgets does with a buffer of maxBytes + 1: up to and
  // including the next LF, at most maxBytes bytes. Returns false (and leaves
  // `line` empty) when the stream is at its end before any byte is read.
  bool ReadLine(std::string& line, std::size_t maxBytes = 99);

 private:
  explicit InputStream(std::string bytes) : data_(std::move(bytes)) {}
  explicit InputStream(UniqueFile file) : file_(std::move(file)) {}

  // Make the next raw byte available in data_ at pos_: false at the end of
  // the bytes, or of the file (or at a read error), and from a Ctrl-Z byte on.
  bool Available();

  UniqueFile file_;   // null for a stream over bytes
  std::string data_;  // raw bytes as on disk: all of them, or the block last read
  std::size_t pos_ = 0;
  bool ctrlZ_ = false;  // a Ctrl-Z byte was reached: nothing after it is read
  unsigned char pushed_[2] = {0, 0};
  int pushedCount_ = 0;
  bool eof_ = false;
  // The line feeds read and not pushed back, and the last bytes read (one
  // more than can be pushed back), for line().
  int lineFeeds_ = 0;
  unsigned char recent_[3] = {0, 0, 0};
  int recentCount_ = 0;
};

class FileReplacement;

class OutputStream {
 public:
  enum class LineEnds {
    kCrLf,     // every LF is written as CR LF
    kAsGiven,  // the bytes are written as they are given
  };

  // Create or empty a file for writing; returns null when that fails. For
  // tests' scratch files only: every file a program writes replaces its
  // file whole (Replacing).
  static std::unique_ptr<OutputStream> Create(const std::string& path);
  // A stream whose bytes replace the file at `path` only when Close
  // succeeds: they go to a temporary file beside it (FileReplacement, with
  // its contract for links, permissions and files that are no plain file).
  // Null, with the cause in `*error`, when the replacement cannot begin.
  static std::unique_ptr<OutputStream> Replacing(const std::string& path,
                                                 std::string* error = nullptr,
                                                 LineEnds lineEnds = LineEnds::kCrLf);
  // A stream that keeps nothing: for a report that is made only for what
  // its observers see.
  static std::unique_ptr<OutputStream> Discarding();

  // A stream not closed is closed; a replacing stream not closed is
  // abandoned, so an interrupted writer never replaces a file.
  ~OutputStream();
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  // Write the bytes, each LF as CR LF (unless made with kAsGiven). Bytes
  // are never interpreted otherwise. Small
  // writes are cheap: the bytes are gathered and go out in large blocks.
  void Write(std::string_view text);

  // The number of bytes written so far, as on disk (CR LF counts two).
  std::uint64_t Position() const { return flushed_ + buffer_.size(); }

  // Drop every byte written after `position` (a value of Position), so that
  // the next byte goes there. False when that fails; the stream has then
  // failed (ok() is false).
  bool TruncateTo(std::uint64_t position);

  // Flush and make the content complete on the disk, without replacing
  // the file yet (FileReplacement::Prepare); Close then only puts it in
  // place. False when any write, the flush or the sync failed; the stream
  // has then left its file as it was. For a plain stream it is Close.
  // The outputs of one run are each finished before any is closed, so
  // that they replace their files together or not at all.
  bool Finish();

  // Flush and close; a replacing stream then replaces its file. Returns
  // false when any write, the flush, the close or the replacement failed
  // (disk full, I/O error); a replacing stream has then left the file as it
  // was. Safe to call more than once.
  bool Close();

  // Close without keeping anything: a replacing stream removes its
  // temporary file and leaves the file as it was. A plain stream is closed.
  void Abandon();

  // False once a write has failed.
  bool ok() const { return ok_; }

 private:
  OutputStream(std::FILE* file, std::string path);

  // Write the gathered bytes to the file.
  void Flush();

  std::FILE* file_;
  std::string path_;  // the file the bytes go to (the temporary one when replacing)
  std::unique_ptr<FileReplacement> replacement_;  // null for a plain stream
  LineEnds lineEnds_ = LineEnds::kCrLf;
  std::string buffer_;         // bytes not yet written to the file
  std::uint64_t flushed_ = 0;  // bytes written to the file
  bool ok_ = true;
  bool finished_ = false;  // Finish succeeded; Close only puts the file in place
};

}  // namespace marvolen

#endif  // MARVOLEN_PLATFORM_TEXT_STREAM_H_
