// Fuzz target: the lexer over any bytes, then the tag set reader.
//
// The lexer must hand out every character of the input that is not white
// space exactly once, in order, and nothing else (a lead byte cut off at the
// end is the one byte it drops; a Ctrl-Z byte ends the input; an identifier
// is kept up to its first kTokenKeep bytes); the reader must keep to its
// capacity and field width and show at most one short message, in UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>

#include "datafiles/lexer.h"
#include "datafiles/tag_set.h"
#include "datafiles/user_interface.h"
#include "fuzz/fuzz_check.h"
#include "platform/text_stream.h"

namespace marvolen {
namespace {

// One character of `text` at `i` (a byte of 0x80 or more takes the next
// byte with it); size 0 for a lead byte cut off at the end.
GbkChar CharAt(const std::string& text, std::size_t i) {
  GbkChar ch;
  ch.bytes[0] = static_cast<unsigned char>(text[i]);
  ch.size = 1;
  if (ch.bytes[0] >= 0x80) {
    if (i + 1 >= text.size()) return GbkChar();
    ch.bytes[1] = static_cast<unsigned char>(text[i + 1]);
    ch.size = 2;
  }
  return ch;
}

// The bytes the lexer should deliver: the input up to a Ctrl-Z byte, CR LF
// read as LF, cut into characters; white space and a lead byte without its
// second byte left out, and of an identifier its first kTokenKeep bytes
// (cut between characters).
std::string ExpectedTokenBytes(const std::string& input) {
  std::string text;
  const std::string raw = input.substr(0, input.find('\x1a'));
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text.push_back(raw[i]);
  }
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const GbkChar ch = CharAt(text, i);
    if (ch.size == 0) break;
    if (IsLetter(ch) || IsHanziLetter(ch)) {
      std::size_t kept = 0;
      bool full = false;
      for (GbkChar c = ch; c.size > 0 && (IsLetter(c) || IsDigit(c) || IsHanziLetter(c));
           c = i < text.size() ? CharAt(text, i) : GbkChar()) {
        full = full || kept + c.size > kTokenKeep;
        if (!full) out.append(text, i, c.size);
        kept += c.size;
        i += c.size;
      }
      continue;
    }
    if (!IsSpace(ch)) out.append(text, i, ch.size);
    i += ch.size;
  }
  return out;
}

bool IsIdentifierText(const std::string& text) {
  GbkChar ch;
  for (std::size_t i = 0; i < text.size();) {
    ch = GbkChar();
    ch.bytes[0] = static_cast<unsigned char>(text[i]);
    ch.size = 1;
    if (ch.bytes[0] >= 0x80) {
      if (i + 1 >= text.size()) return false;
      ch.bytes[1] = static_cast<unsigned char>(text[i + 1]);
      ch.size = 2;
    }
    const bool first = i == 0;
    if (!(IsLetter(ch) || IsHanziLetter(ch) || (!first && IsDigit(ch)))) return false;
    i += ch.size;
  }
  return !text.empty();
}

void CheckLexer(const std::string& input) {
  auto in = InputStream::FromBytes(input);
  Token token;
  std::string delivered;
  std::size_t tokens = 0;
  int length;
  while ((length = GetToken(*in, token)) >= 0) {
    FuzzCheck(++tokens <= input.size(), "more tokens than bytes");
    FuzzCheck(length >= 1 && static_cast<std::size_t>(length) == token.text.size() &&
                  token.text.size() <= kTokenKeep,
              "token length");
    FuzzCheck(token.kind >= Identifier && token.kind <= Other, "token kind");
    if (token.kind == Identifier) FuzzCheck(IsIdentifierText(token.text), "identifier text");
    if (token.kind == AndAnd) FuzzCheck(token.text == "&&", "&& text");
    if (token.kind == ColonColon) FuzzCheck(token.text == "::", ":: text");
    if (token.kind == Arrow) FuzzCheck(token.text == "->", "-> text");
    if (token.kind != Identifier && token.kind != AndAnd && token.kind != ColonColon &&
        token.kind != Arrow) {
      FuzzCheck(token.text.size() <= 2, "one-character token is longer than a character");
    }
    delivered += token.text;
  }
  FuzzCheck(token.text.empty(), "text after the end of input");
  // The end repeats and leaves the kind alone.
  const int kind = token.kind;
  FuzzCheck(GetToken(*in, token) == -1 && token.text.empty() && token.kind == kind,
            "end of input does not repeat");
  FuzzCheck(delivered == ExpectedTokenBytes(input), "tokens do not cover the input");
}

void CheckTagSet(const std::string& input) {
  auto in = InputStream::FromBytes(input);
  RecordingUserInterface ui;
  TagSet tagSet;
  tagSet.tags.push_back("stale");  // the reader starts from an empty set
  ReadTagSet(tagSet, *in, ui);
  FuzzCheck(tagSet.count() <= TagSet::kCapacity, "more than 40 tags");
  for (const std::string& tag : tagSet.tags) {
    FuzzCheck(!tag.empty() && tag.size() <= TagSet::kTagWidth, "tag width");
    FuzzCheck(tag != "stale" || input.find("stale") != std::string::npos, "stale tag kept");
  }
  FuzzCheck(ui.messages.size() <= 1, "more than one message");
  FuzzCheck(!ui.messages.empty() || tagSet.count() > 0, "no tag and no message");
  CheckReaderMessages(ui.messages);
}

}  // namespace
}  // namespace marvolen

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  marvolen::CheckLexer(input);
  marvolen::CheckTagSet(input);
  return 0;
}
