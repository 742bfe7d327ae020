// Writing a file so that it replaces the old one only once it is complete.
//
// The new content goes to a temporary file in the target's own folder,
// "<name>.<six random characters>.tmp". Commit flushes it, syncs it to the
// disk, renames it over the target and syncs the folder, so whoever opens the
// target sees the old content or the whole new content, never a part of it;
// a kill, a crash or a full disk at any moment leaves the old file as it
// was. Two replacements of one file at the same time never mix: the file
// ends up as one of them, whole.
//
// The contract, for every platform:
// - A target that is a symbolic link stays one: the file at the end of the
//   chain of links is replaced (created when it does not exist yet).
// - The target must be a plain file or not exist. A folder, a FIFO or a
//   device is refused by Begin at once; nothing is opened, nothing blocks.
// - A target that may not be written is refused by Begin and never
//   replaced: a file with no write permission bit at all (a file marked
//   read-only, as mode 0444; refused even for the superuser), or one this
//   user may not write. Replacing by rename only needs the folder to be
//   writable, so this is checked here.
// - The new file keeps the permission bits (and, where allowed, the owner
//   and group) of the file it replaces; a new file gets 0666 less the umask,
//   as a file created by fopen does.
// - Whatever fails, and whenever a replacement is abandoned or destroyed
//   before Commit, the temporary file is removed and the target is left as
//   it was.
// Errors come back as English text for a message: the path, then the cause.
//
// Use, for content written piece by piece:
//   std::string error;
//   auto replacement = FileReplacement::Begin(path, &error);
//   if (!replacement) ...;                       // refused: nothing changed
//   std::fwrite(..., replacement->file());       // any number of writes
//   if (!replacement->Commit(&error)) ...;       // the old file is still there
// Several files replaced together (the outputs of one run) first Prepare
// each, which makes its content complete on the disk and can fail, and
// Commit them only once every one is prepared: what is left then is a
// rename each, which fails only when the folder itself went wrong.
// and for content held in memory (an editor's save, config.ini):
//   if (!ReplaceFileContents(path, bytes, &error)) ...;
//
// The implementations are replace_file_posix.cc and replace_file_windows.cc.
// On Windows the rename is MoveFileExW (MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH) after FlushFileBuffers; "permission bits" are the
// file's attributes (a file marked read-only is refused; hidden, system and
// archive are kept); a link whose target does not exist is refused, as its
// target cannot be read without privileges; a device (NUL, CON) or a pipe is
// no plain file.
#ifndef MARVOLEN_PLATFORM_REPLACE_FILE_H_
#define MARVOLEN_PLATFORM_REPLACE_FILE_H_

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace marvolen {

class FileReplacement {
 public:
  // Start replacing the file at `path`: follow links, check the target,
  // create the temporary file. Null (and the cause in `*error` when given)
  // when the target is refused or the temporary file cannot be made.
  static std::unique_ptr<FileReplacement> Begin(const std::string& path,
                                                std::string* error = nullptr);

  // Abandons the replacement unless it was committed.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The temporary file, open for writing bytes (binary); null after Commit
  // or Abandon.
  std::FILE* file() const { return file_; }

  // The file that Commit replaces (links followed), and the temporary file.
  const std::string& target() const { return target_; }
  const std::string& temporary() const { return temporary_; }

  // Make the content complete on the disk without touching the target:
  // flush, sync, close. False (and the cause) when any write so far, the
  // flush, the sync or the close failed; the temporary file is then gone.
  // file() is null afterwards. Call at most once, before Commit.
  bool Prepare(std::string* error = nullptr);

  // Put the content in place of the target: Prepare (unless done), rename,
  // sync the folder. False (and the cause) when the preparation or the
  // rename failed; the target is then as it was and the temporary file is
  // gone. Call once.
  bool Commit(std::string* error = nullptr);

  // Drop the content: close and remove the temporary file. The target is
  // not touched. Safe to call more than once.
  void Abandon();

 private:
  FileReplacement(std::string target, std::string temporary, std::FILE* file)
      : target_(std::move(target)), temporary_(std::move(temporary)), file_(file) {}

  std::string target_;
  std::string temporary_;
  std::FILE* file_;
  bool prepared_ = false;
};

// Replace the file at `path` by `bytes` under the contract above. False, with
// the cause, when it was not replaced.
bool ReplaceFileContents(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// Six random characters (A-Z, a-z, 0-9) for the name of a temporary file.
std::string RandomNamePart();

}  // namespace marvolen

#endif  // MARVOLEN_PLATFORM_REPLACE_FILE_H_
