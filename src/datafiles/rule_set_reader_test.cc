#include "datafiles/rule_set_reader.h"

#include <gtest/gtest.h>

#include "datafiles/lexer.h"
#include "testing/heap.h"

namespace marvolen {
namespace {

using Strings = std::vector<std::string>;

const char kFormatError[] = "Format Error in Rules_File file       ";
const char kTitleError[] = "the title of rules must be a identifier!       ";
const char kLeftTagError[] = "the left tag of rules must be a identifier!       ";
const char kInvalidFormat[] = "Invalid Rules_File format!       ";
const char kTooMany[] = "Too many rules in Rules_File ... ";

// GBK texts used below.
const std::string kDe = "\xB5\xC4";   // 的
const std::string kDi = "\xB5\xD8";   // 地
const std::string kHe = "\xBA\xCD";   // 和
const std::string kKao = "\x81\x40";  // 丂: second byte below 0x81

struct Read {
  RuleSet ruleSet;
  RecordingUserInterface ui;

  Strings RightSides() const {
    Strings out;
    for (const CfgRule& r : ruleSet.rules) out.push_back(r.rightSide());
    return out;
  }
};

Read ReadFrom(const std::string& bytes) {
  Read r;
  auto in = InputStream::FromBytes(bytes);
  ReadRuleSet(r.ruleSet, *in, r.ui);
  return r;
}

// A file holding `rules` between the keywords.
Read ReadRules(const std::string& rules) {
  return ReadFrom("CFGRuleSetBegin\r\n" + rules + "\r\nCFGRuleSetEnd\r\n");
}

// `n` rules "&& 1 Ri : NP -> a n &&", joined so that each "&&" ending a rule
// is followed by the "&&" that begins the next.
std::string Rules(int n, const std::string& prefix = "R") {
  std::string out;
  for (int i = 0; i < n; ++i) out += "&& 1 " + prefix + std::to_string(i) + " : NP -> a n &&\n";
  return out;
}

TEST(ReadRuleSetTest, ReadsAWholeFileTokenByToken) {
  Read r = ReadFrom(
      "CFGRuleSetBegin\n&& 1 R1 : NP -> a n &&\n&& 2 R2 : VP -> v NP :: a b c d VO\n"
      "CFGRuleSetEnd\n");
  EXPECT_TRUE(r.ui.messages.empty());
  ASSERT_EQ(r.ruleSet.count(), 2);
  const CfgRule& r1 = r.ruleSet.rules[0];
  EXPECT_EQ(r1.title(), "R1");
  EXPECT_EQ(r1.leftTag(), "NP");
  EXPECT_EQ(r1.rightSide(), "a n ");
  EXPECT_EQ(r1.treeTitle(), "");
  const CfgRule& r2 = r.ruleSet.rules[1];
  EXPECT_EQ(r2.title(), "R2");
  EXPECT_EQ(r2.leftTag(), "VP");
  EXPECT_EQ(r2.rightSide(), "v NP ");
  EXPECT_EQ(r2.treeTitle(), "VO");
}

TEST(ReadRuleSetTest, RightSidesEmptyOrWithDroppedBangs) {
  Read r = ReadRules("&& 1 A : X -> && && 1 B : X -> :: p q r s T && 1 C : X -> !n v &&");
  EXPECT_TRUE(r.ui.messages.empty());
  EXPECT_EQ(r.RightSides(), (Strings{"", "", "n v "}));
  EXPECT_EQ(r.ruleSet.rules[1].treeTitle(), "T");
  EXPECT_EQ(CountRuleItems(r.ruleSet.rules[0]), 0);

  Read bangAtEnd = ReadRules("&& 1 A : X -> a &&  && 1 B : X -> n ! &&");
  EXPECT_EQ(bangAtEnd.RightSides(), Strings{"a "});
  EXPECT_EQ(bangAtEnd.ui.messages, Strings{kInvalidFormat});
}

TEST(ReadRuleSetTest, TheTreeSectionSkipsFourTokensOfAnyKindAndTakesATildeTitleOnce) {
  Read r = ReadRules(
      "&& 1 A : X -> a :: && <  -> | \xB6\xA8\xD6\xD0 "
      "&& 1 B : X -> b :: p q r s ~ \xCA\xF6\xB1\xF6");
  EXPECT_TRUE(r.ui.messages.empty());
  ASSERT_EQ(r.ruleSet.count(), 2);
  EXPECT_EQ(r.ruleSet.rules[0].treeTitle(), "\xB6\xA8\xD6\xD0");  // 定中
  EXPECT_EQ(r.ruleSet.rules[1].treeTitle(), "\xCA\xF6\xB1\xF6");  // 述宾, once
}

TEST(ReadRuleSetTest, EveryBracketedItemKeepsItsWordAndClosingText) {
  Read r =
      ReadRules("&& 1 A : NP -> n u < " + kDe + " > n &&" + "&& 1 B : NP -> u<" + kDe + "} &&");
  EXPECT_TRUE(r.ui.messages.empty());
  EXPECT_EQ(r.RightSides(), (Strings{"n u<" + kDe + ">  n ", "u<" + kDe + "}  "}));
  // A bracketed item is one item of the rule.
  EXPECT_EQ(CountRuleItems(r.ruleSet.rules[0]), 3);
  EXPECT_EQ(RuleItemAt(r.ruleSet.rules[0], 2), "u<" + kDe + ">");
}

TEST(ReadRuleSetTest, AlternativesMakeOneRecordEachInFileOrder) {
  // Alternatives of any bytes come out whole: a hanzi, ASCII letters, a
  // character whose second byte is below 0x81, and punctuation.
  Read r =
      ReadRules("&& 1 A : NP -> n u<" + kDe + "|" + kDi + "|de|" + kKao + "|,> n :: p q r s T");
  EXPECT_TRUE(r.ui.messages.empty());
  EXPECT_EQ(r.RightSides(), (Strings{"n u<" + kDe + ">  n ", "n u<" + kDi + ">  n ", "n u<de>  n ",
                                     "n u<" + kKao + ">  n ", "n u<,>  n "}));
  for (const CfgRule& rule : r.ruleSet.rules) {
    EXPECT_EQ(rule.title(), "A");
    EXPECT_EQ(rule.leftTag(), "NP");
    EXPECT_EQ(rule.treeTitle(), "T");
  }
}

TEST(ReadRuleSetTest, SeveralBracketedItemsMakeEveryCombinationLastChangingFastest) {
  Read r = ReadRules("&& 1 A : NP -> a<x|y> n c<" + kHe + "|p|q> &&");
  EXPECT_TRUE(r.ui.messages.empty());
  EXPECT_EQ(r.RightSides(), (Strings{
                                "a<x>  n c<" + kHe + ">  ",
                                "a<x>  n c<p>  ",
                                "a<x>  n c<q>  ",
                                "a<y>  n c<" + kHe + ">  ",
                                "a<y>  n c<p>  ",
                                "a<y>  n c<q>  ",
                            }));
}

TEST(ReadRuleSetTest, ThreeHundredRecordsFitAndARuleBeyondThemIsRefusedWhole) {
  Read exact = ReadRules(Rules(298) + "&& 1 A : X -> u<a|b> &&");
  EXPECT_EQ(exact.ruleSet.count(), 300);
  EXPECT_TRUE(exact.ui.messages.empty());

  Read plain = ReadRules(Rules(301));
  EXPECT_EQ(plain.ruleSet.count(), 300);
  EXPECT_EQ(plain.ui.messages, Strings{kTooMany});

  Read alternatives = ReadRules(Rules(298) + "&& 1 A : X -> u<a|b|c> && && 1 B : X -> y &&");
  EXPECT_EQ(alternatives.ruleSet.count(), 298);
  EXPECT_EQ(alternatives.ui.messages, Strings{kTooMany});

  // Ten bracketed items of ten words each would be 10^10 records.
  std::string huge = "&& 1 A : X ->";
  for (int i = 0; i < 10; ++i) huge += " t<0|1|2|3|4|5|6|7|8|9>";
  Read explosive = ReadRules(Rules(1) + huge + " &&");
  EXPECT_EQ(explosive.ruleSet.count(), 1);
  EXPECT_EQ(explosive.ui.messages, Strings{kTooMany});
}

TEST(ReadRuleSetTest, MessagesForTheFileKeywords) {
  for (const char* bytes : {"", "cfgrulesetbegin && 1 A : X -> a && CFGRuleSetEnd",
                            "&& 1 A : X -> a && CFGRuleSetEnd"}) {
    Read r = ReadFrom(bytes);
    EXPECT_EQ(r.ruleSet.count(), 0);
    EXPECT_EQ(r.ui.messages, Strings{"Invalid Rules_File format!    "}) << bytes;
  }
  Read empty = ReadFrom("CFGRuleSetBegin CFGRuleSetEnd");
  EXPECT_EQ(empty.ui.messages, Strings{"No Rules in Rules_File file!       "});

  Read noAndAnd = ReadFrom("CFGRuleSetBegin & 1 A : X -> a && CFGRuleSetEnd");
  EXPECT_EQ(noAndAnd.ui.messages, Strings{kFormatError});
}

TEST(ReadRuleSetTest, StrayBytesBlankFilesAndLineEndsOfEveryKind) {
  // A lead byte as the very last byte is the end of input where a token is
  // still due, and is never read after "CFGRuleSetEnd".
  Read item = ReadFrom("CFGRuleSetBegin && 1 A : X -> a && && 1 B : Y -> b\xB5");
  EXPECT_EQ(item.RightSides(), Strings{"a "});
  EXPECT_EQ(item.ui.messages, Strings{kInvalidFormat});
  Read next = ReadFrom("CFGRuleSetBegin && 1 A : X -> a &&\xB5");
  EXPECT_EQ(next.RightSides(), Strings{"a "});
  EXPECT_EQ(next.ui.messages, Strings{kFormatError});
  Read after = ReadFrom("CFGRuleSetBegin && 1 A : X -> a && CFGRuleSetEnd\n\xB5");
  EXPECT_EQ(after.RightSides(), Strings{"a "});
  EXPECT_TRUE(after.ui.messages.empty());

  // A file of nothing but blanks and line ends is a file without its keyword.
  Read blank = ReadFrom(" \t\r\n\r \n\v\f ");
  EXPECT_EQ(blank.ruleSet.count(), 0);
  EXPECT_EQ(blank.ui.messages, Strings{"Invalid Rules_File format!    "});

  // A NUL byte is a token of its own: fine where any token is skipped, not
  // as an item.
  Read skipped = ReadFrom(std::string("CFGRuleSetBegin && \0 A \0 X -> a && CFGRuleSetEnd", 48));
  EXPECT_EQ(skipped.RightSides(), Strings{"a "});
  EXPECT_TRUE(skipped.ui.messages.empty());
  Read asItem = ReadFrom(std::string("CFGRuleSetBegin && 1 A : X -> a \0 && CFGRuleSetEnd", 50));
  EXPECT_EQ(asItem.ruleSet.count(), 0);
  EXPECT_EQ(asItem.ui.messages, Strings{kInvalidFormat});

  // CR alone, LF alone and CR LF all end lines.
  for (const char* eol : {"\r", "\n", "\r\n"}) {
    const std::string e = eol;
    Read r = ReadFrom("CFGRuleSetBegin" + e + "&& [ R01 ] NP -> a" + e + "n :: <TREE> = T" + e +
                      "&& [ R02 ] VP -> v NP &&" + e + "CFGRuleSetEnd" + e);
    EXPECT_EQ(r.RightSides(), (Strings{"a n ", "v NP "}));
    EXPECT_TRUE(r.ui.messages.empty());
  }
}

TEST(ReadRuleSetTest, WhatFollowsARuleMustBeAndAndOrTheEndKeyword) {
  Read r = ReadFrom("CFGRuleSetBegin && 1 A : X -> a && B && 1 C : X -> c && CFGRuleSetEnd");
  EXPECT_EQ(r.RightSides(), Strings{"a "});
  EXPECT_EQ(r.ui.messages, Strings{kFormatError});

  Read tree = ReadFrom("CFGRuleSetBegin && 1 A : X -> a :: p q r s T U CFGRuleSetEnd");
  EXPECT_EQ(tree.RightSides(), Strings{"a "});
  EXPECT_EQ(tree.ui.messages, Strings{kFormatError});

  // Nothing after the end keyword is read.
  Read after = ReadFrom("CFGRuleSetBegin && 1 A : X -> a && CFGRuleSetEnd junk <");
  EXPECT_EQ(after.RightSides(), Strings{"a "});
  EXPECT_TRUE(after.ui.messages.empty());
}

TEST(ReadRuleSetTest, TitlesLeftTagsArrowsAndItemsMustHaveTheirKinds) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"&& 1 2R : X -> a &&", kTitleError},        // a digit begins it
      {"&& 1 \xA1\xA4 : X -> a &&", kTitleError},  // a two-byte symbol
      {"&& 1 R : 2X -> a &&", kLeftTagError},
      {"&& 1 R : < -> a &&", kLeftTagError},
      {"&& 1 R : X - > a &&", kInvalidFormat},
      {"&& 1 R : X a &&", kInvalidFormat},
      {"&& 1 R : X -> a , b &&", kInvalidFormat},
      {"&& 1 R : X -> a<b> > &&", kInvalidFormat},  // a second closing token
  };
  for (const auto& [rule, message] : cases) {
    // The error is in the third rule; the first two stay.
    Read r = ReadRules(Rules(2) + rule + " && 1 Z : X -> z &&");
    EXPECT_EQ(r.ruleSet.count(), 2) << rule;
    EXPECT_EQ(r.ui.messages, Strings{message}) << rule;
  }
}

TEST(ReadRuleSetTest, RulesAreStoredAsReadEvenWhenEqual) {
  Read r = ReadRules("&& 1 A : ZZZ -> qq rr && && 1 A : ZZZ -> qq rr &&");
  EXPECT_EQ(r.RightSides(), (Strings{"qq rr ", "qq rr "}));
  EXPECT_TRUE(r.ui.messages.empty());
}

TEST(ReadRuleSetTest, TheEndOfInputInsideARuleGivesTheMessageOfWhereItHappens) {
  // Each entry: the tokens of the rule read so far, and the message when the
  // input ends right after them. The rule before it is always kept.
  const std::vector<std::pair<std::string, std::string>> cuts = {
      {"", kFormatError},
      {"&&", kTitleError},
      {"&& 1", kTitleError},
      {"&& 1 R", kLeftTagError},
      {"&& 1 R :", kLeftTagError},
      {"&& 1 R : X", kInvalidFormat},
      {"&& 1 R : X ->", kInvalidFormat},
      {"&& 1 R : X -> !", kInvalidFormat},
      {"&& 1 R : X -> !a", kInvalidFormat},
      {"&& 1 R : X -> !a u", kInvalidFormat},
      {"&& 1 R : X -> !a u <", kInvalidFormat},
      {"&& 1 R : X -> !a u < x", kInvalidFormat},
      {"&& 1 R : X -> !a u < x |", kInvalidFormat},
      {"&& 1 R : X -> !a u < x | y", kInvalidFormat},
      {"&& 1 R : X -> !a u < x | y >", kInvalidFormat},
      {"&& 1 R : X -> !a u < x | y > ::", kInvalidFormat},
      {"&& 1 R : X -> !a u < x | y > :: p q r s", kInvalidFormat},
      {"&& 1 R : X -> !a u < x | y > :: p q r s ~", kInvalidFormat},
      // The end keyword where the rule's end is expected is one more item.
      {"&& 1 R : X -> a CFGRuleSetEnd", kInvalidFormat},
  };
  const std::string before = "CFGRuleSetBegin && 1 A : X -> a && ";
  for (const auto& [cut, message] : cuts) {
    Read r = ReadFrom(before + cut);
    EXPECT_EQ(r.RightSides(), Strings{"a "}) << cut;
    EXPECT_EQ(r.ui.messages, Strings{message}) << cut;
  }
  // After a complete rule the token that follows it is missing: the rule,
  // which is complete, is stored.
  for (const char* complete : {"&& 1 R : X -> b &&", "&& 1 R : X -> b :: p q r s ~ T"}) {
    Read r = ReadFrom(before + complete);
    EXPECT_EQ(r.RightSides(), (Strings{"a ", "b "})) << complete;
    EXPECT_EQ(r.ui.messages, Strings{kFormatError}) << complete;
  }
  Read rightAfterBegin = ReadFrom("CFGRuleSetBegin");
  EXPECT_EQ(rightAfterBegin.ui.messages, Strings{kFormatError});
}

TEST(ReadRuleSetTest, TextsLongerThanTheirFieldsStopTheReaderNamingThem) {
  const std::string ok =
      "&& 1 ABCDEFGHI : ABCD -> " + std::string(19, 'i') + " :: p q r s " + std::string(24, 't');
  Read fits = ReadRules(ok);
  EXPECT_TRUE(fits.ui.messages.empty());
  EXPECT_EQ(fits.ruleSet.count(), 1);

  const std::vector<std::pair<std::string, std::string>> cases = {
      {"&& 1 ABCDEFGHIJ : X -> a &&", "Title longer than 9 bytes in Rules_File: ABCDEFGHIJ"},
      {"&& 1 R : ABCDE -> a &&", "Left tag longer than 4 bytes in Rules_File: ABCDE"},
      {"&& 1 R : X -> a " + std::string(20, 'i') + " &&",
       "Item longer than 19 bytes in Rules_File: " + std::string(20, 'i')},
      // The closing text counts: u<...> with 16 bytes of word is 19 bytes,
      // with 17 bytes of word 20.
      {"&& 1 R : X -> u<" + std::string(16, 'w') + "> u<" + std::string(17, 'w') + "|" + kDe +
           "> &&",
       "Item longer than 19 bytes in Rules_File: u<" + std::string(17, 'w') + ">"},
      // Only the alternative is too long.
      {"&& 1 R : X -> u<" + kDe + "|" + std::string(17, 'w') + "> &&",
       "Item longer than 19 bytes in Rules_File: u<" + std::string(17, 'w') + ">"},
      {"&& 1 R : X -> a :: p q r s " + std::string(25, 't'),
       "Tree title longer than 24 bytes in Rules_File: " + std::string(25, 't')},
      {"&& 1 R : X -> a :: p q r s ~ " + kDe + kDe + kDe + kDe + kDe + kDe + kDe + kDe + kDe + kDe +
           kDe + kDe + kDe,
       "Tree title longer than 24 bytes in Rules_File: 的的的的的的的的的的的的的"},
  };
  for (const auto& [rule, message] : cases) {
    Read r = ReadRules(Rules(1) + rule + " && 1 Z : X -> z &&");
    EXPECT_EQ(r.ruleSet.count(), 1) << rule;
    EXPECT_EQ(r.ui.messages, Strings{message}) << rule;
  }

  // Skipped tokens are never looked at.
  Read skipped = ReadRules("&& " + std::string(30, 's') + " A " + std::string(30, 's') +
                           " X -> a :: " + std::string(30, 's') + " q r s T");
  EXPECT_TRUE(skipped.ui.messages.empty());
  EXPECT_EQ(skipped.ruleSet.count(), 1);
}

TEST(ReadRuleSetTest, ARightSideOfEveryRecordMustFitItsField) {
  // Seven items of 9 bytes and one of 8, each with its blank: 79 bytes.
  std::string items;
  for (int i = 0; i < 7; ++i) items += "abcdefghi ";
  Read fits = ReadRules("&& 1 R : X -> " + items + "abcdefgh &&");
  ASSERT_EQ(fits.ruleSet.count(), 1);
  EXPECT_EQ(fits.ruleSet.rules[0].rightSide().size(), 79u);
  EXPECT_TRUE(fits.ui.messages.empty());

  // The message quotes the first 40 bytes of the right side.
  const std::string quoted = items.substr(0, 40) + "...";
  Read over = ReadRules(Rules(1) + "&& 1 R : X -> " + items + "abcdefghi &&");
  EXPECT_EQ(over.ruleSet.count(), 1);
  EXPECT_EQ(over.ui.messages, Strings{"Right side longer than 79 bytes in Rules_File: " + quoted});

  // The rule as written fits (79 bytes with u<a>), its alternative does not;
  // none of the rule's records is stored.
  Read alternative = ReadRules(Rules(1) + "&& 1 R : X -> " + items + "ab u<a|bb> &&");
  EXPECT_EQ(alternative.ruleSet.count(), 1);
  EXPECT_EQ(alternative.ui.messages,
            Strings{"Right side longer than 79 bytes in Rules_File: " + quoted});
  Read late = ReadRules("&& 1 R : X -> u<a|" + std::string(16, 'b') + "> " + items + "&&");
  EXPECT_EQ(late.ui.messages, Strings{"Right side longer than 79 bytes in Rules_File: u<" +
                                      std::string(16, 'b') + ">  " + items.substr(0, 19) + "..."});
}

// How much of the heap reading `bytes` takes at most.
std::size_t PeakHeapOfReading(const std::string& bytes, Read& r) {
  auto in = InputStream::FromBytes(bytes);
  ResetHeapPeak();
  ReadRuleSet(r.ruleSet, *in, r.ui);
  return HeapPeakBytes();
}

// Texts far longer than their fields were kept whole before their width was
// checked: a 100 MB right side took 6.3 GB and 40 s, 100 MB of alternatives
// 2.1 GB, a 100 MB title 331 MB, and each message quoted all of it. The
// reader now keeps what the message needs, whatever the input, and the
// message is the one the whole rule earns: tokens past the limit are still
// read and checked.
TEST(ReadRuleSetTest, RegressionHugeTextsCostNoMoreThanTheirFields) {
  const std::string huge(2000000, 'T');
  std::string manyItems, manyAlternatives;
  for (int i = 0; i < 1000000; ++i) manyItems += "a ";
  for (int i = 0; i < 1000000; ++i) manyAlternatives += "|a";
  std::string longLater;  // past the 300 words kept, longer words come
  for (int i = 0; i < 400; ++i) longLater += "|a";
  longLater +=
      "|" + std::string(15, 'x') + "|a|" + std::string(17, 'y') + "|" + std::string(30, 'z');
  const std::string t40 = std::string(40, 'T') + "...";
  struct Case {
    std::string rule;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"&& 1 R : X -> " + manyItems + "&&",
       "Right side longer than 79 bytes in Rules_File: " + manyItems.substr(0, 40) + "..."},
      {"&& 1 R : X -> " + manyItems + ":: p q r s T",
       "Right side longer than 79 bytes in Rules_File: " + manyItems.substr(0, 40) + "..."},
      // What is wrong after the limit is still found, as before.
      {"&& 1 R : X -> " + manyItems + "1 &&", kInvalidFormat},
      {"&& 1 R : X -> " + manyItems + std::string(20, 'i') + " &&",
       "Item longer than 19 bytes in Rules_File: " + std::string(20, 'i')},
      {"&& 1 R : X -> " + manyItems + ":: p q r s " + huge,
       "Tree title longer than 24 bytes in Rules_File: " + t40},
      {"&& 1 R : X -> " + manyItems + "u<a|b> u<a|b|c> &&",
       "Right side longer than 79 bytes in Rules_File: " + manyItems.substr(0, 40) + "..."},
      {"&& 1 R : X -> u<a" + manyAlternatives + "> &&", kTooMany},
      {"&& 1 R : X -> " + manyItems + "u<a" + manyAlternatives + "> &&", kTooMany},
      {"&& 1 R : X -> u<a" + manyAlternatives + "> 1 &&", kInvalidFormat},
      {"&& 1 R : X -> u<a" + longLater + "> &&",
       "Item longer than 19 bytes in Rules_File: u<" + std::string(17, 'y') + ">"},
      {"&& 1 R : X -> u<" + huge + "> &&",
       "Item longer than 19 bytes in Rules_File: u<" + t40.substr(2)},
      {"&& 1 " + huge + " : X -> a &&", "Title longer than 9 bytes in Rules_File: " + t40},
      {"&& 1 R : " + huge + " -> a &&", "Left tag longer than 4 bytes in Rules_File: " + t40},
      {"&& 1 R : X -> a " + huge + " &&", "Item longer than 19 bytes in Rules_File: " + t40},
      {"&& 1 R : X -> a :: p q r s ~ " + huge,
       "Tree title longer than 24 bytes in Rules_File: " + t40},
      // Skipped tokens are read to their end and never looked at.
      {"&& " + huge + " R " + huge + " X -> a :: " + huge + " q r s T && 1 S : X -> " + huge,
       "Item longer than 19 bytes in Rules_File: " + t40},
  };
  for (const Case& c : cases) {
    Read r;
    const std::size_t peak =
        PeakHeapOfReading("CFGRuleSetBegin " + Rules(1) + c.rule + " CFGRuleSetEnd", r);
    EXPECT_EQ(r.ui.messages, Strings{c.message}) << c.rule.substr(0, 60);
    EXPECT_LE(r.ruleSet.count(), 2) << c.rule.substr(0, 60);
    EXPECT_LT(peak, 200000u) << c.rule.substr(0, 60);
  }
}

// Control bytes in a quoted text reach the person escaped.
TEST(ReadRuleSetTest, ControlBytesInAQuotedTextAreEscaped) {
  Read r = ReadRules("&& 1 R : X -> u<\x1b|" + std::string(17, 'w') + "\x07 &&");
  EXPECT_EQ(r.ui.messages, Strings{"Item longer than 19 bytes in Rules_File: u<" +
                                   std::string(17, 'w') + "\\x07"});
}

TEST(ReadRuleSetTest, AnAllocationFailureShowsTheMemoryMessageAndKeepsWholeRules) {
  // Texts long enough to need heap storage of their own.
  const std::string bytes =
      "CFGRuleSetBegin && 1 R1 : NP -> abcdefghijklmnopq n && "
      "&& 1 R2 : VP -> v u<" +
      kDe + "|" + kDi +
      "> :: p q r s abcdefghijklmnopqrst\n"
      "CFGRuleSetEnd";
  const Read full = ReadFrom(bytes);
  ASSERT_EQ(full.ruleSet.count(), 3);
  int failures = 0;
  for (int n = 0;; ++n) {
    Read r;
    auto in = InputStream::FromBytes(bytes);
    FailAllocationAfter(n);
    ReadRuleSet(r.ruleSet, *in, r.ui);
    if (!DisarmAllocationFailure()) break;
    ++failures;
    EXPECT_EQ(r.ui.messages, Strings{" Memory allocation error!    "}) << n;
    // Either no record of the second rule or both.
    EXPECT_NE(r.ruleSet.count(), 2) << n;
    ASSERT_LE(r.ruleSet.count(), 3);
    for (int i = 0; i < r.ruleSet.count(); ++i) {
      EXPECT_EQ(r.ruleSet.rules[i].rightSide(), full.ruleSet.rules[i].rightSide());
      EXPECT_EQ(r.ruleSet.rules[i].treeTitle(), full.ruleSet.rules[i].treeTitle());
    }
  }
  EXPECT_GT(failures, 5);
}

}  // namespace
}  // namespace marvolen
