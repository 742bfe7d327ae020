// GBK <-> UTF-8 through code page 936 of the Windows API.
#include "encoding/gbk_converter.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "encoding/windows_text.h"

namespace marvolen {

namespace {

constexpr UINT kGbkCodePage = 936;

// Code page 936 maps the codes GBK leaves to users, and 0xFF, to the
// private use area; iconv's GBK defines none of them.
bool InPrivateUseArea(wchar_t c) { return c >= 0xE000 && c <= 0xF8FF; }

bool AnyInPrivateUseArea(std::wstring_view text) {
  return std::any_of(text.begin(), text.end(), InPrivateUseArea);
}

}  // namespace

struct GbkConverter::State {};

GbkConverter::GbkConverter() : state_(new State) {}
GbkConverter::~GbkConverter() = default;

bool GbkConverter::ToUtf8(std::string_view gbk, std::string& out) {
  out.clear();
  if (gbk.empty()) return true;
  if (gbk.size() > INT_MAX) return false;
  const int size = static_cast<int>(gbk.size());
  const DWORD flags = MB_ERR_INVALID_CHARS;
  const int n = MultiByteToWideChar(kGbkCodePage, flags, gbk.data(), size, nullptr, 0);
  if (n <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  if (MultiByteToWideChar(kGbkCodePage, flags, gbk.data(), size, wide.data(), n) != n ||
      AnyInPrivateUseArea(wide)) {
    return false;
  }
  out = WideToUtf8(wide);
  return true;
}

bool GbkConverter::FromUtf8(std::string_view utf8, std::string& out) {
  out.clear();
  const std::optional<std::wstring> wide = Utf8ToWide(utf8);
  if (!wide || AnyInPrivateUseArea(*wide) || wide->size() > INT_MAX) return false;
  if (wide->empty()) return true;
  const int size = static_cast<int>(wide->size());
  // Without WC_NO_BEST_FIT_CHARS a character GBK lacks would become a
  // look-alike ("a" for "à"); with it, it becomes the default character and
  // `usedDefault` says so.
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide->data(), size, nullptr,
                                    0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.resize(static_cast<std::size_t>(n));
  if (WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide->data(), size, out.data(), n,
                          nullptr, &usedDefault) != n ||
      usedDefault) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace marvolen
