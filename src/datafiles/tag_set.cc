// Reading the tag set file.
//
// The file is "TagSetBegin", then tags separated by exactly one token of any
// kind, then "TagSetEnd" right after the last tag. A tag is an identifier,
// optionally followed by "<", one word of any kind and ">", stored without
// blanks ("u<的>").
#include "datafiles/tag_set.h"

#include <new>

#include "datafiles/lexer.h"
#include "encoding/gbk.h"

namespace marvolen {

namespace {

constexpr char kFormatError[] = "Format Error in TagSet_File       ";

// Reads the tag list, keeping the one token that the format works on. Every
// method returns false after it has shown the message that ends the reader.
class TagSetReader {
 public:
  TagSetReader(TagSet& tagSet, InputStream& in, UserInterface& ui)
      : tagSet_(tagSet), in_(in), ui_(ui) {}

  void Read();

 private:
  // Read the next token; the end of input inside the list is an error.
  bool Next() {
    if (GetToken(in_, token_) >= 0) return true;
    return Fail(kFormatError);
  }

  // Show `message` as about the text on `line`; 0 leaves the line to the
  // caller's stream (where the reader stopped).
  bool Fail(const std::string& message, int line = 0) {
    ui_.ShowMessageAt(message, {{}, line});
    return false;
  }

  // Read one tag starting at the current token and store it; the token after
  // it is current on return.
  bool ReadTag();

  TagSet& tagSet_;
  InputStream& in_;
  UserInterface& ui_;
  Token token_;
};

void TagSetReader::Read() {
  if (GetToken(in_, token_) < 0 || token_.text != "TagSetBegin") {
    Fail("Invalid TagSet_File format!    ");
    return;
  }
  tagSet_.tags.reserve(TagSet::kCapacity);
  tagSet_.lines.reserve(TagSet::kCapacity);
  if (!Next()) return;
  if (token_.text == "TagSetEnd") {
    Fail("No defined part-of-speech tag(s) and phrase tag(s)!       ");
    return;
  }
  while (ReadTag()) {
    if (token_.text == "TagSetEnd") return;
    // Drop the separator; the token after it begins the next tag.
    if (!Next()) return;
  }
}

bool TagSetReader::ReadTag() {
  if (token_.kind != Identifier) return Fail(kFormatError);
  std::string tag = token_.text;
  // The stream has gone past the tag to see whether a bracket follows.
  const int line = token_.line;
  if (!Next()) return false;
  const bool bracketed = token_.kind == LeftAngle;
  if (bracketed) {
    tag += '<';
    if (!Next()) return false;
    tag += token_.text;
    if (!Next()) return false;
    if (token_.kind != RightAngle) return Fail("Invalid TagSet_File Format!   ");
    tag += '>';
  }
  if (tag.size() > TagSet::kTagWidth) {
    return Fail("Tag longer than 19 bytes in TagSet_File: " + GbkForMessage(tag), line);
  }
  if (bracketed && !Next()) return false;
  if (tagSet_.count() == TagSet::kCapacity) {
    return Fail("Too many word class or phrase class tag in TagSet_File       ", line);
  }
  tagSet_.tags.push_back(std::move(tag));
  tagSet_.lines.push_back(line);
  return true;
}

}  // namespace

void ReadTagSet(TagSet& tagSet, InputStream& in, UserInterface& ui) {
  tagSet.tags.clear();
  tagSet.lines.clear();
  try {
    TagSetReader(tagSet, in, ui).Read();
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(" Memory allocation error!    ");
  }
}

}  // namespace marvolen
