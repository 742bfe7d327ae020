// GBK to UTF-8, a character at a time.
#include "export/utf8_text.h"

#include "platform/gbk.h"

namespace marvolen {

namespace {

constexpr std::uint8_t kNotACharacter = 0xFF;
const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

}  // namespace

Utf8Converter::Utf8Converter() : characters_((0xFE - 0x81 + 1) * 256) {}

void Utf8Converter::Append(std::string_view gbk, std::string& out) {
  std::size_t i = 0;
  while (i < gbk.size()) {
    const unsigned char c = static_cast<unsigned char>(gbk[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if (IsLead(c) && i + 1 < gbk.size() && IsTrail(static_cast<unsigned char>(gbk[i + 1]))) {
      Character& ch =
          characters_[(c - 0x81) * 256 + static_cast<unsigned char>(gbk[i + 1])];
      if (ch.length == 0) {
        // GbkToUtf8 of the pair alone: one character, or U+FFFD for the
        // lead byte followed by the trail byte on its own.
        const std::string utf8 = GbkToUtf8(gbk.substr(i, 2));
        const bool one = utf8.size() <= ch.bytes.size() && utf8.rfind(kReplacement, 0) != 0;
        ch.length = one ? static_cast<std::uint8_t>(utf8.size()) : kNotACharacter;
        if (one) utf8.copy(ch.bytes.data(), utf8.size());
      }
      if (ch.length != kNotACharacter) {
        out.append(ch.bytes.data(), ch.length);
        i += 2;
        continue;
      }
    }
    out += kReplacement;
    ++i;
  }
}

}  // namespace marvolen
