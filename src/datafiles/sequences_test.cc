#include "datafiles/sequences.h"

#include <gtest/gtest.h>

namespace marvolen {
namespace {

struct Read {
  SequenceList list;
  RecordingUserInterface ui;
};

Read ReadFrom(std::string bytes) {
  Read r;
  auto in = InputStream::FromBytes(std::move(bytes));
  ReadSequences(r.list, *in, r.ui);
  return r;
}

TEST(ReadSequencesTest, StoresLinesAsReadWithTheirLineFeeds) {
  Read r = ReadFrom("n v u<\xB5\xC4>\r\n\na n");
  EXPECT_EQ(r.list.lines, (std::vector<std::string>{"n v u<\xB5\xC4>\n", "\n", "a n"}));
  EXPECT_TRUE(r.ui.messages.empty());
}

TEST(ReadSequencesTest, AnEmptyFileOrOnlyNulLinesSayNoSequencesWithATab) {
  for (const std::string& bytes : {std::string(), std::string("\0abc\n\0\n", 7)}) {
    Read r = ReadFrom(bytes);
    EXPECT_EQ(r.list.count(), 0);
    EXPECT_EQ(r.ui.messages, (std::vector<std::string>{"No sequences defined!\t"}));
  }
}

TEST(ReadSequencesTest, ANulByteEndsTheStoredLine) {
  Read r = ReadFrom(std::string("a b\0 c\nd\n", 9));
  EXPECT_EQ(r.list.lines, (std::vector<std::string>{"a b", "d\n"}));
}

TEST(ReadSequencesTest, ALongLineArrivesInPiecesOf99Bytes) {
  // 149 bytes: items of 9 bytes and blanks, cut inside an item.
  std::string line;
  while (line.size() < 149) line += "abcdefgh ";
  line.resize(149);
  Read r = ReadFrom(line + "\n");
  ASSERT_EQ(r.list.count(), 2);
  EXPECT_EQ(r.list.lines[0], line.substr(0, 99));
  EXPECT_EQ(r.list.lines[1], line.substr(99) + "\n");
}

TEST(ReadSequencesTest, StoresFiveHundredLinesAndSaysTheRestWereNotRead) {
  std::string five;
  for (int i = 0; i < 500; ++i) five += "n v\n";
  Read exact = ReadFrom(five);
  EXPECT_EQ(exact.list.count(), 500);
  EXPECT_TRUE(exact.ui.messages.empty());

  Read over = ReadFrom(five + "a b\nc d\n");
  EXPECT_EQ(over.list.count(), 500);
  EXPECT_EQ(over.ui.messages,
            (std::vector<std::string>{
                "Too many sequences in Sequences_File: only the first 500 lines were read"}));

  // The 500th line is longer than 99 bytes: its second piece is the 501st.
  std::string lines;
  for (int i = 0; i < 499; ++i) lines += "n v\n";
  std::string longLine;
  for (int i = 0; i < 40; ++i) longLine += "ab ";
  longLine += "\n";
  Read pieces = ReadFrom(lines + longLine);
  EXPECT_EQ(pieces.list.count(), 500);
  EXPECT_EQ(pieces.list.lines.back(), longLine.substr(0, 99));
  EXPECT_EQ(pieces.ui.messages.size(), 1u);
  // A 501st line of NUL bytes is no line at all.
  Read nul = ReadFrom(five + std::string("\0\0\n", 3));
  EXPECT_EQ(nul.list.count(), 500);
  EXPECT_TRUE(nul.ui.messages.empty());
}

TEST(ReadSequencesTest, StrayBytesBlankLinesAndLoneCrs) {
  // A lead byte as the very last byte stays with its line and its item.
  Read lead = ReadFrom("n v\n\xB5");
  EXPECT_EQ(lead.list.lines, (std::vector<std::string>{"n v\n", "\xB5"}));
  EXPECT_TRUE(lead.ui.messages.empty());

  // Lines of nothing but blanks are entries of their own, without items.
  Read blank = ReadFrom("  \r\n \n");
  EXPECT_EQ(blank.list.lines, (std::vector<std::string>{"  \n", " \n"}));
  EXPECT_TRUE(blank.ui.messages.empty());

  // Only LF (or CR LF) ends a line; a lone CR separates items within it, so
  // a file with CR-only line ends is one sequence.
  Read cr = ReadFrom("n v\ra n\r");
  EXPECT_EQ(cr.list.lines, (std::vector<std::string>{"n v\ra n\r"}));
  Permutation p;
  int itemCount = 0;
  SplitSequenceLine(itemCount, cr.list.lines[0], p);
  EXPECT_EQ(itemCount, 4);
}

TEST(ReadSequencesTest, AnItemLongerThanItsSlotStopsTheReaderNamingIt) {
  const std::string nineteen(19, 'x');
  Read ok = ReadFrom("a " + nineteen + "\n");
  EXPECT_EQ(ok.list.count(), 1);
  EXPECT_TRUE(ok.ui.messages.empty());

  // Ten hanzi are 20 bytes.
  Read r = ReadFrom(
      "n v\na \xC3\xFB\xB4\xCA\xC3\xFB\xB4\xCA\xC3\xFB\xB4\xCA\xC3\xFB\xB4\xCA"
      "\xC3\xFB\xB4\xCA b\nn n\n");
  EXPECT_EQ(r.list.lines, (std::vector<std::string>{"n v\n"}));
  EXPECT_EQ(r.ui.messages,
            (std::vector<std::string>{
                "Item longer than 19 bytes in Sequences_File: 名词名词名词名词名词"}));
}

// The message quotes at most 40 bytes of the item, never half a character,
// and escapes control bytes: an item holding an escape sequence was sent to
// the terminal as it was.
TEST(ReadSequencesTest, TheMessageQuotesTheBeginningOfTheItemWithControlBytesEscaped) {
  const std::string ming = "\xC3\xFB";  // 名
  struct Case {
    std::string item;
    std::string quoted;
  };
  const std::vector<Case> cases = {
      {std::string(90, 'x'), std::string(40, 'x') + "..."},
      {std::string(39, 'x') + ming + "y", std::string(39, 'x') + "..."},
      {std::string(38, 'x') + ming + "y", std::string(38, 'x') + "名..."},
      {"\x1b[31m" + std::string(20, 'r'), "\\x1B[31m" + std::string(20, 'r')},
      {"a\tb\x7f" + std::string(20, 'c'), "a\\tb\\x7F" + std::string(20, 'c')},
  };
  for (const Case& c : cases) {
    Read r = ReadFrom("n v\n" + c.item + "\n");
    EXPECT_EQ(r.ui.messages,
              std::vector<std::string>{"Item longer than 19 bytes in Sequences_File: " + c.quoted});
  }
}

// A Ctrl-Z byte ends the file, as text mode reads it; it used to be an item.
TEST(ReadSequencesTest, RegressionACtrlZByteEndsTheFile) {
  Read r = ReadFrom("n v\r\na n\r\n\x1a");
  EXPECT_EQ(r.list.lines, (std::vector<std::string>{"n v\n", "a n\n"}));
  EXPECT_TRUE(r.ui.messages.empty());
  Read cut = ReadFrom("n v\x1a\nx y\n");
  EXPECT_EQ(cut.list.lines, (std::vector<std::string>{"n v"}));
  Read empty = ReadFrom(
      "\x1a"
      "n v\n");
  EXPECT_EQ(empty.list.count(), 0);
  EXPECT_EQ(empty.ui.messages, std::vector<std::string>{"No sequences defined!\t"});
}

TEST(SplitSequenceLineTest, BlanksCrAndLfSeparateButTabsDoNot) {
  Permutation p;
  int n = 0;
  SplitSequenceLine(n, "  n   v  u<\xB5\xC4>  \r\n", p);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(p.items[0], "n");
  EXPECT_EQ(p.items[1], "v");
  EXPECT_EQ(p.items[2], "u<\xB5\xC4>");
  EXPECT_EQ(p.items[3], "");

  n = 0;
  SplitSequenceLine(n, "n\tv\n", p);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(p.items[0], "n\tv");
}

TEST(SplitSequenceLineTest, OnlyTheSlotAfterTheLastItemIsCleared) {
  Permutation p;
  p.items = {"1", "2", "3", "4", "5"};
  int n = 0;
  SplitSequenceLine(n, "\n", p);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(p.items, (std::array<std::string, 5>{"", "2", "3", "4", "5"}));

  n = 0;
  SplitSequenceLine(n, "a b", p);
  EXPECT_EQ(p.items, (std::array<std::string, 5>{"a", "b", "", "4", "5"}));
}

TEST(SplitSequenceLineTest, FiveItemsFillEverySlotAndASixthIsCountedNotStored) {
  Permutation p;
  int n = 0;
  SplitSequenceLine(n, "a b c d e\n", p);
  EXPECT_EQ(n, 5);
  EXPECT_EQ(p.items, (std::array<std::string, 5>{"a", "b", "c", "d", "e"}));

  n = 0;
  SplitSequenceLine(n, "f g h i j k\n", p);
  EXPECT_EQ(n, 6);
  EXPECT_EQ(p.items, (std::array<std::string, 5>{"f", "g", "h", "i", "j"}));
}

}  // namespace
}  // namespace marvolen

namespace marvolen {
namespace {

TEST(SplitSequenceLineTest, TheCountIsTheLinesOwnWhateverItHeldBefore) {
  Permutation p;
  int n = 7;
  SplitSequenceLine(n, "a b\n", p);
  EXPECT_EQ(n, 2);
}

}  // namespace
}  // namespace marvolen
