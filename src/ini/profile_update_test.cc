#include "ini/profile_update.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "ini/profile.h"
#include "ini/profile_line.h"
#include "platform/file_system.h"
#include "platform/replace_file.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"
#ifndef _WIN32
#include "testing/file_size_limit.h"
#endif

namespace marvolen {
namespace {

namespace fs = std::filesystem;

const char kSection[] = "Recent File List";

std::vector<ProfileKeyUpdate> RecentList(std::vector<std::string> files) {
  std::vector<ProfileKeyUpdate> updates;
  for (std::size_t i = 0; i < 4; ++i) {
    ProfileKeyUpdate u{"File" + std::to_string(i + 1), std::nullopt};
    if (i < files.size()) u.value = files[i];
    updates.push_back(u);
  }
  return updates;
}

TEST(ProfileUpdateTest, ReplacesOnlyTheKeyLinesOfTheSection) {
  const std::string before =
      "; comment \xB5\xC4\r\n"
      "[DATA]\r\n"
      "RULES=rules.txt\r\n"
      "\r\n"
      "[recent file list]\r\n"
      "File1=old1\r\n"
      "; kept\r\n"
      "File2 = old2\r\n"
      "File3=old3\r\n"
      "Other=x\r\n"
      "\r\n"
      "[Settings]\r\n"
      "File1=not ours\r\n";
  const std::string after = UpdateProfileText(before, kSection, RecentList({"new1", "new2"}));
  EXPECT_EQ(after,
            "; comment \xB5\xC4\r\n"
            "[DATA]\r\n"
            "RULES=rules.txt\r\n"
            "\r\n"
            "[recent file list]\r\n"
            "File1=new1\r\n"
            "; kept\r\n"
            "File2=new2\r\n"
            "Other=x\r\n"
            "\r\n"
            "[Settings]\r\n"
            "File1=not ours\r\n");
}

TEST(ProfileUpdateTest, NewKeysFollowTheLastKeyLineAndUseTheFileLineEnding) {
  const std::string before = "[DATA]\nA=1\n[Recent File List]\nFile1=a\n\n; tail comment\n";
  EXPECT_EQ(UpdateProfileText(before, kSection, RecentList({"a", "b", "c"})),
            "[DATA]\nA=1\n[Recent File List]\nFile1=a\nFile2=b\nFile3=c\n\n; tail comment\n");
  // A section without keys gets them right after its header.
  EXPECT_EQ(UpdateProfileText("[Recent File List]\r\n; none\r\n", kSection, RecentList({"p"})),
            "[Recent File List]\r\nFile1=p\r\n; none\r\n");
}

TEST(ProfileUpdateTest, MissingSectionIsAppendedOnlyWhenThereIsSomethingToWrite) {
  EXPECT_EQ(UpdateProfileText("[DATA]\r\nRULES=r", kSection, RecentList({"x"})),
            "[DATA]\r\nRULES=r\r\n[Recent File List]\r\nFile1=x\r\n");
  EXPECT_EQ(UpdateProfileText("[DATA]\nRULES=r\n", kSection, RecentList({})), "[DATA]\nRULES=r\n");
  EXPECT_EQ(UpdateProfileText("", kSection, RecentList({"x"})),
            "[Recent File List]\r\nFile1=x\r\n");
}

TEST(ProfileUpdateTest, DuplicatesAndLastLineWithoutEnding) {
  // Only the first section of that name is updated; duplicate keys go.
  const std::string before =
      "[Recent File List]\nFile1=a\nFile1=stale\nFile4=z\n[Recent File List]\nFile1=second";
  EXPECT_EQ(UpdateProfileText(before, kSection, RecentList({"n"})),
            "[Recent File List]\nFile1=n\n[Recent File List]\nFile1=second");
  EXPECT_EQ(UpdateProfileText("[Recent File List]\nFile1=a", kSection, RecentList({"a", "b"})),
            "[Recent File List]\nFile1=a\nFile2=b\n");
}

TEST(ProfileUpdateTest, ValuesThatWouldBreakTheFileAreNotWritten) {
  std::vector<ProfileKeyUpdate> updates = {{"File1", std::string("a\nFile2=evil")},
                                           {"Bad=Key", std::string("v")},
                                           {"File2", std::string("ok")}};
  EXPECT_EQ(UpdateProfileText("[Recent File List]\nFile1=keep\n", kSection, updates),
            "[Recent File List]\nFile1=keep\nFile2=ok\n");
}

TEST(ProfileUpdateTest, LinesAndNamesAreSeenAsTheProfileReaderSeesThem) {
  // A byte order mark before the header, lone CR line ends, a key line
  // without "=" (a key with no value), a header with text after its "]".
  const std::string before = "\xEF\xBB\xBF[Recent File List]\rFILE1\rfile2 =b\r[Next] x\rFile1=n\r";
  EXPECT_EQ(UpdateProfileText(before, kSection, RecentList({"a"})),
            "\xEF\xBB\xBF[Recent File List]\rFile1=a\r[Next] x\rFile1=n\r");
  // A GBK name: the second byte of a character is never case-folded
  // (0xC4 0x41 and 0xC4 0x61 are different characters).
  const std::string gbk = "[\xC4\x41]\nk=1\n";
  EXPECT_EQ(UpdateProfileText(gbk, "\xC4\x61", {{"k", std::string("2")}}),
            gbk + "[\xC4\x61]\nk=2\n");
  EXPECT_EQ(UpdateProfileText(gbk, "\xC4\x41", {{"K", std::string("2")}}), "[\xC4\x41]\nK=2\n");
}

// The reader drops blanks around a value and removes a pair of quotes; a
// recent file named with a blank at its end, or in quotes, came back as
// another name. Found while writing the checks of the profile fuzz target,
// which now asks every such value back.
TEST(ProfileUpdateTest, RegressionValuesTheReaderWouldChangeAreQuoted) {
  for (const std::string value :
       {" lead.txt", "trail.txt ", "\"q.txt\"", "'q.txt'", "\"\"", "tab\t"}) {
    const std::string after = UpdateProfileText("", kSection, {{"File1", value}});
    EXPECT_EQ(after, "[Recent File List]\r\nFile1=\"" + value + "\"\r\n");
    EXPECT_EQ(Profile::FromBytes(after).GetString(kSection, "File1"), value);
  }
  // Anything else is written as it is: one quote, quotes inside, blanks inside.
  for (const std::string value : {"\"", "a \"b\" c", "\"open", "x y"}) {
    EXPECT_EQ(UpdateProfileText("", kSection, {{"File1", value}}),
              "[Recent File List]\r\nFile1=" + value + "\r\n");
  }
}

// The reader trims the blanks inside the brackets, ends a section name at
// the first "]" and takes a "[" line without "]" as a header to its end, as
// the Windows reader does; the updater must find the section the reader
// finds, or the list it writes is never read back.
TEST(ProfileUpdateTest, HeadersAreSeenAsTheReaderSeesThem) {
  struct Case {
    std::string before;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"[ Recent File List ]\nFile1=a\n", "[ Recent File List ]\nFile1=b\n"},
      {"[Recent File List\nFile1=a\n", "[Recent File List\nFile1=b\n"},
      {"[Recent File List]x]\nFile1=a\n", "[Recent File List]x]\nFile1=b\n"},
      // "[Recent]File List]" is section "Recent": the list is appended.
      {"[Recent]File List]\nFile1=a\n",
       "[Recent]File List]\nFile1=a\n[Recent File List]\nFile1=b\n"},
      // A "[" line without "]" ends the section before it.
      {"[Recent File List]\nFile1=a\n[Other\nFile2=x\n",
       "[Recent File List]\nFile1=b\n[Other\nFile2=x\n"},
  };
  for (const Case& c : cases) {
    const std::string after = UpdateProfileText(c.before, kSection, RecentList({"b"}));
    EXPECT_EQ(after, c.after) << c.before;
    EXPECT_EQ(Profile::FromBytes(after).GetString(kSection, "File1"), "b") << c.before;
  }
  // A name asked for with blanks around it is the trimmed name, as a lookup.
  EXPECT_EQ(UpdateProfileText("", "  Recent File List ", RecentList({"c"})),
            "[Recent File List]\r\nFile1=c\r\n");
  // A section name holding "]" cannot be written: its header would end there.
  EXPECT_EQ(UpdateProfileText("[DATA]\n", "Recent]List", RecentList({"x"})), "[DATA]\n");
}

// Random files of tricky lines: after any update the reader finds the new
// value, finds every other key as before, and a second update changes
// nothing.
TEST(ProfileUpdateTest, TheReaderAlwaysReadsBackWhatTheUpdaterWrote) {
  const std::vector<std::string> lines = {"[Recent File List]",
                                          "[ recent file list ]",
                                          "[Recent File List",
                                          "[Recent File List]x]",
                                          "[DATA]",
                                          "[ DATA",
                                          "[]",
                                          "[",
                                          "File1=a",
                                          " file1 = b ",
                                          "File2",
                                          "File2=\"q\"",
                                          ";File1=c",
                                          "TAGS=t",
                                          "=v",
                                          "",
                                          "  ",
                                          "\x1a",
                                          "x]=[y"};
  const std::vector<std::string> ends = {"\n", "\r\n", "\r"};
  std::mt19937 rng(12);
  for (int round = 0; round < 3000; ++round) {
    std::string content;
    const int n = static_cast<int>(rng() % 8);
    for (int i = 0; i < n; ++i) {
      content += lines[rng() % lines.size()];
      if (i + 1 < n || rng() % 2 == 0) content += ends[rng() % ends.size()];
    }
    const std::string section = rng() % 2 ? kSection : "DATA";
    const std::string key = rng() % 2 ? "File1" : "File2";
    std::optional<std::string> value;
    if (rng() % 3 != 0) value = rng() % 2 ? "new" : " spaced ";
    const std::vector<ProfileKeyUpdate> updates = {{key, value}};
    const std::string after = UpdateProfileText(content, section, updates);
    const Profile read = Profile::FromBytes(after);
    const Profile before = Profile::FromBytes(content);
    EXPECT_EQ(read.GetString(section, key), value.value_or("")) << content;
    for (const char* otherSection : {kSection, "DATA", ""}) {
      for (const char* otherKey : {"File1", "File2", "TAGS", ""}) {
        if (ProfileNameMatches(otherSection, section) && ProfileNameMatches(otherKey, key))
          continue;
        EXPECT_EQ(read.GetString(otherSection, otherKey), before.GetString(otherSection, otherKey))
            << content;
      }
    }
    EXPECT_EQ(UpdateProfileText(after, section, updates), after) << content;
  }
}

// The reader ends a section or key name at a NUL byte; the updater compared
// the whole name and added a second section or key that the reader never
// reached. Found while writing the profile fuzz target, whose checks now
// cover it.
TEST(ProfileUpdateTest, RegressionNamesEndAtANulByteAsTheReaderSeesThem) {
  const std::string before("[Recent File List\0x]\nFile1\0y=old\n", 33);
  const std::string after = UpdateProfileText(before, kSection, RecentList({"new"}));
  EXPECT_EQ(after, std::string("[Recent File List\0x]\nFile1=new\n", 31));
  EXPECT_EQ(Profile::FromBytes(after).GetString(kSection, "File1"), "new");
}

// A section name with a line break wrote a header that ran over two lines,
// and every later update added another. Found by the profile fuzz target.
TEST(ProfileUpdateTest, RegressionSectionNameWithALineBreakIsNotWritten) {
  for (const std::string& section :
       {std::string("Recent\r\nFile List"), std::string("Recent\nList"), std::string("Re\0c", 4)}) {
    EXPECT_EQ(UpdateProfileText("[DATA]\n", section, RecentList({"x"})), "[DATA]\n");
  }
  EXPECT_EQ(UpdateProfileText("[DATA]\n", kSection, {{"File1", std::string("a\0b", 3)}}),
            "[DATA]\n");
}

class ProfileFileTest : public TempFolderTest {
 protected:
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    TempFolderTest::TearDown();
  }
  static std::string Read(const fs::path& p) { return ReadFile(p); }
  static void Write(const fs::path& p, const std::string& s) { WriteFile(p, s); }
};

TEST_F(ProfileFileTest, UpdatesInPlaceKeepsPermissionsAndLeavesNoTemporaryFile) {
  const fs::path ini = dir_ / "config.ini";
  Write(ini, "[DATA]\r\nRULES=r.txt\r\n");
  fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  std::string error;
  ASSERT_TRUE(UpdateProfileFile(ini.string(), kSection, RecentList({"/a/b.txt"}), &error)) << error;
  EXPECT_EQ(Read(ini), "[DATA]\r\nRULES=r.txt\r\n[Recent File List]\r\nFile1=/a/b.txt\r\n");
#ifndef _WIN32  // Windows keeps no permission bits but the read-only mark
  EXPECT_EQ(fs::status(ini).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ProfileFileTest, NothingIsWrittenWhenNothingChanges) {
  const fs::path ini = dir_ / "config.ini";
  Write(ini, "[Recent File List]\nFile1=a\n");
  const auto before = fs::last_write_time(ini);
#ifndef _WIN32
  const auto inode = [&] {
    struct stat st {};
    ::stat(ini.c_str(), &st);
    return st.st_ino;
  };
  const auto inodeBefore = inode();
#endif
  std::string error;
  ASSERT_TRUE(UpdateProfileFile(ini.string(), kSection, RecentList({"a"}), &error));
#ifndef _WIN32
  EXPECT_EQ(inode(), inodeBefore);
#endif
  EXPECT_EQ(fs::last_write_time(ini), before);
  // No file and nothing to write: no file is created.
  ASSERT_TRUE(UpdateProfileFile((dir_ / "none.ini").string(), kSection, RecentList({}), &error));
  EXPECT_FALSE(fs::exists(dir_ / "none.ini"));
}

TEST_F(ProfileFileTest, Utf16FileIsNotRewritten) {
  const fs::path ini = dir_ / "config.ini";
  const std::string utf16("\xFF\xFE[\0D\0]\0", 8);
  Write(ini, utf16);
  std::string error;
  EXPECT_FALSE(UpdateProfileFile(ini.string(), kSection, RecentList({"x"}), &error));
  EXPECT_EQ(Read(ini), utf16);
}

// A config.ini of a Chinese name, on every system.
TEST_F(ProfileFileTest, AFileOfAChineseNameIsUpdated) {
  const std::string ini =
      PathText(dir_ / FileSystemPath("\xE9\x85\x8D\xE7\xBD\xAE.ini"));  // 配置.ini
  std::string error;
  ASSERT_TRUE(UpdateProfileFile(ini, kSection, RecentList({"\xB4\xCA.txt"}), &error)) << error;
  ASSERT_TRUE(UpdateProfileFile(ini, kSection, RecentList({"x.txt", "y.txt"}), &error)) << error;
  EXPECT_EQ(Profile::Load(ini).GetString(kSection, "File2"), "y.txt");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

#ifndef _WIN32  // links, folder permissions and file size limits are POSIX's
TEST_F(ProfileFileTest, SymbolicLinkIsFollowedNotReplaced) {
  fs::create_directories(dir_ / "real");
  Write(dir_ / "real" / "config.ini", "[DATA]\n");
  fs::create_symlink(dir_ / "real" / "config.ini", dir_ / "config.ini");
  std::string error;
  ASSERT_TRUE(
      UpdateProfileFile((dir_ / "config.ini").string(), kSection, RecentList({"f"}), &error))
      << error;
  EXPECT_TRUE(fs::is_symlink(dir_ / "config.ini"));
  EXPECT_EQ(Read(dir_ / "real" / "config.ini"), "[DATA]\n[Recent File List]\nFile1=f\n");
}

TEST_F(ProfileFileTest, FailureLeavesTheFileAsItWas) {
  std::string error;
  EXPECT_FALSE(UpdateProfileFile((dir_ / "missing" / "config.ini").string(), kSection,
                                 RecentList({"x"}), &error));
  EXPECT_FALSE(error.empty());
  if (::geteuid() == 0) return;  // root may write into a read-only directory
  const fs::path ini = dir_ / "config.ini";
  Write(ini, "[DATA]\nRULES=r\n");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  error.clear();
  EXPECT_FALSE(UpdateProfileFile(ini.string(), kSection, RecentList({"x"}), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Read(ini), "[DATA]\nRULES=r\n");
}

// A write of the new content that fails part-way (the disk fills up) leaves
// config.ini and its directory as they were; this works as root too.
TEST_F(ProfileFileTest, AWriteThatFailsPartWayLeavesTheFileAndNoTemporaryFile) {
  const fs::path ini = dir_ / "config.ini";
  const std::string old = "[DATA]\r\nRULES=r.txt\r\n";
  Write(ini, old);
  std::string error;
  bool updated;
  {
    FileSizeLimitForTest limit(old.size() + 8);
    if (!limit.active()) GTEST_SKIP() << "cannot limit the file size";
    updated = UpdateProfileFile(ini.string(), kSection,
                                RecentList({"/home/someone/a/long/path/to/rules.txt"}), &error);
  }
  EXPECT_FALSE(updated);
  EXPECT_NE(error.find("write failed"), std::string::npos) << error;
  EXPECT_EQ(Read(ini), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}
#endif

}  // namespace
}  // namespace marvolen
