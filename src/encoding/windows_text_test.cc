// UTF-8 <-> UTF-16 for the Windows API: a name is converted whole or not at
// all, and the way back never fails.
#include "encoding/windows_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace marvolen {
namespace {

TEST(WindowsTextTest, ValidUtf8BecomesUtf16AndBackUnchanged) {
  const std::vector<std::pair<std::string, std::wstring>> cases = {
      {"", L""},
      {"report.txt", L"report.txt"},
      {"\xE8\xAF\xAD\xE6\x96\x99\\\xE6\x8A\xA5\xE5\x91\x8A.txt", L"\u8BED\u6599\\\u62A5\u544A.txt"},
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
      {"\xF0\xA0\x80\x80", L"\xD840\xDC00"},  // U+20000, a surrogate pair
  };
  for (const auto& [utf8, wide] : cases) {
    EXPECT_EQ(Utf8ToWide(utf8), wide) << utf8;
    EXPECT_EQ(WideToUtf8(wide), utf8) << utf8;
  }
}

TEST(WindowsTextTest, TextThatIsNotUtf8IsRefusedWhole) {
  for (const char* bytes : {"\xB1\xA8\xB8\xE6.txt",  // GBK 报告.txt
                            "a\xFF", "\xC0\xAF", "\xED\xA0\x80", "\xE6\x8A"}) {
    EXPECT_EQ(Utf8ToWide(bytes), std::nullopt) << bytes;
  }
}

TEST(WindowsTextTest, AnUnpairedSurrogateBecomesAReplacementCharacter) {
  EXPECT_EQ(WideToUtf8(std::wstring(L"a\xD800"
                                    L"b")),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(WindowsTextTest, ErrorTextsAreTheSystemsWithoutTheLineBreak) {
  const std::string text = WindowsErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_NE(text.back(), '.') << text;
  EXPECT_NE(WindowsErrorText(ERROR_ACCESS_DENIED), text);
  EXPECT_EQ(WindowsErrorText(0xDEADBEEF), "error 3735928559");
}

}  // namespace
}  // namespace marvolen
