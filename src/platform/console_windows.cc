// The console of a command-line program on Windows: the wide-character
// command line, and wide characters to a console.
#include "platform/console.h"

#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <climits>

#include "encoding/windows_text.h"

namespace marvolen {

namespace {

// The console behind `stream`, or null when it goes to a file or a pipe.
HANDLE ConsoleOf(std::FILE* stream) {
  const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (h == INVALID_HANDLE_VALUE || h == nullptr || !GetConsoleMode(h, &mode)) return nullptr;
  return h;
}

}  // namespace

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    for (int i = 0; i < count; ++i) args_.push_back(WideToUtf8(wide[i]));
    LocalFree(wide);
  } else {
    for (int i = 0; i < argc; ++i) args_.emplace_back(argv[i]);
  }
  for (std::string& arg : args_) pointers_.push_back(arg.data());
  pointers_.push_back(nullptr);
}

bool WriteText(std::FILE* stream, std::string_view utf8) {
  HANDLE console = ConsoleOf(stream);
  if (console == nullptr) return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
  // What the C library holds goes out first, so that the order stays.
  std::fflush(stream);
  const auto wide = Utf8ToWide(utf8);
  if (!wide) return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
  std::size_t done = 0;
  while (done < wide->size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide->size() - done, 8192));
    DWORD written = 0;
    if (!WriteConsoleW(console, wide->data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

bool CanDrawOverLine(std::FILE* stream) { return ConsoleOf(stream) != nullptr; }

}  // namespace marvolen
