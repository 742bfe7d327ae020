// The GBK-aware lexer shared by the tag set and rules readers.
//
// It reads a text-mode stream one character at a time (a byte of 0x80 or more
// starts a two-byte character), skips white space and hands out one token per
// call. There are no comments, literals or numbers; a line break is white
// space like a blank.
#ifndef MARVOLEN_DATAFILES_LEXER_H_
#define MARVOLEN_DATAFILES_LEXER_H_

#include <string>

#include "platform/text_stream.h"

namespace marvolen {

enum TokenKind : int {
  Identifier = 0,
  Punctuation = 1,
  AndAnd = 2,       // "&&"
  Bang = 3,         // "!"
  ColonColon = 4,   // "::"
  Dollar = 5,       // "$"
  Arrow = 6,        // "->"
  LeftAngle = 7,    // "<"
  RightAngle = 8,   // ">"
  LeftBrace = 9,    // "{"
  RightBrace = 10,  // "}"
  Equals = 11,      // "="
  Bar = 12,         // "|"
  Tilde = 13,       // "~"
  Other = 14,       // any other character, and a lone "&", ":" or "-"
};

// Token texts are at most this many bytes in the file formats; the readers
// check the length of each text against the field it goes into.
inline constexpr std::size_t kTokenWidth = 19;

// The lexer keeps at most this many bytes of an identifier and reads the
// rest of it without keeping it, so that a huge identifier costs no memory.
// A text cut so is longer than every field a token goes into (the widest,
// a rule's right side, is 79 bytes) and than every keyword, so it never fits
// a field and never passes for a keyword: the reader that receives it shows
// its message about the overlong text, quoting the beginning.
inline constexpr std::size_t kTokenKeep = 128;

struct Token {
  int kind = Identifier;
  std::string text;  // at most kTokenKeep bytes, cut between characters
  int line = 0;      // the line of its first byte (1 for the first)
};

// One character: one byte, or a lead byte (0x80 or more) and the byte after it.
struct GbkChar {
  unsigned char bytes[2] = {0, 0};
  int size = 0;  // 0 when the stream ended at the first byte
};

// Read one character. Returns the value of the last byte read (0-255), or -1
// when the stream ended (also when a lead byte is the last byte of the stream:
// that byte never reaches a token).
int ReadChar(InputStream& in, GbkChar& ch);
// Push the character back (second byte first, then the lead byte).
void UnreadChar(const GbkChar& ch, InputStream& in);

bool IsLeadByte(const GbkChar& ch);
bool IsSpace(const GbkChar& ch);
bool IsLetter(const GbkChar& ch);
bool IsDigit(const GbkChar& ch);
bool IsHanziLetter(const GbkChar& ch);
bool IsPunctuation(const GbkChar& ch);

// Read the next token. Returns the length of its text as kept (1 or more),
// or -1 at the end of input, with `text` empty and `kind` left as it was.
// A message about a token names `line`: the stream has often gone past it.
int GetToken(InputStream& in, Token& token);

}  // namespace marvolen

#endif  // MARVOLEN_DATAFILES_LEXER_H_
