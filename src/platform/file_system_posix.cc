// File-system queries on POSIX systems, where a path is the bytes of a name.
#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

namespace marvolen {

std::string JoinForDisplay(std::string_view dir, std::string_view name) {
  return DisplayPath(dir) + kPathSeparator + DisplayPath(name);
}

std::string CurrentDirectory() {
  std::error_code ec;
  const std::filesystem::path dir = std::filesystem::current_path(ec);
  if (ec) return "";
  return dir.string();
}

bool ChangeDirectory(const std::string& dir, std::string* error) {
  std::error_code ec;
  if (dir.empty()) {
    ec = std::make_error_code(std::errc::no_such_file_or_directory);
  } else {
    std::filesystem::current_path(dir, ec);
  }
  if (ec && error != nullptr) *error = ec.message();
  return !ec;
}

bool IsAbsolutePath(std::string_view path) { return !path.empty() && path[0] == '/'; }

std::filesystem::path FileSystemPath(std::string_view path) { return std::filesystem::path(path); }

std::string PathText(const std::filesystem::path& path) { return path.string(); }

UniqueFile OpenFile(const std::string& path, const char* mode) {
  return UniqueFile(std::fopen(path.c_str(), mode));
}

UniqueFile OpenPlainFileForReading(const std::string& path) {
  if (path.empty()) return nullptr;
  // Without O_NONBLOCK the open of a pipe waits until something writes to
  // it; with it the open returns at once and fstat tells what was opened.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  // Reads of a plain file never wait, but take the flag off all the same.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  UniqueFile file(::fdopen(fd, "rb"));
  if (file == nullptr) ::close(fd);
  return file;
}

bool SameExistingFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

bool TruncateOpenFile(std::FILE* file, std::uint64_t size) {
  if (std::fflush(file) != 0) return false;
  const off_t length = static_cast<off_t>(size);
  if (length < 0 || static_cast<std::uint64_t>(length) != size) return false;
  return ::ftruncate(::fileno(file), length) == 0 && ::fseeko(file, length, SEEK_SET) == 0;
}

bool SeekOpenFile(std::FILE* file, std::uint64_t offset) {
  const off_t position = static_cast<off_t>(offset);
  if (position < 0 || static_cast<std::uint64_t>(position) != offset) return false;
  return ::fseeko(file, position, SEEK_SET) == 0;
}

}  // namespace marvolen
