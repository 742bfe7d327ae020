#include "datafiles/lexer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace marvolen {
namespace {

using Tokens = std::vector<std::pair<int, std::string>>;

// Every token of `bytes` up to the end of input.
Tokens TokensOf(std::string bytes) {
  auto in = InputStream::FromBytes(std::move(bytes));
  Token token;
  Tokens out;
  for (int n; (n = GetToken(*in, token)) != -1;) {
    EXPECT_EQ(n, static_cast<int>(token.text.size()));
    out.emplace_back(token.kind, token.text);
  }
  EXPECT_EQ(token.text, "");
  return out;
}

GbkChar Char(std::string bytes) {
  GbkChar ch;
  ch.size = static_cast<int>(bytes.size());
  for (int i = 0; i < ch.size; ++i) ch.bytes[i] = static_cast<unsigned char>(bytes[i]);
  return ch;
}

TEST(ReadCharTest, ALeadByteTakesTheNextByteWhateverItIs) {
  auto in = InputStream::FromBytes(
      "\xB5\xC4"
      "a\x81\n");
  GbkChar ch;
  EXPECT_EQ(ReadChar(*in, ch), 0xC4);
  EXPECT_EQ(ch.size, 2);
  EXPECT_EQ(ReadChar(*in, ch), 'a');
  EXPECT_EQ(ch.size, 1);
  EXPECT_EQ(ReadChar(*in, ch), '\n');  // 0x81 and the line feed are one character
  EXPECT_EQ(ch.size, 2);
  EXPECT_EQ(ch.bytes[0], 0x81);
  EXPECT_EQ(ReadChar(*in, ch), -1);
}

TEST(ReadCharTest, APushedBackCharacterIsReadAgainAndClearsTheEnd) {
  auto in = InputStream::FromBytes("\xB5\xC4");
  GbkChar ch;
  ASSERT_EQ(ReadChar(*in, ch), 0xC4);
  GbkChar end;
  EXPECT_EQ(ReadChar(*in, end), -1);
  EXPECT_TRUE(in->Eof());
  UnreadChar(end, *in);  // pushing back the end does nothing
  EXPECT_TRUE(in->Eof());
  UnreadChar(ch, *in);
  EXPECT_FALSE(in->Eof());
  GbkChar again;
  EXPECT_EQ(ReadChar(*in, again), 0xC4);
  EXPECT_EQ(again.bytes[0], 0xB5);
  EXPECT_EQ(again.size, 2);
}

TEST(ReadCharTest, ALeadByteCutOffByTheEndIsNeverACharacter) {
  auto in = InputStream::FromBytes("\xB5");
  GbkChar ch;
  EXPECT_EQ(ReadChar(*in, ch), -1);
  UnreadChar(ch, *in);
  EXPECT_EQ(ReadChar(*in, ch), -1);  // read again with the same result
  EXPECT_TRUE(in->Eof());
}

TEST(CharacterClassTest, SpaceIsTheSixAsciiBlanksOnly) {
  for (const char* s : {" ", "\t", "\n", "\v", "\f", "\r"}) EXPECT_TRUE(IsSpace(Char(s))) << s;
  EXPECT_FALSE(IsSpace(Char("\xA1\xA1")));  // the full-width blank
  EXPECT_FALSE(IsSpace(Char("\x08")));
  EXPECT_FALSE(IsSpace(Char("\x0E")));
  EXPECT_FALSE(IsSpace(Char("\xA0")));
}

TEST(CharacterClassTest, HanziLettersBeginAtTheCodeOfTheFirstHanzi) {
  EXPECT_TRUE(IsHanziLetter(Char("\xB0\xA1")));  // 啊
  EXPECT_FALSE(IsHanziLetter(Char("\xB0\xA0")));
  EXPECT_TRUE(IsHanziLetter(Char("\xB1\x40")));
  EXPECT_FALSE(IsHanziLetter(Char("\xA3\xC1")));  // full-width A
  EXPECT_FALSE(IsHanziLetter(Char("\xB5")));      // a lone lead byte
  EXPECT_FALSE(IsLetter(Char("\xB5\xC4")));
  EXPECT_FALSE(IsDigit(Char("\xA3\xB1")));  // full-width 1
  EXPECT_TRUE(IsLeadByte(Char("\xA3\xB1")));
  EXPECT_FALSE(IsLeadByte(Char("z")));
}

TEST(CharacterClassTest, PunctuationIsAsciiPunctuationAndTenFullWidthMarks) {
  EXPECT_TRUE(IsPunctuation(Char("_")));
  EXPECT_FALSE(IsPunctuation(Char("0")));
  EXPECT_FALSE(IsPunctuation(Char(" ")));
  for (const char* mark : {"\xA3\xA1", "\xA1\xA3", "\xA1\xA2", "\xA1\xB6", "\xA1\xB7", "\xA3\xBF",
                           "\xA3\xAC", "\xA1\xB0", "\xA1\xB1", "\xA3\xBA"}) {
    EXPECT_TRUE(IsPunctuation(Char(mark)));
  }
  EXPECT_FALSE(IsPunctuation(Char("\xA3\xBB")));  // full-width semicolon is not one
  EXPECT_FALSE(IsPunctuation(Char("\xA1\xA1")));
}

TEST(GetTokenTest, ATagWithABracketedWordIsFourTokens) {
  EXPECT_EQ(
      TokensOf("u<\xB5\xC4>"),
      (Tokens{{Identifier, "u"}, {LeftAngle, "<"}, {Identifier, "\xB5\xC4"}, {RightAngle, ">"}}));
}

TEST(GetTokenTest, UnderscoreAndDigitsEndOrCannotBeginAnIdentifier) {
  EXPECT_EQ(TokensOf("NP_1"), (Tokens{{Identifier, "NP"}, {Punctuation, "_"}, {Other, "1"}}));
  EXPECT_EQ(TokensOf("12 NP2"), (Tokens{{Other, "1"}, {Other, "2"}, {Identifier, "NP2"}}));
  // 名词NP2形: hanzi, letters and digits without a break.
  EXPECT_EQ(TokensOf("\xC3\xFB\xB4\xCA"
                     "NP2\xD0\xCE\n"),
            (Tokens{{Identifier,
                     "\xC3\xFB\xB4\xCA"
                     "NP2\xD0\xCE"}}));
}

TEST(GetTokenTest, PairedTokensAndTheirSingleCharacterFallbacks) {
  EXPECT_EQ(TokensOf("- >"), (Tokens{{Other, "-"}, {RightAngle, ">"}}));
  EXPECT_EQ(TokensOf("->"), (Tokens{{Arrow, "->"}}));
  EXPECT_EQ(TokensOf("-x"), (Tokens{{Other, "-"}, {Identifier, "x"}}));
  EXPECT_EQ(TokensOf("&&&:::"),
            (Tokens{{AndAnd, "&&"}, {Other, "&"}, {ColonColon, "::"}, {Other, ":"}}));
  // The character after a lone "&" may be a two-byte one; both bytes come back.
  EXPECT_EQ(TokensOf("&\xB5\xC4"), (Tokens{{Other, "&"}, {Identifier, "\xB5\xC4"}}));
  for (const char* last : {":", "&", "-"}) {
    EXPECT_EQ(TokensOf(std::string("a ") + last), (Tokens{{Identifier, "a"}, {Other, last}}));
  }
}

TEST(GetTokenTest, EverySingleCharacterKind) {
  EXPECT_EQ(TokensOf("!$<>{}=|~"), (Tokens{{Bang, "!"},
                                           {Dollar, "$"},
                                           {LeftAngle, "<"},
                                           {RightAngle, ">"},
                                           {LeftBrace, "{"},
                                           {RightBrace, "}"},
                                           {Equals, "="},
                                           {Bar, "|"},
                                           {Tilde, "~"}}));
}

TEST(GetTokenTest, PunctuationAndOtherCharacters) {
  EXPECT_EQ(TokensOf("\xA3\xAC,;.\xA1\xA1\x7F\xA1\xA4"), (Tokens{{Punctuation, "\xA3\xAC"},
                                                                 {Punctuation, ","},
                                                                 {Punctuation, ";"},
                                                                 {Punctuation, "."},
                                                                 {Other, "\xA1\xA1"},
                                                                 {Other, "\x7F"},
                                                                 {Other, "\xA1\xA4"}}));
}

TEST(GetTokenTest, LineEndsOfEveryKindAreWhiteSpace) {
  EXPECT_EQ(TokensOf("a\r\nb\nc\rd\t\v\fe"), (Tokens{{Identifier, "a"},
                                                     {Identifier, "b"},
                                                     {Identifier, "c"},
                                                     {Identifier, "d"},
                                                     {Identifier, "e"}}));
  EXPECT_EQ(TokensOf(" \r\n\t "), Tokens{});
}

// An identifier was kept whole however long: a 100 MB title took 331 MB.
// Its first 128 bytes are kept (cut between characters) and the rest is read
// to its end, so the token after it comes out as before.
TEST(GetTokenTest, RegressionAHugeIdentifierIsKeptUpToItsFirst128Bytes) {
  const std::string de = "\xB5\xC4";  // 的
  std::string hanzi;
  for (int i = 0; i < 15; ++i) hanzi += de;
  struct Case {
    std::string identifier;
    std::string kept;
  };
  const std::vector<Case> cases = {
      {std::string(128, 'q'), std::string(128, 'q')},
      {std::string(129, 'q'), std::string(128, 'q')},
      {std::string(1000000, 'q'), std::string(128, 'q')},
      {hanzi + "x", hanzi + "x"},
      // 127 bytes, then a two-byte character that does not fit: neither it
      // nor any letter after it is kept.
      {std::string(127, 'q') + de + "abc", std::string(127, 'q')},
      {std::string(126, 'q') + de + "abc", std::string(126, 'q') + de},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TokensOf(c.identifier + " ->"), (Tokens{{Identifier, c.kept}, {Arrow, "->"}}))
        << c.identifier.size();
  }
}

// A Ctrl-Z byte ends the input of a data file, as text mode reads it.
TEST(GetTokenTest, ACtrlZByteEndsTheInput) {
  EXPECT_EQ(TokensOf("a b\x1a c"), (Tokens{{Identifier, "a"}, {Identifier, "b"}}));
  EXPECT_EQ(TokensOf("ab\xB5\x1a"), (Tokens{{Identifier, "ab"}}));  // a lead byte cut off
  EXPECT_EQ(TokensOf("-\x1a>"), (Tokens{{Other, "-"}}));
}

TEST(GetTokenTest, EndOfInputRepeatsAndLeavesTheKindOfTheLastToken) {
  auto in = InputStream::FromBytes("NP");  // no line break after the identifier
  Token token;
  EXPECT_EQ(GetToken(*in, token), 2);
  EXPECT_EQ(token.text, "NP");
  for (int i = 0; i < 3; ++i) {
    token.text = "stale";
    EXPECT_EQ(GetToken(*in, token), -1);
    EXPECT_EQ(token.text, "");
    EXPECT_EQ(token.kind, Identifier);
  }

  auto colon = InputStream::FromBytes(":");
  EXPECT_EQ(GetToken(*colon, token), 1);
  EXPECT_EQ(token.kind, Other);
  EXPECT_EQ(GetToken(*colon, token), -1);
  EXPECT_EQ(token.kind, Other);
}

TEST(GetTokenTest, ALeadByteAtTheVeryEndIsDropped) {
  EXPECT_EQ(TokensOf("\xB5"), Tokens{});
  EXPECT_EQ(TokensOf("a \xB5"), (Tokens{{Identifier, "a"}}));
  EXPECT_EQ(TokensOf("ab\xB5"), (Tokens{{Identifier, "ab"}}));  // ends the identifier
  EXPECT_EQ(TokensOf("-\xB5"), (Tokens{{Other, "-"}}));
}

}  // namespace
}  // namespace marvolen
