// The few things the analysis asks of the file system: the current
// directory, the path separator, opening files, and how a path written in
// config.ini reaches the file system and the person. What differs between
// systems is in file_system_posix.cc and file_system_windows.cc.
#ifndef MARVOLEN_PLATFORM_FILE_SYSTEM_H_
#define MARVOLEN_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace marvolen {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Windows takes "/" as a separator too.
inline constexpr bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }
#else
inline constexpr char kPathSeparator = '/';
inline constexpr bool IsPathSeparator(char c) { return c == '/'; }
#endif

// `dir` and `name` joined with the separator, as UTF-8 text for the person
// (each as DisplayPath shows it). Off Windows the separator is inserted
// whatever `dir` ends with: "/" and "out.txt" give "//out.txt". On Windows
// the one directory that ends with it, a drive root, takes no second one:
// "C:\" and "out.txt" give "C:\out.txt".
std::string JoinForDisplay(std::string_view dir, std::string_view name);

// The current directory as an absolute path, or the empty string when it
// cannot be determined.
std::string CurrentDirectory();

// Make `dir` the current directory; false when that fails, with the reason
// in `*error` when given.
bool ChangeDirectory(const std::string& dir, std::string* error = nullptr);

// The path to open for a path as configured (bytes of config.ini), as the
// functions here take it. The rule is the same on every system: a value
// that is valid UTF-8 (plain ASCII included) is used as it is, any other
// value that is valid GBK (config.ini saved as GBK by a Windows editor, or on
// a Chinese Windows) is converted from GBK to UTF-8, and a value that is
// neither is used unchanged. Off Windows such a value is a file name of its
// own bytes; on Windows, where names are characters, it names no file and
// its open fails.
std::string NativePath(std::string_view configured);

// A configured or file-system path as UTF-8 text for the person: valid UTF-8
// as it is, anything else converted from GBK.
std::string DisplayPath(std::string_view path);

// Paths are held as text (std::string) everywhere in the program: the bytes
// of the name off Windows, UTF-8 on Windows, where the wide-character API
// takes them, so that Chinese names work whatever the system's code page.
// These two turn such a text into a std::filesystem::path and back. On
// Windows a text that is not valid UTF-8 gives the empty path, which names
// no file.
std::filesystem::path FileSystemPath(std::string_view path);
std::string PathText(const std::filesystem::path& path);

// True for a path that does not depend on the current directory: "/..." off
// Windows; "X:\...", "X:/...", "\..." or "/..." on Windows.
bool IsAbsolutePath(std::string_view path);

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Open a file with a mode of fopen ("rb", "wb", ...); null when that fails.
UniqueFile OpenFile(const std::string& path, const char* mode);

// Open a plain file for reading, in binary mode. Anything else gives null at
// once, never after a wait: a pipe (whose open would wait for a writer), a
// device (/dev/zero never ends), a folder.
UniqueFile OpenPlainFileForReading(const std::string& path);

// True when the two paths name one existing file (the same file reached
// through different names included).
bool SameExistingFile(const std::string& a, const std::string& b);

// Make an open file `size` bytes long and put its position there. False
// when that fails.
bool TruncateOpenFile(std::FILE* file, std::uint64_t size);

// Put the position of an open file `offset` bytes from its start, however
// large the file. False when that fails.
bool SeekOpenFile(std::FILE* file, std::uint64_t offset);

}  // namespace marvolen

#endif  // MARVOLEN_PLATFORM_FILE_SYSTEM_H_
