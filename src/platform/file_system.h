// The few things the analysis asks of the file system: the current
// directory, the path separator, and how a path written in config.ini
// reaches the file system and the person.
#ifndef MARVOLEN_PLATFORM_FILE_SYSTEM_H_
#define MARVOLEN_PLATFORM_FILE_SYSTEM_H_

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace marvolen {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The current directory as an absolute path, or the empty string when it
// cannot be determined.
std::string CurrentDirectory();

// Make `dir` the current directory; false when that fails, with the reason
// in `*error` when given.
bool ChangeDirectory(const std::string& dir, std::string* error = nullptr);

// The path to open for a path as configured (bytes of config.ini). On
// Windows the bytes go unchanged to the ANSI API, which takes GBK. Elsewhere
// file names are UTF-8: a value that is valid UTF-8 (plain ASCII included) is
// used as it is, any other value that is valid GBK (config.ini saved as GBK
// by a Windows editor) is converted from GBK to UTF-8, and a value that is
// neither is used unchanged.
std::string NativePath(std::string_view configured);

// A configured or file-system path as UTF-8 text for the person: valid UTF-8
// as it is, anything else converted from GBK (on Windows always from GBK,
// the ANSI code page).
std::string DisplayPath(std::string_view path);

// True for a path that does not depend on the current directory: "/..." off
// Windows; "X:\...", "X:/...", "\..." or "/..." on Windows.
bool IsAbsolutePath(std::string_view path);

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Open a plain file for reading, in binary mode. Anything else gives null at
// once, never after a wait: a pipe (whose open would wait for a writer), a
// device (/dev/zero never ends), a folder.
UniqueFile OpenPlainFileForReading(const std::string& path);

// True when the two paths name one existing file (the same file reached
// through different names included).
bool SameExistingFile(const std::string& a, const std::string& b);

}  // namespace marvolen

#endif  // MARVOLEN_PLATFORM_FILE_SYSTEM_H_
