// Text as the Windows API takes it: UTF-16 strings converted from and to the
// UTF-8 that the rest of the program holds, and the text of a system error.
// Only built for Windows.
#ifndef MARVOLEN_ENCODING_WINDOWS_TEXT_H_
#define MARVOLEN_ENCODING_WINDOWS_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

namespace marvolen {

// UTF-8 to UTF-16; nullopt when `utf8` is not valid UTF-8, so that a byte
// string never becomes a different name by a lossy conversion.
std::optional<std::wstring> Utf8ToWide(std::string_view utf8);

// UTF-16 to UTF-8; a surrogate without its partner becomes U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

// The system's text for an error code (GetLastError), in English where the
// system has it, without the line break at its end.
std::string WindowsErrorText(unsigned long code);

}  // namespace marvolen

#endif  // MARVOLEN_ENCODING_WINDOWS_TEXT_H_
