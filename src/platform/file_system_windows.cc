// File-system queries on Windows. Paths are held as UTF-8 and reach the
// system through its wide-character API, so that Chinese names work
// whatever the system's code page is.
#include "platform/file_system.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "encoding/windows_text.h"

namespace marvolen {

namespace {

// A handle closed on destruction.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }

 private:
  HANDLE h_;
};

// Open an existing file or folder for reading its attributes only; any other
// process may go on reading, writing or deleting it.
HANDLE OpenForQuery(const std::wstring& path) {
  return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

std::string JoinForDisplay(std::string_view dir, std::string_view name) {
  std::string text = DisplayPath(dir);
  if (text.empty() || !IsPathSeparator(text.back())) text += kPathSeparator;
  return text + DisplayPath(name);
}

std::string CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return "";
  std::wstring dir(size, L'\0');
  const DWORD n = GetCurrentDirectoryW(size, dir.data());
  if (n == 0 || n >= size) return "";
  dir.resize(n);
  return WideToUtf8(dir);
}

bool ChangeDirectory(const std::string& dir, std::string* error) {
  DWORD code = ERROR_PATH_NOT_FOUND;
  if (const auto wide = Utf8ToWide(dir); wide && !wide->empty()) {
    if (SetCurrentDirectoryW(wide->c_str())) return true;
    code = GetLastError();
  }
  if (error != nullptr) *error = WindowsErrorText(code);
  return false;
}

bool IsAbsolutePath(std::string_view path) {
  if (path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2])) {
    const char d = path[0];
    if ((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z')) return true;
  }
  return !path.empty() && IsPathSeparator(path[0]);
}

std::filesystem::path FileSystemPath(std::string_view path) {
  const auto wide = Utf8ToWide(path);
  if (!wide) return std::filesystem::path();
  return std::filesystem::path(*wide);
}

std::string PathText(const std::filesystem::path& path) { return WideToUtf8(path.native()); }

UniqueFile OpenFile(const std::string& path, const char* mode) {
  const auto widePath = Utf8ToWide(path);
  const auto wideMode = Utf8ToWide(mode);
  if (!widePath || widePath->empty() || !wideMode) return nullptr;
  return UniqueFile(_wfopen(widePath->c_str(), wideMode->c_str()));
}

UniqueFile OpenPlainFileForReading(const std::string& path) {
  const auto wide = Utf8ToWide(path);
  if (!wide || wide->empty()) return nullptr;
  // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; a device
  // (NUL, CON, COM1) or a pipe opens without waiting, and its type tells.
  Handle file(CreateFileW(wide->c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file.get()), _O_RDONLY | _O_BINARY);
  if (fd < 0) return nullptr;
  file.release();  // the descriptor owns it now
  UniqueFile stream(_fdopen(fd, "rb"));
  if (stream == nullptr) _close(fd);
  return stream;
}

bool TruncateOpenFile(std::FILE* file, std::uint64_t size) {
  if (std::fflush(file) != 0 || size > static_cast<std::uint64_t>(INT64_MAX)) return false;
  const auto length = static_cast<long long>(size);
  return _chsize_s(_fileno(file), length) == 0 && _fseeki64(file, length, SEEK_SET) == 0;
}

bool SeekOpenFile(std::FILE* file, std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
}

bool SameExistingFile(const std::string& a, const std::string& b) {
  const auto wideA = Utf8ToWide(a);
  const auto wideB = Utf8ToWide(b);
  if (!wideA || !wideB || wideA->empty() || wideB->empty()) return false;
  Handle fileA(OpenForQuery(*wideA));
  Handle fileB(OpenForQuery(*wideB));
  BY_HANDLE_FILE_INFORMATION infoA, infoB;
  if (!fileA.valid() || !fileB.valid() || !GetFileInformationByHandle(fileA.get(), &infoA) ||
      !GetFileInformationByHandle(fileB.get(), &infoB)) {
    return false;
  }
  return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
         infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

}  // namespace marvolen
