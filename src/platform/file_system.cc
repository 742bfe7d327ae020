// File-system queries and the configured-path rule.
#include "platform/file_system.h"

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/gbk.h"

namespace marvolen {

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

std::string NativePath(std::string_view configured) {
#ifdef _WIN32
  return std::string(configured);
#else
  if (IsValidUtf8(configured) || !IsValidGbk(configured)) return std::string(configured);
  return GbkToUtf8(configured);
#endif
}

std::string DisplayPath(std::string_view path) {
#ifdef _WIN32
  return GbkToUtf8(path);
#else
  if (IsValidUtf8(path)) return std::string(path);
  return GbkToUtf8(path);
#endif
}

bool IsAbsolutePath(std::string_view path) {
#ifdef _WIN32
  if (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) {
    const char d = path[0];
    if ((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z')) return true;
  }
  return !path.empty() && (path[0] == '\\' || path[0] == '/');
#else
  return !path.empty() && path[0] == '/';
#endif
}

UniqueFile OpenPlainFileForReading(const std::string& path) {
  if (path.empty()) return nullptr;
#ifdef _WIN32
  UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (file == nullptr) return nullptr;
  struct _stat64 info;
  if (_fstat64(_fileno(file.get()), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    return nullptr;
  }
  return file;
#else
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
#endif
}

bool SameExistingFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace marvolen
