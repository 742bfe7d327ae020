#include "platform/gbk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace marvolen {
namespace {

TEST(GbkTest, RoundTripsChineseText) {
  const std::string utf8 = "分析完毕！请打开";
  const auto gbk = Utf8ToGbk(utf8);
  ASSERT_TRUE(gbk.has_value());
  EXPECT_EQ(gbk->size(), 16u);
  EXPECT_EQ(Gbk("的和"), "\xB5\xC4\xBA\xCD");
  EXPECT_EQ(GbkToUtf8(*gbk), utf8);
  EXPECT_TRUE(IsValidGbk(*gbk));
}

TEST(GbkTest, InvalidBytesShowAsReplacementCharacterAndNothingElseIsLost) {
  // 0xFF is no lead byte, 0xB5 at the end has lost its second byte.
  EXPECT_EQ(GbkToUtf8("a\xFF" "b\xB5\xC4\xB5"), "a\xEF\xBF\xBD" "b的\xEF\xBF\xBD");
  EXPECT_FALSE(IsValidGbk("\xFF"));
  EXPECT_FALSE(IsValidGbk("\xB5"));
  EXPECT_FALSE(IsValidGbk("\xB5\x7F"));
  EXPECT_TRUE(IsValidGbk("plain ascii"));
}

TEST(GbkForMessageTest, AtMost40BytesWholeCharactersAndControlBytesEscaped) {
  const std::string de = "\xB5\xC4";  // 的
  std::string escapes;
  for (int i = 0; i < 20; ++i) escapes += "\\x01";
  struct Case {
    std::string gbk;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {"", ""},
      {"n u<" + de + ">", "n u<的>"},
      {std::string(40, 'a'), std::string(40, 'a')},
      {std::string(41, 'a'), std::string(40, 'a') + "..."},
      {std::string(38, 'a') + de, std::string(38, 'a') + "的"},
      {std::string(39, 'a') + de, std::string(39, 'a') + "..."},  // 的 would pass byte 40
      {std::string(20, 'a') + std::string(30, '\x01'), std::string(20, 'a') + escapes + "..."},
      {std::string("\t\n\r\x1b\x7f\0", 6), "\\t\\n\\r\\x1B\\x7F\\x00"},
      {"a\xFF" "b\xB5", "a\xEF\xBF\xBD" "b\xEF\xBF\xBD"},  // invalid bytes
      {"\xB5\x1b", "\xEF\xBF\xBD\\x1B"},  // a control byte is never a second byte
  };
  for (const Case& c : cases) EXPECT_EQ(GbkForMessage(c.gbk), c.shown) << c.gbk;

  // Random bytes: always UTF-8 without a raw control byte; a text of 40
  // bytes or less without control bytes is shown whole.
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string gbk(rng() % 60, '\0');
    for (char& b : gbk) b = static_cast<char>(rng() % 256);
    const std::string shown = GbkForMessage(gbk);
    EXPECT_TRUE(IsValidUtf8(shown));
    for (char b : shown) EXPECT_TRUE(static_cast<unsigned char>(b) >= 0x20 && b != 0x7F);
    const bool control = std::any_of(gbk.begin(), gbk.end(), [](char b) {
      return static_cast<unsigned char>(b) < 0x20 || b == 0x7F;
    });
    if (gbk.size() <= kQuotedBytes && !control) {
      EXPECT_EQ(shown, GbkToUtf8(gbk));
    }
  }
}

TEST(GbkTest, Utf8ValidityAndUnrepresentableText) {
  EXPECT_TRUE(IsValidUtf8("名词 n"));
  EXPECT_FALSE(IsValidUtf8("\xB5\xC4"));      // GBK bytes
  EXPECT_FALSE(IsValidUtf8("\xE5\x90"));      // cut off
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(Utf8ToGbk("\xB5\xC4").has_value());
  EXPECT_FALSE(Utf8ToGbk("😀").has_value());   // no GBK code for it
}

}  // namespace
}  // namespace marvolen
