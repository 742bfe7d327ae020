// GBK <-> UTF-8 on the system's converter.
#include "encoding/gbk.h"

#include <cstdio>
#include <cstdlib>

#include "encoding/gbk_converter.h"

namespace marvolen {

namespace {

bool IsGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }
bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Append the UTF-8 of `gbk` to `out`: a byte below 0x80 as it is, a lead and
// trail byte pair as `convertPair(pair, out)` appends it (false: the pair is
// not a character), U+FFFD for every other byte.
template <typename ConvertPair>
void AppendUtf8(std::string_view gbk, std::string& out, ConvertPair convertPair) {
  std::size_t i = 0;
  while (i < gbk.size()) {
    const unsigned char c = static_cast<unsigned char>(gbk[i]);
    if (c < 0x80) {
      // A run of ASCII goes as it is, at once.
      std::size_t end = i + 1;
      while (end < gbk.size() && static_cast<unsigned char>(gbk[end]) < 0x80) ++end;
      out.append(gbk, i, end - i);
      i = end;
      continue;
    }
    if (IsGbkLead(c) && i + 1 < gbk.size() && IsGbkTrail(static_cast<unsigned char>(gbk[i + 1])) &&
        convertPair(gbk.substr(i, 2), out)) {
      i += 2;
      continue;
    }
    out += kReplacement;
    ++i;
  }
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  GbkConverter conv;
  std::string out, piece;
  AppendUtf8(gbk, out, [&](std::string_view pair, std::string& to) {
    if (!conv.ToUtf8(pair, piece)) return false;
    to += piece;
    return true;
  });
  return out;
}

Utf8Converter::Utf8Converter() : characters_((0xFE - 0x81 + 1) * 256) {}

void Utf8Converter::Append(std::string_view gbk, std::string& out) {
  constexpr std::uint8_t kNotACharacter = 0xFF;
  AppendUtf8(gbk, out, [&](std::string_view pair, std::string& to) {
    Character& ch = characters_[(static_cast<unsigned char>(pair[0]) - 0x81) * 256 +
                                static_cast<unsigned char>(pair[1])];
    if (ch.length == 0) {
      // GbkToUtf8 of the pair alone: one character, or U+FFFD for the lead
      // byte followed by the trail byte on its own.
      const std::string utf8 = GbkToUtf8(pair);
      const bool one = utf8.size() <= ch.bytes.size() && utf8.rfind(kReplacement, 0) != 0;
      ch.length = one ? static_cast<std::uint8_t>(utf8.size()) : kNotACharacter;
      if (one) utf8.copy(ch.bytes.data(), utf8.size());
    }
    if (ch.length == kNotACharacter) return false;
    to.append(ch.bytes.data(), ch.length);
    return true;
  });
}

std::string GbkForMessage(std::string_view gbk) {
  // Where to cut: after the last whole character that fits. A lead byte and a
  // trail byte make one character; any other byte stands alone.
  std::size_t kept = 0;
  while (kept < gbk.size()) {
    const bool pair = IsGbkLead(static_cast<unsigned char>(gbk[kept])) && kept + 1 < gbk.size() &&
                      IsGbkTrail(static_cast<unsigned char>(gbk[kept + 1]));
    const std::size_t size = pair ? 2 : 1;
    if (kept + size > kQuotedBytes) break;
    kept += size;
  }
  // Control bytes are never trail bytes, so converting the runs between
  // them converts every character as a whole.
  std::string out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= kept; ++i) {
    const unsigned char c = i < kept ? static_cast<unsigned char>(gbk[i]) : 0;
    if (i < kept && c >= 0x20 && c != 0x7F) continue;
    out += GbkToUtf8(gbk.substr(start, i - start));
    start = i + 1;
    if (i == kept) break;
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default: {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
      }
    }
  }
  if (kept < gbk.size()) out += "...";
  return out;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  GbkConverter conv;
  std::string out;
  if (!conv.FromUtf8(utf8, out)) return std::nullopt;
  return out;
}

std::string Gbk(std::string_view utf8) {
  auto gbk = Utf8ToGbk(utf8);
  if (!gbk) {
    std::fprintf(stderr, "internal error: text not representable in GBK\n");
    std::abort();
  }
  return *gbk;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int extra;
    char32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

bool IsValidGbk(std::string_view text) {
  GbkConverter conv;
  std::string piece;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (!IsGbkLead(c) || i + 1 >= text.size() ||
        !IsGbkTrail(static_cast<unsigned char>(text[i + 1])) ||
        !conv.ToUtf8(text.substr(i, 2), piece))
      return false;
    i += 2;
  }
  return true;
}

}  // namespace marvolen
