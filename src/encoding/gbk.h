// Conversion between GBK (code page 936) and UTF-8.
//
// The data files and the report are GBK; what is shown to a person (messages,
// the terminal) is UTF-8.
#ifndef MARVOLEN_ENCODING_GBK_H_
#define MARVOLEN_ENCODING_GBK_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvolen {

// GBK bytes to UTF-8 for display. A byte that does not start a valid GBK
// character (or a lead byte cut off at the end) is shown as U+FFFD; nothing
// else is lost.
std::string GbkToUtf8(std::string_view gbk);

// GbkToUtf8 for outputs of many short texts (a row or a record for each of
// half a million permutations): the same text, each two-byte character
// converted by the system's converter once and then looked up.
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

// How much of a text from a data file a message quotes, in bytes.
inline constexpr std::size_t kQuotedBytes = 40;

// GBK data quoted in a message, as UTF-8: at most kQuotedBytes bytes of it,
// cut between characters, then "..." when anything was left out. Control
// bytes are shown as escapes (\t, \n, \r, \xNN), never sent raw to a
// terminal or a message box.
std::string GbkForMessage(std::string_view gbk);

// UTF-8 to GBK; nullopt when the text is not valid UTF-8 or holds a character
// that GBK cannot represent.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// GBK bytes of a UTF-8 text known to be representable (the program's own
// report texts). Aborts the program on a text that is not: that is a bug.
std::string Gbk(std::string_view utf8);

bool IsValidUtf8(std::string_view text);
// True when every byte below 0x80 stands alone and every other byte is the
// lead of a two-byte GBK character (lead 0x81-0xFE, trail 0x40-0xFE but 0x7F)
// that GBK defines.
bool IsValidGbk(std::string_view text);

}  // namespace marvolen

#endif  // MARVOLEN_ENCODING_GBK_H_
