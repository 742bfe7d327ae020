#include "ini/profile.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "testing/named_pipe.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/replace_file.h"
#include "testing/heap.h"

namespace marvolen {
namespace {

std::string Get(std::string_view file, std::string_view section, std::string_view key) {
  return Profile::FromBytes(file).GetString(section, key);
}

TEST(ProfileTest, FindsKeysOfASectionAndGivesEmptyForWhatIsMissing) {
  const std::string file = "[DATA]\nTAGS=tags.txt\nRULES=rules.txt\n[OTHER]\nX=1\n";
  EXPECT_EQ(Get(file, "DATA", "TAGS"), "tags.txt");
  EXPECT_EQ(Get(file, "DATA", "RULES"), "rules.txt");
  EXPECT_EQ(Get(file, "OTHER", "X"), "1");
  EXPECT_EQ(Get(file, "DATA", "X"), "");       // key of another section
  EXPECT_EQ(Get(file, "DATA", "RESULT"), "");  // missing key
  EXPECT_EQ(Get(file, "NONE", "TAGS"), "");    // missing section
  EXPECT_EQ(Get("", "DATA", "TAGS"), "");
}

TEST(ProfileTest, AMissingFileGivesEmptyValues) {
  const Profile p = Profile::Load("/nonexistent-dir-of-marvolen/config.ini");
  EXPECT_FALSE(p.loaded());
  EXPECT_EQ(p.GetString("DATA", "TAGS"), "");
}

TEST(ProfileTest, LoadReadsTheFileAsBytes) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("marvolen_profile_test_" +
       std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".ini");
  {
    UniqueFile f = OpenFile(PathText(path), "wb");
    ASSERT_NE(f, nullptr);
    const std::string bytes = "[DATA]\r\nTAGS=\xB4\xCA\xD0\xD4.txt\r\n";
    std::fwrite(bytes.data(), 1, bytes.size(), f.get());
  }
  const Profile p = Profile::Load(path.string());
  std::filesystem::remove(path);
  EXPECT_TRUE(p.loaded());
  EXPECT_EQ(p.GetString("DATA", "TAGS"), "\xB4\xCA\xD0\xD4.txt");
}

TEST(ProfileTest, NamesMatchWithoutRegardToAsciiCaseAndQueriesAreTrimmed) {
  const std::string file = "[data]\nTaGs=t.txt\n";
  EXPECT_EQ(Get(file, "DATA", "TAGS"), "t.txt");
  EXPECT_EQ(Get(file, "Data", "tags"), "t.txt");
  EXPECT_EQ(Get(file, "  DATA\t", " TAGS  "), "t.txt");
}

TEST(ProfileTest, TheSecondByteOfAGbkCharacterIsNeverCaseFolded) {
  // 0xB0 0x41 and 0xB0 0x61 are two different GBK characters.
  const std::string file = "[\xB0\x41]\nK=1\n[S]\n\xB0\x41=2\n";
  EXPECT_EQ(Get(file, "\xB0\x41", "K"), "1");
  EXPECT_EQ(Get(file, "\xB0\x61", "K"), "");
  EXPECT_EQ(Get(file, "S", "\xB0\x41"), "2");
  EXPECT_EQ(Get(file, "S", "\xB0\x61"), "");
}

TEST(ProfileTest, BlanksAroundNamesAndValuesAreDroppedButNotInsideThem) {
  const std::string file =
      "  [DATA]  \n"
      "\t TAGS \t=  my tags.txt \t \n"
      "MY KEY=a  b\n"
      "EQ = x=y\n";
  EXPECT_EQ(Get(file, "DATA", "TAGS"), "my tags.txt");
  EXPECT_EQ(Get(file, "DATA", "MY KEY"), "a  b");
  EXPECT_EQ(Get(file, "DATA", "EQ"), "x=y");  // the first "=" separates
}

TEST(ProfileTest, LinesEndAtCrOrLfAndControlZIsWhiteSpace) {
  EXPECT_EQ(Get("[DATA]\r\nTAGS=a\r\nRULES=b\r\n", "DATA", "TAGS"), "a");
  EXPECT_EQ(Get("[DATA]\rTAGS=a\rRULES=b", "DATA", "RULES"), "b");
  EXPECT_EQ(Get("[DATA]\n\n\n   \nTAGS=a\x1a\n\x1a", "DATA", "TAGS"), "a");
}

TEST(ProfileTest, AUtf8ByteOrderMarkIsSkipped) {
  EXPECT_EQ(Get("\xEF\xBB\xBF[DATA]\nTAGS=\xE8\xAF\x8D.txt\n", "DATA", "TAGS"), "\xE8\xAF\x8D.txt");
}

TEST(ProfileTest, AUtf16FileIsReadAsItsUtf8Text) {
  // "[DATA]\r\nTAGS=词.txt" in UTF-16 with each byte order mark; 词 is U+8BCD.
  const std::u16string text = u"[DATA]\r\nTAGS=\u8BCD.txt\r\nK=\U0001F600";
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char16_t u : text) {
    le += static_cast<char>(u & 0xFF);
    le += static_cast<char>(u >> 8);
    be += static_cast<char>(u >> 8);
    be += static_cast<char>(u & 0xFF);
  }
  for (const std::string& file : {le, be}) {
    EXPECT_EQ(Get(file, "DATA", "TAGS"), "\xE8\xAF\x8D.txt");
    EXPECT_EQ(Get(file, "DATA", "K"), "\xF0\x9F\x98\x80");
  }
}

// Section headers as the Windows reader reads them (its answers recorded
// from the real API): the name ends at the first "]", or at the end of the
// line without one, and loses the blanks around it. Until these were
// recorded, "[ DATA ]" was taken as the section " DATA " and every value of
// such a config.ini came back empty.
TEST(ProfileTest, SectionHeadersAsTheWindowsReaderReadsThem) {
  struct Case {
    std::string header;
    std::string section;  // the section that holds TAGS=a
  };
  const std::vector<Case> cases = {
      {"[DATA]", "DATA"},
      {"[ DATA ]", "DATA"},
      {"[\tDATA\t ]", "DATA"},
      {"[DATA", "DATA"},
      {"[ DATA", "DATA"},
      {"[DATA]x]", "DATA"},
      {"[DATA]]", "DATA"},
      {"[DATA] ; the data files", "DATA"},
      {"[DATA]x", "DATA"},
      {"[MY DATA]", "MY DATA"},
      {"[DA TA ]", "DA TA"},
      {"[]", ""},
      {"[", ""},
      {"[ ]", ""},
  };
  for (const Case& c : cases) {
    const std::string file = c.header + "\nTAGS=a\n";
    EXPECT_EQ(Get(file, c.section, "TAGS"), "a") << c.header;
    EXPECT_EQ(Get(file, "DATA", "TAGS"), c.section == "DATA" ? "a" : "") << c.header;
  }
  // A section name with a "]" in it is never found: the header ends before.
  EXPECT_EQ(Get("[DA]TA]\nTAGS=a\n", "DA]TA", "TAGS"), "");
  EXPECT_EQ(Get("[DA]TA]\nTAGS=a\n", "DA", "TAGS"), "a");
}

TEST(ProfileTest, AnOpeningBracketWithoutClosingOneStartsASection) {
  const std::string file = "[DATA]\nTAGS=a\n[OTHER\nRULES=b\n";
  EXPECT_EQ(Get(file, "DATA", "TAGS"), "a");
  EXPECT_EQ(Get(file, "DATA", "RULES"), "");
  EXPECT_EQ(Get(file, "OTHER", "RULES"), "b");
}

TEST(ProfileTest, KeysBeforeTheFirstSectionAreNeverFound) {
  const std::string file = "TAGS=a\n[DATA]\nRULES=b\n";
  EXPECT_EQ(Get(file, "DATA", "TAGS"), "");
  EXPECT_EQ(Get(file, "", "TAGS"), "");
}

TEST(ProfileTest, TheFirstKeyOfANameWinsEvenWithoutAValue) {
  EXPECT_EQ(Get("[DATA]\nTAGS=a\ntags=b\n", "DATA", "TAGS"), "a");
  EXPECT_EQ(Get("[DATA]\nTAGS\nTAGS=b\n", "DATA", "TAGS"), "");
  EXPECT_EQ(Get("[DATA]\nTAGS=\nTAGS=b\n", "DATA", "TAGS"), "");
}

TEST(ProfileTest, OnlyTheFirstSectionOfANameIsSearched) {
  const std::string file = "[DATA]\nTAGS=a\n[X]\n[data]\nTAGS=b\nRULES=c\n";
  EXPECT_EQ(Get(file, "DATA", "TAGS"), "a");
  EXPECT_EQ(Get(file, "DATA", "RULES"), "");
}

TEST(ProfileTest, MatchingQuotesAroundAValueAreRemoved) {
  const std::string file =
      "[Q]\n"
      "A=\"my file.txt\"\n"
      "B='x'\n"
      "C=\" padded \"\n"
      "D=\"\"\n"
      "E=\"\n"
      "F=\"x'\n"
      "G=\"a\" b\n"
      "H= 'x' \n";
  EXPECT_EQ(Get(file, "Q", "A"), "my file.txt");
  EXPECT_EQ(Get(file, "Q", "B"), "x");
  EXPECT_EQ(Get(file, "Q", "C"), " padded ");
  EXPECT_EQ(Get(file, "Q", "D"), "");
  EXPECT_EQ(Get(file, "Q", "E"), "\"");  // one quote alone stays
  EXPECT_EQ(Get(file, "Q", "F"), "\"x'");
  EXPECT_EQ(Get(file, "Q", "G"), "\"a\" b");
  EXPECT_EQ(Get(file, "Q", "H"), "x");
}

TEST(ProfileTest, CommentsAreOnlyWholeLines) {
  const std::string file =
      "[DATA]\n"
      ";TAGS=old.txt\n"
      "; TAGS=older.txt\n"
      "TAGS=tags.txt ; the new one\n";
  EXPECT_EQ(Get(file, "DATA", "TAGS"), "tags.txt ; the new one");
}

TEST(ProfileTest, ValuesComeBackAsTheirBytes) {
  // GBK "词性.txt" and UTF-8 "词性.txt".
  const std::string file =
      "[DATA]\nTAGS=\xB4\xCA\xD0\xD4.txt\nRULES=\xE8\xAF\x8D\xE6\x80\xA7.txt\n";
  EXPECT_EQ(Get(file, "DATA", "TAGS"), "\xB4\xCA\xD0\xD4.txt");
  EXPECT_EQ(Get(file, "DATA", "RULES"), "\xE8\xAF\x8D\xE6\x80\xA7.txt");
}

// A config.ini that is a pipe kept the program waiting for a writer, and one
// that is a device (a link to /dev/zero) was read without end.
TEST(ProfileTest, RegressionAPipeOrADeviceIsNotReadAndNothingWaits) {
#ifdef _WIN32
  EXPECT_FALSE(Profile::Load("NUL").loaded());
  // A named pipe opens without waiting for anyone; it is not read.
  const NamedPipeForTest pipe("marvolen_profile_pipe");
  ASSERT_TRUE(pipe.ok());
  EXPECT_FALSE(Profile::Load(pipe.path()).loaded());
#else
  for (const char* path : {"/dev/zero", "/dev/null"}) {
    if (std::filesystem::exists(path)) {
      EXPECT_FALSE(Profile::Load(path).loaded()) << path;
    }
  }
  const auto fifo = std::filesystem::temp_directory_path() /
                    ("marvolen_profile_fifo_" + std::to_string(::getpid()));
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // No writer: an open that waits for one never returns.
  auto load = std::async(std::launch::async, [&] { return Profile::Load(fifo.string()).loaded(); });
  if (load.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
    // Free the waiting open, so that the test fails instead of hanging.
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ADD_FAILURE() << "loading a pipe waited for a writer";
    load.wait();
    if (writer >= 0) close(writer);
  } else {
    EXPECT_FALSE(load.get());
  }
  std::filesystem::remove(fifo);
#endif
}

// A 100 MB config.ini of short lines took 2.2 GB: every line became a key of
// its own. The profile now holds the file's text alone.
TEST(ProfileTest, RegressionAHugeFileCostsItsOwnSizeAndNoMore) {
  std::string file;
  for (int i = 0; i < 1000000; ++i) file += "a\n";
  file += "[DATA]\nTAGS=t.txt\n";
  const auto path = std::filesystem::temp_directory_path() /
                    ("marvolen_profile_huge_" + RandomNamePart() + ".ini");
  {
    UniqueFile f = OpenFile(PathText(path), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f.get());
  }
  ResetHeapPeak();
  {
    const Profile p = Profile::Load(path.string());
    EXPECT_EQ(p.GetString("DATA", "TAGS"), "t.txt");
    EXPECT_EQ(p.GetString("DATA", "RULES"), "");
  }
  EXPECT_LT(HeapPeakBytes(), file.size() + 100000);
  ResetHeapPeak();
  EXPECT_EQ(Profile::FromBytes(file).GetString("data", "tags"), "t.txt");
  EXPECT_LT(HeapPeakBytes(), file.size() + 100000);
  std::filesystem::remove(path);
}

TEST(ProfileTest, ANulByteEndsAValue) {
  EXPECT_EQ(Get(std::string("[DATA]\nTAGS=a\0b\n", 16), "DATA", "TAGS"), "a");
}

}  // namespace
}  // namespace marvolen
