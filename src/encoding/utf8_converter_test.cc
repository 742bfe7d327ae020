// The converter gives exactly what GbkToUtf8 gives: every pair of bytes that
// could be a character, and random byte strings full of broken characters.
#include "encoding/gbk.h"

#include <gtest/gtest.h>

#include <random>

namespace marvolen {
namespace {

TEST(Utf8ConverterTest, EveryPairOfBytesAsGbkToUtf8ConvertsIt) {
  Utf8Converter converter;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(converter.Convert(pair), GbkToUtf8(pair)) << lead << " " << trail;
      // Twice: the second time from what was kept.
      ASSERT_EQ(converter.Convert(pair + "x"), GbkToUtf8(pair + "x")) << lead << " " << trail;
    }
  }
}

TEST(Utf8ConverterTest, RandomBytesAsGbkToUtf8ConvertsThem) {
  Utf8Converter converter;
  std::mt19937 random(17);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(random() % 12, '\0');
    for (char& c : bytes) {
      // Mostly GBK lead and trail bytes, some ASCII and the bytes around.
      const unsigned r = random() % 8;
      c = static_cast<char>(r < 3   ? 0x81 + random() % 0x7E
                            : r < 6 ? 0x40 + random() % 0xBF
                                    : random() % 256);
    }
    std::string out = "kept ";
    converter.Append(bytes, out);
    ASSERT_EQ(out, "kept " + GbkToUtf8(bytes));
  }
}

}  // namespace
}  // namespace marvolen
