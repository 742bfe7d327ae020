// Lossless GBK <-> editor text, with tables built once from the system's
// converter.
#include "encoding/gbk_text.h"

#include <cstdint>
#include <string>
#include <vector>

#include "encoding/gbk_converter.h"

namespace marvolen {

namespace {

constexpr int kLeadCount = 0xFE - 0x81 + 1;   // 0x81-0xFE
constexpr int kTrailCount = 0xFE - 0x40 + 1;  // 0x40-0xFE (0x7F is never a trail)

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Characters a valid GBK code must not decode to, because the editor treats
// them specially or they stand for raw bytes.
bool Reserved(char16_t c) {
  return c < 0x80 || c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 ||
         (c >= kRawByteBase && c <= kRawByteBase + 0xFF) || (c >= 0xD800 && c <= 0xDFFF);
}

// The two-byte GBK characters that survive a round trip: a code decodes to a
// character that encodes back to the same two bytes. Codes that the
// converter does not know, or that share a character with another code, are not in the
// table; their bytes are kept raw.
class GbkTables {
 public:
  static const GbkTables& Get() {
    static const GbkTables tables;
    return tables;
  }

  // The character of lead/trail, or 0 when that is no round-trip character.
  char16_t Decode(unsigned char lead, unsigned char trail) const {
    return decode_[(lead - 0x81) * kTrailCount + (trail - 0x40)];
  }
  // The two bytes (lead << 8 | trail) of `c`, or 0 when GBK has none.
  std::uint16_t Encode(char16_t c) const { return encode_[c]; }

 private:
  GbkTables() : decode_(kLeadCount * kTrailCount, 0), encode_(0x10000, 0) {
    GbkConverter converter;
    std::string utf8, back;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        if (!converter.ToUtf8(std::string_view(in, 2), utf8)) continue;
        const char16_t c = OneBmpCharacter(utf8);
        if (c == 0 || Reserved(c)) continue;
        if (!converter.FromUtf8(utf8, back) || back != std::string_view(in, 2)) continue;
        decode_[(lead - 0x81) * kTrailCount + (trail - 0x40)] = c;
        encode_[c] = static_cast<std::uint16_t>(lead << 8 | trail);
      }
    }
  }

  // The character of UTF-8 text that holds exactly one character of the
  // basic multilingual plane (two or three bytes), else 0.
  static char16_t OneBmpCharacter(std::string_view utf8) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    if (utf8.size() == 2 && (b(0) & 0xE0) == 0xC0) {
      return static_cast<char16_t>((b(0) & 0x1F) << 6 | (b(1) & 0x3F));
    }
    if (utf8.size() == 3 && (b(0) & 0xF0) == 0xE0) {
      return static_cast<char16_t>((b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F));
    }
    return 0;
  }

  std::vector<char16_t> decode_;
  std::vector<std::uint16_t> encode_;
};

char16_t Raw(unsigned char byte) { return static_cast<char16_t>(kRawByteBase + byte); }

}  // namespace

EditableText DecodeGbkText(std::string_view bytes) {
  std::size_t crlf = 0, lf = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    if (i > 0 && bytes[i - 1] == '\r')
      ++crlf;
    else
      ++lf;
  }
  EditableText result;
  result.lineEnding = crlf > lf ? LineEnding::kCrLf : LineEnding::kLf;
  const bool crlfMode = result.lineEnding == LineEnding::kCrLf;
  const GbkTables& tables = GbkTables::Get();
  std::u16string& out = result.text;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r') {
      if (crlfMode && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        out.push_back(u'\n');
        i += 2;
      } else {
        out.push_back(Raw(c));
        ++i;
      }
      continue;
    }
    if (c == '\n') {
      out.push_back(crlfMode ? Raw(c) : u'\n');
      ++i;
      continue;
    }
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    if (IsLead(c) && i + 1 < bytes.size()) {
      const unsigned char t = static_cast<unsigned char>(bytes[i + 1]);
      if (IsTrail(t)) {
        const char16_t ch = tables.Decode(c, t);
        if (ch != 0) {
          out.push_back(ch);
          i += 2;
          continue;
        }
      }
    }
    out.push_back(Raw(c));
    ++i;
  }
  return result;
}

std::optional<std::string> EncodeGbkText(std::u16string_view text, LineEnding lineEnding,
                                         GbkEncodeError* error) {
  const GbkTables& tables = GbkTables::Get();
  const char* eol = lineEnding == LineEnding::kCrLf ? "\r\n" : "\n";
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\n' || c == 0x2028 || c == 0x2029) {
      out += eol;
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c >= kRawByteBase && c <= kRawByteBase + 0xFF) {
      out.push_back(static_cast<char>(c - kRawByteBase));
    } else if (const std::uint16_t code = tables.Encode(c);
               code != 0 && !(c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      if (error != nullptr) {
        error->index = i;
        error->character = c;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
          error->character = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      }
      return std::nullopt;
    }
  }
  return out;
}

}  // namespace marvolen
