// Replacing a file by rename, on Windows: MoveFileExW over the target once
// the temporary file's content is flushed to the disk.
#include "platform/replace_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "encoding/windows_text.h"

namespace marvolen {

namespace {

// Others may go on reading, writing or deleting a file opened only to look at it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Fail(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
  return false;
}

std::string LastError() { return WindowsErrorText(GetLastError()); }

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The folder part of a path with its separator ("" when it has none, "C:"
// for a name relative to drive C), and the name part.
std::wstring FolderPrefixOf(const std::wstring& path) {
  std::size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1]) && !(end == 2 && path[1] == L':')) --end;
  return path.substr(0, end);
}

// The folder as a message names it: without its last separator, unless it
// is a root (C:\ or \); "." for none.
std::string FolderForMessage(std::wstring folder) {
  if (folder.empty()) return ".";
  const bool root = folder.size() == 1 || (folder.size() == 3 && folder[1] == L':');
  if (!root && IsSeparator(folder.back())) folder.pop_back();
  return WideToUtf8(folder);
}

// Attributes a replacement keeps: those a person or a tool sets on a file.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The file a link leads to ("\\?\" taken off the name the system gives),
// or the path itself when it is no link. False when it is a link whose
// target cannot be opened.
bool FollowLink(const std::wstring& path, DWORD attributes, std::wstring& target,
                std::string* error) {
  target = path;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return true;
  HANDLE h = CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return Fail(error, WideToUtf8(path) + ": cannot follow the link: " + LastError());
  }
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetFinalPathNameByHandleW(h, buffer, sizeof buffer / sizeof buffer[0],
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  const DWORD cause = GetLastError();
  CloseHandle(h);
  if (n == 0 || n >= sizeof buffer / sizeof buffer[0]) {
    return Fail(error, WideToUtf8(path) + ": cannot follow the link: " + WindowsErrorText(cause));
  }
  std::wstring final(buffer, n);
  if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    final = L"\\\\" + final.substr(8);
  } else if (final.rfind(L"\\\\?\\", 0) == 0) {
    final = final.substr(4);
  }
  target = final;
  return true;
}

}  // namespace

std::unique_ptr<FileReplacement> FileReplacement::Begin(const std::string& path,
                                                        std::string* error) {
  if (path.empty()) {
    Fail(error, "no file name given");
    return nullptr;
  }
  const std::optional<std::wstring> wide = Utf8ToWide(path);
  if (!wide) {
    Fail(error, path + ": the name is not UTF-8");
    return nullptr;
  }
  // A link is followed to its target; devices and pipes have no attributes.
  std::wstring target = *wide;
  const DWORD linkAttributes = GetFileAttributesW(wide->c_str());
  if (linkAttributes != INVALID_FILE_ATTRIBUTES &&
      !FollowLink(*wide, linkAttributes, target, error)) {
    return nullptr;
  }
  DWORD attributes = 0;
  bool exists = false;
  HANDLE h = CreateFileW(target.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) {
      Fail(error, WideToUtf8(target) + ": " + WindowsErrorText(code));
      return nullptr;
    }
  } else {
    exists = true;
    // A folder, a device (NUL, CON, COM1) or a pipe is no report.
    BY_HANDLE_FILE_INFORMATION info;
    const bool plain = GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    CloseHandle(h);
    if (!plain) {
      Fail(error, WideToUtf8(target) + ": not a plain file");
      return nullptr;
    }
    attributes = info.dwFileAttributes;
    // Replacing by rename only needs the folder to be writable: a file
    // marked read-only, or one this user may not write, is refused here.
    bool writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    if (writable) {
      h = CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
      } else if (GetLastError() == ERROR_ACCESS_DENIED) {
        writable = false;
      }
    }
    if (!writable) {
      Fail(error, WideToUtf8(target) + ": the file may not be written");
      return nullptr;
    }
  }

  const std::wstring folder = FolderPrefixOf(target);
  const std::wstring name = target.substr(folder.size());
  const DWORD kept = exists ? attributes & kKeptAttributes : 0;
  std::wstring temporary;
  h = INVALID_HANDLE_VALUE;
  DWORD cause = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = folder + name + L"." + *Utf8ToWide(RandomNamePart()) + L".tmp";
    h = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                    kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
    cause = GetLastError();
    if (h == INVALID_HANDLE_VALUE && cause != ERROR_FILE_EXISTS) break;
  }
  if (h == INVALID_HANDLE_VALUE) {
    Fail(error,
         FolderForMessage(folder) + ": cannot create a temporary file: " + WindowsErrorText(cause));
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
  std::FILE* file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
  if (file == nullptr) {
    if (fd >= 0) {
      _close(fd);
    } else {
      CloseHandle(h);
    }
    DeleteFileW(temporary.c_str());
    Fail(error, WideToUtf8(temporary) + ": cannot be written");
    return nullptr;
  }
  return std::unique_ptr<FileReplacement>(
      new FileReplacement(WideToUtf8(target), WideToUtf8(temporary), file));
}

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Prepare(std::string* error) {
  if (file_ == nullptr || prepared_) {
    return Fail(error, target_ + ": the replacement was already finished");
  }
  std::FILE* file = file_;
  file_ = nullptr;
  bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
  std::string cause = written ? "" : "the bytes could not all be written";
  // The content is on the disk before it takes the target's place, so that
  // a crash right after the rename cannot leave an empty or partial file.
  if (written) {
    const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (h == INVALID_HANDLE_VALUE || !FlushFileBuffers(h)) {
      written = false;
      cause = LastError();
    }
  }
  if (std::fclose(file) != 0 && written) {
    written = false;
    cause = "the file could not be closed";
  }
  if (!written) {
    const std::string text = temporary_ + ": write failed: " + cause;
    Abandon();
    return Fail(error, text);
  }
  prepared_ = true;
  return true;
}

bool FileReplacement::Commit(std::string* error) {
  if (temporary_.empty()) return Fail(error, target_ + ": the replacement was already finished");
  if (!prepared_ && !Prepare(error)) return false;
  const std::wstring from = *Utf8ToWide(temporary_);
  const std::wstring to = *Utf8ToWide(target_);
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const std::string text = target_ + ": cannot be replaced: " + LastError();
    Abandon();
    return Fail(error, text);
  }
  temporary_.clear();
  return true;
}

void FileReplacement::Abandon() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    if (const auto wide = Utf8ToWide(temporary_)) DeleteFileW(wide->c_str());
    temporary_.clear();
  }
}

}  // namespace marvolen
