// UTF-8 <-> UTF-16 through the Windows API, and system error texts.
#include "encoding/windows_text.h"

#include <windows.h>

#include <climits>

#include "encoding/gbk.h"

namespace marvolen {

std::optional<std::wstring> Utf8ToWide(std::string_view utf8) {
  // MultiByteToWideChar accepts encoded surrogates and overlong forms on
  // some systems; the program's own check decides what is UTF-8.
  if (!IsValidUtf8(utf8) || utf8.size() > INT_MAX) return std::nullopt;
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), n) != n) {
    return std::nullopt;
  }
  return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty() || wide.size() > INT_MAX) return std::string();
  const int size = static_cast<int>(wide.size());
  // Without WC_ERR_INVALID_CHARS an unpaired surrogate becomes U+FFFD.
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::string WindowsErrorText(unsigned long code) {
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  wchar_t buffer[512];
  DWORD n = FormatMessageW(flags, nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                           buffer, sizeof buffer / sizeof buffer[0], nullptr);
  if (n == 0) {
    n = FormatMessageW(flags, nullptr, code, 0, buffer, sizeof buffer / sizeof buffer[0], nullptr);
  }
  while (n > 0 && (buffer[n - 1] == L'\r' || buffer[n - 1] == L'\n' || buffer[n - 1] == L' ' ||
                   buffer[n - 1] == L'.')) {
    --n;
  }
  if (n == 0) return "error " + std::to_string(code);
  return WideToUtf8(std::wstring_view(buffer, n));
}

}  // namespace marvolen
