#include "ini/profile_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marvolen {
namespace {

TEST(ClassifyProfileLineTest, EveryKindOfLine) {
  struct Case {
    std::string line;
    ProfileLine::Kind kind;
    std::string name;
    std::string value;
    bool comment;
  };
  const std::vector<Case> cases = {
      {"", ProfileLine::kBlank, "", "", false},
      {" \t\x1a\v\f", ProfileLine::kBlank, "", "", false},
      {"[DATA]", ProfileLine::kSection, "DATA", "", false},
      {"  [ DATA ]  ", ProfileLine::kSection, "DATA", "", false},
      {"[DATA", ProfileLine::kSection, "DATA", "", false},
      {"[DATA]x]", ProfileLine::kSection, "DATA", "", false},
      {"[DATA] = x", ProfileLine::kSection, "DATA", "", false},
      {std::string("[DA\0TA]", 7), ProfileLine::kSection, "DA", "", false},
      {"TAGS=tags.txt", ProfileLine::kKey, "TAGS", "tags.txt", false},
      {"\t TAGS \t=  my tags.txt \t", ProfileLine::kKey, "TAGS", "my tags.txt", false},
      {"EQ = x=y", ProfileLine::kKey, "EQ", "x=y", false},
      {"TAGS", ProfileLine::kKey, "TAGS", "", false},
      {"A=\"q\"", ProfileLine::kKey, "A", "\"q\"", false},
      {"x]=[y", ProfileLine::kKey, "x]", "[y", false},
      {std::string("K\0x=v\0w", 7), ProfileLine::kKey, "K", "v", false},
      {"; TAGS=old", ProfileLine::kKey, "; TAGS", "old", true},
      {"  ;", ProfileLine::kKey, ";", "", true},
  };
  for (const Case& c : cases) {
    const ProfileLine line = ClassifyProfileLine(c.line);
    EXPECT_EQ(line.kind, c.kind) << c.line;
    EXPECT_EQ(line.name, c.name) << c.line;
    EXPECT_EQ(line.value, c.value) << c.line;
    EXPECT_EQ(line.comment, c.comment) << c.line;
  }
}

TEST(ProfileNameMatchesTest, QueriesAreTrimmedAndAsciiCaseIsIgnored) {
  EXPECT_TRUE(ProfileNameMatches("DATA", " data\t"));
  EXPECT_TRUE(ProfileNameMatches("Recent File List", "recent file list"));
  EXPECT_FALSE(ProfileNameMatches("DATA", "DATA2"));
  EXPECT_FALSE(ProfileNameMatches("DA TA", "DATA"));
  // 0xB0 0x41 and 0xB0 0x61 are two GBK characters: the second byte is
  // never folded.
  EXPECT_TRUE(ProfileNameMatches("\xB0\x41", "\xB0\x41"));
  EXPECT_FALSE(ProfileNameMatches("\xB0\x41", "\xB0\x61"));
}

// Whatever the value, the line the updater writes gives it back to the
// reader: as it is, or in the double quotes the reader removes.
TEST(ProfileValueQuotingTest, EveryWrittenValueReadsBackUnchanged) {
  const std::vector<std::string> pieces = {"", " ", "\t", "a", "\"", "'", "x y", "\x1a", "=", ";"};
  for (const std::string& a : pieces) {
    for (const std::string& b : pieces) {
      for (const std::string& c : pieces) {
        const std::string value = a + b + c;
        const std::string written = ProfileValueNeedsQuotes(value) ? "\"" + value + "\"" : value;
        const std::string text = "K=" + written;  // the line's views point into it
        const ProfileLine line = ClassifyProfileLine(text);
        EXPECT_EQ(UnquoteProfileValue(line.value), value) << "[" << value << "]";
      }
    }
  }
}

}  // namespace
}  // namespace marvolen
