// The GBK-aware lexer: characters, character classes and tokens.
#include "datafiles/lexer.h"

namespace marvolen {

namespace {

// The full-width marks that count as punctuation, in the order they are tested.
constexpr unsigned char kFullWidthMarks[][2] = {
    {0xA3, 0xA1},  // ！
    {0xA1, 0xA3},  // 。
    {0xA1, 0xA2},  // 、
    {0xA1, 0xB6},  // 《
    {0xA1, 0xB7},  // 》
    {0xA3, 0xBF},  // ？
    {0xA3, 0xAC},  // ，
    {0xA1, 0xB0},  // “
    {0xA1, 0xB1},  // ”
    {0xA3, 0xBA},  // ：
};

bool IsSingleByte(const GbkChar& ch) { return ch.size == 1 && ch.bytes[0] < 0x80; }

bool IsByte(const GbkChar& ch, unsigned char c) { return IsSingleByte(ch) && ch.bytes[0] == c; }

void Append(std::string& text, const GbkChar& ch) {
  text.append(reinterpret_cast<const char*>(ch.bytes), ch.size);
}

// After the first character of a two-character token: when the next character
// is `second`, append it and give `pairKind`; otherwise push it back and give
// Other (the text stays the single character).
int ReadPair(InputStream& in, Token& token, unsigned char second, int pairKind) {
  GbkChar next;
  ReadChar(in, next);
  if (IsByte(next, second)) {
    Append(token.text, next);
    return pairKind;
  }
  UnreadChar(next, in);
  return Other;
}

}  // namespace

int ReadChar(InputStream& in, GbkChar& ch) {
  ch = GbkChar();
  const int first = in.Get();
  if (first < 0) return -1;
  ch.bytes[0] = static_cast<unsigned char>(first);
  ch.size = 1;
  if (first < 0x80) return first;
  // A lead byte: the next byte belongs to the character, whatever it is. When
  // the stream ends here the lead byte is kept alone, so that pushing it back
  // makes the next read end the same way.
  const int second = in.Get();
  if (second < 0) return -1;
  ch.bytes[1] = static_cast<unsigned char>(second);
  ch.size = 2;
  return second;
}

void UnreadChar(const GbkChar& ch, InputStream& in) {
  if (ch.size == 2) in.Unget(ch.bytes[1]);
  if (ch.size >= 1) in.Unget(ch.bytes[0]);
}

bool IsLeadByte(const GbkChar& ch) { return ch.size > 0 && ch.bytes[0] >= 0x80; }

bool IsSpace(const GbkChar& ch) {
  if (!IsSingleByte(ch)) return false;
  const unsigned char c = ch.bytes[0];
  return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

bool IsLetter(const GbkChar& ch) {
  if (!IsSingleByte(ch)) return false;
  const unsigned char c = ch.bytes[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(const GbkChar& ch) {
  return IsSingleByte(ch) && ch.bytes[0] >= '0' && ch.bytes[0] <= '9';
}

bool IsHanziLetter(const GbkChar& ch) {
  if (ch.size != 2) return false;
  // At least 0xB0 0xA1, the code of the first GB2312 hanzi.
  return ch.bytes[0] > 0xB0 || (ch.bytes[0] == 0xB0 && ch.bytes[1] >= 0xA1);
}

bool IsPunctuation(const GbkChar& ch) {
  if (IsSingleByte(ch)) {
    const unsigned char c = ch.bytes[0];
    return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E);
  }
  if (ch.size != 2) return false;
  for (const auto& mark : kFullWidthMarks) {
    if (ch.bytes[0] == mark[0] && ch.bytes[1] == mark[1]) return true;
  }
  return false;
}

int GetToken(InputStream& in, Token& token) {
  GbkChar ch;
  while (ReadChar(in, ch) >= 0 && IsSpace(ch)) {
  }
  token.text.clear();
  if (in.Eof()) return -1;

  token.line = in.line();
  Append(token.text, ch);
  if (IsLetter(ch) || IsHanziLetter(ch)) {
    GbkChar next;
    bool full = false;  // once a character is left out, so is the rest
    while (ReadChar(in, next) >= 0 && (IsLetter(next) || IsDigit(next) || IsHanziLetter(next))) {
      full = full || token.text.size() + next.size > kTokenKeep;
      if (!full) Append(token.text, next);
    }
    UnreadChar(next, in);
    token.kind = Identifier;
    return static_cast<int>(token.text.size());
  }

  switch (IsSingleByte(ch) ? ch.bytes[0] : 0) {
    case '&':
      token.kind = ReadPair(in, token, '&', AndAnd);
      break;
    case ':':
      token.kind = ReadPair(in, token, ':', ColonColon);
      break;
    case '-':
      token.kind = ReadPair(in, token, '>', Arrow);
      break;
    case '!':
      token.kind = Bang;
      break;
    case '$':
      token.kind = Dollar;
      break;
    case '<':
      token.kind = LeftAngle;
      break;
    case '>':
      token.kind = RightAngle;
      break;
    case '{':
      token.kind = LeftBrace;
      break;
    case '}':
      token.kind = RightBrace;
      break;
    case '=':
      token.kind = Equals;
      break;
    case '|':
      token.kind = Bar;
      break;
    case '~':
      token.kind = Tilde;
      break;
    default:
      token.kind = IsPunctuation(ch) ? Punctuation : Other;
      break;
  }
  return static_cast<int>(token.text.size());
}

}  // namespace marvolen
