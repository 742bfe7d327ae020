// Fuzz target: the lexer over any bytes, then the tag set reader.
//
// The lexer must hand out every character of the input that is not white
// space exactly once, in order, and nothing else (a lead byte cut off at the
// end is the one byte it drops); the reader must keep to its capacity and
// field width and show at most one message, in UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>

#include "datafiles/lexer.h"
#include "datafiles/tag_set.h"
#include "fuzz/fuzz_check.h"
#include "platform/text_stream.h"
#include "platform/user_interface.h"

namespace marvolen {
namespace {

// The bytes the lexer should deliver: CR LF read as LF, the input cut into
// characters (a byte of 0x80 or more takes the next byte with it), white
// space and a lead byte without its second byte left out.
std::string ExpectedTokenBytes(const std::string& input) {
  std::string text;
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n') continue;
    text.push_back(input[i]);
  }
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b >= 0x80) {
      if (i + 1 < text.size()) out.append(text, i, 2);
      i += 2;
    } else {
      if (!(b == ' ' || (b >= 0x09 && b <= 0x0D))) out.push_back(text[i]);
      ++i;
    }
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
    FuzzCheck(length >= 1 && static_cast<std::size_t>(length) == token.text.size(),
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
  CheckMessagesAreUtf8(ui.messages);
}

}  // namespace
}  // namespace marvolen

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  marvolen::CheckLexer(input);
  marvolen::CheckTagSet(input);
  return 0;
}
