// File-system queries and the configured-path rule.
#include "platform/file_system.h"

#include <filesystem>
#include <system_error>

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

bool SameExistingFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

}  // namespace marvolen
