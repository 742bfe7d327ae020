#include "platform/gbk.h"

#include <gtest/gtest.h>

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
