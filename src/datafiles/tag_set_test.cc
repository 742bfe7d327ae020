#include "datafiles/tag_set.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "testing/heap.h"

namespace marvolen {
namespace {

using Strings = std::vector<std::string>;

const char kFormatError[] = "Format Error in TagSet_File       ";

struct Read {
  TagSet tagSet;
  RecordingUserInterface ui;
};

Read ReadFrom(std::string bytes) {
  Read r;
  auto in = InputStream::FromBytes(std::move(bytes));
  ReadTagSet(r.tagSet, *in, r.ui);
  return r;
}

// `n` distinct tags t0, t1, ... separated by commas.
std::string TagList(int n) {
  std::string list;
  for (int i = 0; i < n; ++i) list += (i ? " , t" : "t") + std::to_string(i);
  return list;
}

TEST(ReadTagSetTest, ReadsTagsSeparatedByAnySingleToken) {
  Read one = ReadFrom("TagSetBegin n TagSetEnd");
  EXPECT_EQ(one.tagSet.tags, Strings{"n"});
  EXPECT_TRUE(one.ui.messages.empty());

  for (const char* separator : {",", ";", "x", "\xA3\xAC", "&&"}) {
    Read r = ReadFrom(std::string("TagSetBegin\r\nn ") + separator + " v\r\nTagSetEnd\r\n");
    EXPECT_EQ(r.tagSet.tags, (Strings{"n", "v"})) << separator;
    EXPECT_TRUE(r.ui.messages.empty());
  }
}

TEST(ReadTagSetTest, BracketedWordsAreStoredWithoutBlanks) {
  Read r = ReadFrom("TagSetBegin u < \xB5\xC4 > , c<\xBA\xCD>, w<\xA3\xAC> TagSetEnd");
  EXPECT_EQ(r.tagSet.tags, (Strings{"u<\xB5\xC4>", "c<\xBA\xCD>", "w<\xA3\xAC>"}));
  EXPECT_TRUE(r.ui.messages.empty());
}

TEST(ReadTagSetTest, RepeatedTagsAreStoredEachTime) {
  Read r = ReadFrom("TagSetBegin n , n , n TagSetEnd");
  EXPECT_EQ(r.tagSet.tags, (Strings{"n", "n", "n"}));
}

TEST(ReadTagSetTest, FortyTagsFitAndAFortyFirstIsRefused) {
  Read forty = ReadFrom("TagSetBegin " + TagList(40) + " TagSetEnd");
  EXPECT_EQ(forty.tagSet.count(), 40);
  EXPECT_EQ(forty.tagSet.tags.back(), "t39");
  EXPECT_TRUE(forty.ui.messages.empty());

  for (const char* after : {" TagSetEnd", " , t41 TagSetEnd"}) {
    Read r = ReadFrom("TagSetBegin " + TagList(41) + after);
    EXPECT_EQ(r.tagSet.count(), 40);
    EXPECT_EQ(r.ui.messages,
              Strings{"Too many word class or phrase class tag in TagSet_File       "});
  }
}

TEST(ReadTagSetTest, MessagesForAMissingBeginAndAnEmptyList) {
  for (const char* bytes : {"", "   ", "tagsetbegin n TagSetEnd", "n TagSetBegin n TagSetEnd"}) {
    Read r = ReadFrom(bytes);
    EXPECT_EQ(r.tagSet.count(), 0);
    EXPECT_EQ(r.tagSet.tags.capacity(), 0u) << "no list is made";
    EXPECT_EQ(r.ui.messages, Strings{"Invalid TagSet_File format!    "});
  }
  Read empty = ReadFrom("TagSetBegin TagSetEnd");
  EXPECT_EQ(empty.tagSet.count(), 0);
  EXPECT_EQ(empty.ui.messages,
            Strings{"No defined part-of-speech tag(s) and phrase tag(s)!       "});
}

TEST(ReadTagSetTest, StrayBytesBlankFilesAndLineEndsOfEveryKind) {
  // A lead byte as the very last byte is no character: where a token is
  // still due it is the end of input; after "TagSetEnd" it is never read.
  Read cut = ReadFrom("TagSetBegin n , v\xB5");
  EXPECT_EQ(cut.tagSet.tags, Strings{"n"});
  EXPECT_EQ(cut.ui.messages, Strings{kFormatError});
  Read after = ReadFrom("TagSetBegin n , v TagSetEnd\r\n\xB5");
  EXPECT_EQ(after.tagSet.tags, (Strings{"n", "v"}));
  EXPECT_TRUE(after.ui.messages.empty());

  // A file of nothing but blanks and line ends is a file without its keyword.
  Read blank = ReadFrom(" \t\r\n\r \n\v\f ");
  EXPECT_EQ(blank.tagSet.count(), 0);
  EXPECT_EQ(blank.ui.messages, Strings{"Invalid TagSet_File format!    "});

  // A NUL byte is a token of its own: fine as a separator, not as a tag.
  Read separator = ReadFrom(std::string("TagSetBegin n \0 v TagSetEnd", 27));
  EXPECT_EQ(separator.tagSet.tags, (Strings{"n", "v"}));
  EXPECT_TRUE(separator.ui.messages.empty());
  Read tag = ReadFrom(std::string("TagSetBegin n , \0 TagSetEnd", 27));
  EXPECT_EQ(tag.tagSet.tags, Strings{"n"});
  EXPECT_EQ(tag.ui.messages, Strings{kFormatError});

  // CR alone, LF alone and CR LF all end lines.
  for (const char* eol : {"\r", "\n", "\r\n"}) {
    const std::string e = eol;
    Read r =
        ReadFrom("TagSetBegin" + e + "n ," + e + "u<\xB5\xC4>" + e + ", v" + e + "TagSetEnd" + e);
    EXPECT_EQ(r.tagSet.tags, (Strings{"n", "u<\xB5\xC4>", "v"}));
    EXPECT_TRUE(r.ui.messages.empty());
  }
}

TEST(ReadTagSetTest, ATagMustBeginWithAnIdentifier) {
  // A digit, a two-byte symbol, a bracket: each where a tag must begin.
  for (const char* bad : {"1n", "\xA1\xA4", "<"}) {
    Read r = ReadFrom(std::string("TagSetBegin a , ") + bad + " , b TagSetEnd");
    EXPECT_EQ(r.tagSet.tags, Strings{"a"}) << bad;
    EXPECT_EQ(r.ui.messages, Strings{kFormatError});
  }
}

TEST(ReadTagSetTest, ABracketedWordMustBeClosedByARightAngle) {
  Read r = ReadFrom("TagSetBegin a , u<\xB5\xC4 , b TagSetEnd");
  EXPECT_EQ(r.tagSet.tags, Strings{"a"});
  EXPECT_EQ(r.ui.messages, Strings{"Invalid TagSet_File Format!   "});
}

TEST(ReadTagSetTest, TwoTagsWithoutSeparatorReadTheEndKeywordAsATag) {
  // v is taken as the separator and "TagSetEnd" as a tag, which the end of
  // input then follows: that tag is not stored.
  Read r = ReadFrom("TagSetBegin n v TagSetEnd");
  EXPECT_EQ(r.tagSet.tags, Strings{"n"});
  EXPECT_EQ(r.ui.messages, Strings{kFormatError});

  Read trailing = ReadFrom("TagSetBegin n , v , TagSetEnd\n");
  EXPECT_EQ(trailing.tagSet.tags, (Strings{"n", "v"}));
  EXPECT_EQ(trailing.ui.messages, Strings{kFormatError});
}

TEST(ReadTagSetTest, TheEndOfInputAnywhereInTheListIsAFormatError) {
  // Every cut of a complete file before its "TagSetEnd"; the tags complete
  // before the cut (and followed by a token) stay.
  const std::vector<std::pair<std::string, Strings>> cuts = {
      {"TagSetBegin", {}},
      {"TagSetBegin n", {}},
      {"TagSetBegin n ,", {"n"}},
      {"TagSetBegin n , u", {"n"}},
      {"TagSetBegin n , u <", {"n"}},
      {"TagSetBegin n , u < \xB5\xC4", {"n"}},
      {"TagSetBegin n , u < \xB5\xC4 >", {"n"}},
      {"TagSetBegin n , u < \xB5\xC4 > ,", {"n", "u<\xB5\xC4>"}},
      // Empty texts at the end are never taken as tags.
      {"TagSetBegin " + TagList(39) + " ,",
       [] {
         Strings s;
         for (int i = 0; i < 39; ++i) s.push_back("t" + std::to_string(i));
         return s;
       }()},
  };
  for (const auto& [bytes, tags] : cuts) {
    Read r = ReadFrom(bytes);
    EXPECT_EQ(r.tagSet.tags, tags) << bytes;
    EXPECT_EQ(r.ui.messages, Strings{kFormatError}) << bytes;
  }
}

TEST(ReadTagSetTest, ATagLongerThanItsFieldStopsTheReaderNamingIt) {
  const std::string nineteen(19, 'x');
  Read ok = ReadFrom("TagSetBegin " + nineteen +
                     " , uvw<\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4\xB5\xC4"
                     "\xB5\xC4\xB5\xC4> TagSetEnd");  // uvw<...> with 7 hanzi is 19 bytes
  EXPECT_EQ(ok.tagSet.count(), 2);
  EXPECT_TRUE(ok.ui.messages.empty());

  // Two tags that agree in their first 19 bytes are never merged by cutting.
  Read plain = ReadFrom("TagSetBegin a , " + nineteen + "1 , " + nineteen + "2 TagSetEnd");
  EXPECT_EQ(plain.tagSet.tags, Strings{"a"});
  EXPECT_EQ(plain.ui.messages,
            Strings{"Tag longer than 19 bytes in TagSet_File: " + nineteen + "1"});

  // The bracketed word counts: u<名词名词> is 20 bytes. The text is shown in UTF-8.
  Read bracketed = ReadFrom(
      "TagSetBegin a , uvwx<\xC3\xFB\xB4\xCA\xC3\xFB\xB4\xCA\xC3\xFB\xB4\xCA"
      "\xC3\xFB> TagSetEnd");
  EXPECT_EQ(bracketed.tagSet.tags, Strings{"a"});
  EXPECT_EQ(bracketed.ui.messages,
            Strings{"Tag longer than 19 bytes in TagSet_File: uvwx<名词名词名词名>"});

  // A long separator is skipped unread.
  Read separator = ReadFrom("TagSetBegin a " + std::string(40, 's') + " b TagSetEnd");
  EXPECT_EQ(separator.tagSet.tags, (Strings{"a", "b"}));
  EXPECT_TRUE(separator.ui.messages.empty());
}

// A 100 MB tag was kept whole (331 MB) and quoted whole in the message. Its
// first bytes are kept, the message quotes 40 of them.
TEST(ReadTagSetTest, RegressionAHugeTagCostsNoMoreThanItsField) {
  const std::string huge(2000000, 'x');
  const std::string x40 = std::string(40, 'x') + "...";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {huge, x40},
      {"u<" + huge + ">", "u<" + x40.substr(2)},
      {huge + "<w>", x40},
  };
  for (const auto& [tag, quoted] : cases) {
    Read r;
    auto in = InputStream::FromBytes("TagSetBegin a , " + tag + " , b TagSetEnd");
    ResetHeapPeak();
    ReadTagSet(r.tagSet, *in, r.ui);
    EXPECT_LT(HeapPeakBytes(), 20000u);
    EXPECT_EQ(r.tagSet.tags, Strings{"a"});
    EXPECT_EQ(r.ui.messages, Strings{"Tag longer than 19 bytes in TagSet_File: " + quoted});
  }
}

// A file saved by an old DOS editor ends in a Ctrl-Z byte, which text mode
// reads as the end of the input. It used to be read as one more token.
TEST(ReadTagSetTest, RegressionACtrlZByteEndsTheFile) {
  Read r = ReadFrom("TagSetBegin n , v TagSetEnd\r\n\x1a");
  EXPECT_EQ(r.tagSet.tags, (Strings{"n", "v"}));
  EXPECT_TRUE(r.ui.messages.empty());
  Read cut = ReadFrom("TagSetBegin n , v\x1a , a TagSetEnd");
  EXPECT_EQ(cut.tagSet.tags, Strings{"n"});
  EXPECT_EQ(cut.ui.messages, Strings{kFormatError});
}

TEST(ReadTagSetTest, AnAllocationFailureShowsTheMemoryMessageAndKeepsWholeTags) {
  // Tags long enough to need heap storage of their own.
  const std::string bytes =
      "TagSetBegin abcdefghijklmnopqr , bcdefghijklmnopqrs , cdefghijklmnopqrst TagSetEnd";
  const Read full = ReadFrom(bytes);
  ASSERT_EQ(full.tagSet.count(), 3);
  int failures = 0;
  for (int n = 0;; ++n) {
    Read r;
    auto in = InputStream::FromBytes(bytes);
    FailAllocationAfter(n);
    ReadTagSet(r.tagSet, *in, r.ui);
    if (!DisarmAllocationFailure()) break;
    ++failures;
    EXPECT_EQ(r.ui.messages, Strings{" Memory allocation error!    "}) << n;
    ASSERT_LE(r.tagSet.count(), 3);
    EXPECT_EQ(r.tagSet.tags,
              Strings(full.tagSet.tags.begin(), full.tagSet.tags.begin() + r.tagSet.count()));
  }
  EXPECT_GT(failures, 3);
}

}  // namespace
}  // namespace marvolen
