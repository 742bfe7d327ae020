#include "encoding/gbk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "testing/files.h"

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
  EXPECT_EQ(GbkToUtf8("a\xFF"
                      "b\xB5\xC4\xB5"),
            "a\xEF\xBF\xBD"
            "b的\xEF\xBF\xBD");
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
      {"a\xFF"
       "b\xB5",
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD"},                  // invalid bytes
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
  EXPECT_FALSE(Utf8ToGbk("😀").has_value());  // no GBK code for it
}

std::string Utf8Of(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char b : bytes) h = (h ^ static_cast<unsigned char>(b)) * 1099511628211ull;
  return h;
}

// What the GBK functions make of every single byte and every two-byte code,
// and of every character of the basic multilingual plane, one line each.
std::string WholeTable(int& validPairs, int& encodable) {
  std::string table;
  validPairs = encodable = 0;
  char hex[16];
  for (int b = 0x80; b <= 0xFF; ++b) {
    const std::string byte(1, static_cast<char>(b));
    std::snprintf(hex, sizeof hex, "%02X ", b);
    table += hex + GbkToUtf8(byte) + (IsValidGbk(byte) ? " valid\n" : "\n");
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const bool valid = IsValidGbk(pair);
      validPairs += valid;
      std::snprintf(hex, sizeof hex, "%02X%02X ", lead, trail);
      table += hex + GbkToUtf8(pair) + (valid ? " valid\n" : "\n");
    }
  }
  for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const auto gbk = Utf8ToGbk(Utf8Of(c));
    if (!gbk) continue;
    ++encodable;
    std::snprintf(hex, sizeof hex, "U+%04X ", static_cast<unsigned>(c));
    table += hex;
    for (const char b : *gbk) {
      std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(b));
      table += hex;
    }
    table += "\n";
  }
  return table;
}

// Every system converts GBK exactly as iconv's GBK on Debian 12 (glibc 2.36)
// does: the digest and counts are those of its table. Code page 936 of
// Windows also gives the codes left to users (AAA1-AFFE, F8A1-FEFE,
// A140-A7A0) and the byte 0xFF characters of the private use area; they must
// stay invalid. When the digest differs, the table is written to the
// temporary folder, to compare with the one of another system.
TEST(GbkTest, EveryCodeConvertsAsIconvsGbkDoes) {
  int validPairs = 0, encodable = 0;
  const std::string table = WholeTable(validPairs, encodable);
  EXPECT_EQ(validPairs, 21791);
  EXPECT_EQ(encodable, 21792);  // the two-byte codes and U+20AC as the byte 0x80
  const std::uint64_t digest = Fnv1a(table);
  if (digest != 0x9e0642df7ef64278ull) {
    const std::filesystem::path dump =
        std::filesystem::temp_directory_path() / "marvolen-gbk-table.txt";
    WriteFile(dump, table);
    ADD_FAILURE() << "digest " << std::hex << digest << "; the table is in " << dump.string();
  }
  for (const char* code :
       {"\xAA\xA1", "\xAF\xFE", "\xF8\xA1", "\xFE\xFE", "\xA1\x40", "\xA7\xA0"}) {
    EXPECT_FALSE(IsValidGbk(code)) << code;
    EXPECT_EQ(GbkToUtf8(code).rfind("\xEF\xBF\xBD", 0), 0u) << code;
  }
  for (const char32_t c : {0xE000, 0xE4C6, 0xE864, 0xF8F5}) EXPECT_FALSE(Utf8ToGbk(Utf8Of(c)));
  EXPECT_EQ(Utf8ToGbk("\xE2\x82\xAC"), "\x80");    // the euro sign
  EXPECT_EQ(Utf8ToGbk("\xC3\x80"), std::nullopt);  // no look-alike: À is not A
}

}  // namespace
}  // namespace marvolen
