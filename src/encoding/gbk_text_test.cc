#include "encoding/gbk_text.h"

#include <gtest/gtest.h>

#include <random>

namespace marvolen {
namespace {

std::string RoundTrip(const std::string& bytes) {
  const EditableText t = DecodeGbkText(bytes);
  const auto back = EncodeGbkText(t.text, t.lineEnding);
  EXPECT_TRUE(back.has_value());
  return back.value_or("<failed>");
}

TEST(GbkTextTest, ChineseTextIsShownAsCharacters) {
  const EditableText t = DecodeGbkText("TagSetBegin\r\nu<\xB5\xC4> c<\xBA\xCD>\r\n");
  EXPECT_EQ(t.text, u"TagSetBegin\nu<的> c<和>\n");
  EXPECT_EQ(t.lineEnding, LineEnding::kCrLf);
  EXPECT_EQ(*EncodeGbkText(u"名词\n", LineEnding::kLf), "\xC3\xFB\xB4\xCA\n");
}

TEST(GbkTextTest, OddFilesComeBackByteForByte) {
  const std::string cases[] = {
      "",
      "plain\nunix\n",
      "dos\r\nlines\r\n",
      "no final line end",
      "mixed\r\nlf\nand\r\ncrlf\r\n",  // CR LF majority, one lone LF
      "mixed\nlf\nmajority\r\n",       // LF majority, one CR LF
      "lone\rcr\r\r\n\r",              // lone CRs, CR CR LF, CR at the end
      std::string("nul\0byte\0", 9),
      "\xFF\x80 invalid single bytes \xFF",
      "cut lead at the end \xB5",
      "lead then ascii \xB5"
      "A and lead then lf \xB5\n",
      "\xB5\x7F lead with 0x7F",
      "\xA1\x40 undefined code, \xAA\xA1 user area, \xF8\xA1",
      "\x81\x30\x81\x30 gb18030 four bytes",
      "\xEF\x9C\x80 utf-8 of U+F700 in the file",
  };
  for (const std::string& bytes : cases) EXPECT_EQ(RoundTrip(bytes), bytes) << bytes;
}

TEST(GbkTextTest, EveryByteAndEveryTwoBytePairRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(RoundTrip(all), all);
  int characters = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(RoundTrip(pair), pair) << lead << " " << trail;
      if (DecodeGbkText(pair).text.size() == 1) ++characters;
    }
  }
  // GBK defines about 21,886 characters; nearly all of them must be shown as
  // characters, not as raw bytes.
  EXPECT_GT(characters, 21000);
}

// The editor shows the same characters on every system: the codes iconv's
// GBK leaves undefined, such as those left to users, stay raw bytes also
// where the system's code page 936 gives them private-use characters.
TEST(GbkTextTest, TheSameCodesAreCharactersOnEverySystem) {
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      if (DecodeGbkText(pair).text.size() == 1) ++characters;
    }
  }
  EXPECT_EQ(characters, 21791);  // every two-byte code of iconv's GBK
  const auto raw = [](char b) { return char16_t(kRawByteBase + static_cast<unsigned char>(b)); };
  EXPECT_EQ(DecodeGbkText("\xAA\xA1").text, (std::u16string{raw('\xAA'), raw('\xA1')}));
  EXPECT_EQ(DecodeGbkText("\xFE\xFE").text, (std::u16string{raw('\xFE'), raw('\xFE')}));
  EXPECT_EQ(DecodeGbkText("\xA1\x40").text, (std::u16string{raw('\xA1'), u'@'}));
  EXPECT_FALSE(EncodeGbkText(u"\uE000", LineEnding::kLf).has_value());
}

TEST(GbkTextTest, RandomBytesRoundTrip) {
  std::mt19937 rng(20240501);
  for (int n = 0; n < 500; ++n) {
    std::string bytes(rng() % 64, '\0');
    for (char& c : bytes) {
      const unsigned r = rng() % 10;
      c = static_cast<char>(r < 2 ? "\r\n"[r] : rng() % 256);
    }
    ASSERT_EQ(RoundTrip(bytes), bytes);
  }
}

TEST(GbkTextTest, LineConventionFollowsTheFileAndStrayEndsStayRaw) {
  const EditableText crlf = DecodeGbkText("a\r\nb\nc\r\n");
  EXPECT_EQ(crlf.lineEnding, LineEnding::kCrLf);
  EXPECT_EQ(crlf.text, std::u16string(u"a\nb") + char16_t(kRawByteBase + '\n') + u"c\n");
  const EditableText lf = DecodeGbkText("a\nb\r\n");
  EXPECT_EQ(lf.lineEnding, LineEnding::kLf);
  EXPECT_EQ(lf.text, std::u16string(u"a\nb") + char16_t(kRawByteBase + '\r') + u"\n");
  // New lines typed in the editor follow the file's convention.
  EXPECT_EQ(*EncodeGbkText(u"x\ny\u2029z\u2028", LineEnding::kCrLf), "x\r\ny\r\nz\r\n");
  EXPECT_EQ(*EncodeGbkText(u"x\ny\u2029", LineEnding::kLf), "x\ny\n");
}

TEST(GbkTextTest, CharactersGbkCannotHoldAreReported) {
  GbkEncodeError error;
  EXPECT_FALSE(EncodeGbkText(u"ab\uD55C", LineEnding::kLf, &error).has_value());  // Hangul
  EXPECT_EQ(error.index, 2u);
  EXPECT_EQ(error.character, U'\uD55C');
  EXPECT_FALSE(EncodeGbkText(u"名\U0001F600", LineEnding::kLf, &error).has_value());
  EXPECT_EQ(error.index, 1u);
  EXPECT_EQ(error.character, U'\U0001F600');
  EXPECT_FALSE(EncodeGbkText(std::u16string(1, char16_t(0xDC00)), LineEnding::kLf, &error));
}

}  // namespace
}  // namespace marvolen
