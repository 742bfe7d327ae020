// GBK to UTF-8 for outputs of many short texts (a row or a record for each
// of half a million permutations): the same text as GbkToUtf8 gives, each
// two-byte character converted once and then looked up.
#ifndef MARVOLEN_EXPORT_UTF8_TEXT_H_
#define MARVOLEN_EXPORT_UTF8_TEXT_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marvolen {

class Utf8Converter {
 public:
  Utf8Converter();

  // Append `gbk` as GbkToUtf8(gbk) converts it.
  void Append(std::string_view gbk, std::string& out);
  std::string Convert(std::string_view gbk) {
    std::string out;
    Append(gbk, out);
    return out;
  }

 private:
  // The UTF-8 of one lead and trail byte pair: its length (0: not converted
  // yet, 0xFF: not a character) and bytes.
  struct Character {
    std::uint8_t length = 0;
    std::array<char, 4> bytes{};
  };
  std::vector<Character> characters_;  // by (lead - 0x81) * 256 + trail
};

}  // namespace marvolen

#endif  // MARVOLEN_EXPORT_UTF8_TEXT_H_
