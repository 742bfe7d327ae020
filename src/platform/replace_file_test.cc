// The contract of a file replacement: the old file stays whole until the new
// one is complete; links, permissions, files that are no plain file, files
// that may not be written, failures and interruptions.
#include "platform/replace_file.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>

#include "testing/named_pipe.h"
#else
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"
#ifndef _WIN32
#include "testing/file_size_limit.h"
#endif

namespace marvolen {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public TempFolderTest {
 protected:
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    TempFolderTest::TearDown();
  }

  static void Write(const fs::path& p, const std::string& s) { WriteFile(p, s); }
  static std::string Read(const fs::path& p) { return ReadFile(p); }
  // The names in the folder, links included.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.insert(PathText(entry.path().filename()));
    }
    return names;
  }
#ifndef _WIN32
  static ino_t Inode(const fs::path& p) { struct stat info { };
    ::stat(p.c_str(), &info);
    return info.st_ino;
  }
  static mode_t Mode(const fs::path& p) { struct stat info { };
    ::stat(p.c_str(), &info);
    return info.st_mode & 07777;
  }
#endif
};

TEST_F(ReplaceFileTest, ReplacesTheWholeFileKeepingItsPermissionsAndLeavesNothingElse) {
  const fs::path file = dir_ / "report.txt";
  Write(file, "an old report that is longer than the new one");
#ifndef _WIN32  // Windows: the attributes, in KeepsTheAttributesOfTheFile
  ::chmod(file.c_str(), 0640);
  const ino_t before = Inode(file);
#endif
  std::string error;
  ASSERT_TRUE(ReplaceFileContents(file.string(), "new", &error)) << error;
  EXPECT_EQ(Read(file), "new");
#ifndef _WIN32
  EXPECT_EQ(Mode(file), 0640u);
  EXPECT_NE(Inode(file), before);  // a new file took the old one's place
#endif
  EXPECT_EQ(Names(), std::set<std::string>{"report.txt"});
}

// A file of a Chinese name, in a folder of a Chinese name, on every system.
TEST_F(ReplaceFileTest, ChineseNamesAreReplacedAsAnyOther) {
  const fs::path folder = dir_ / FileSystemPath("\xE8\xAF\xAD\xE6\x96\x99");      // 语料
  const fs::path file = folder / FileSystemPath("\xE6\x8A\xA5\xE5\x91\x8A.txt");  // 报告.txt
  fs::create_directory(folder);
  Write(file, "old");
  std::string error;
  ASSERT_TRUE(ReplaceFileContents(PathText(file), "new", &error)) << error;
  EXPECT_EQ(Read(file), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

#ifndef _WIN32  // modes, links, FIFOs, /dev and file size limits are POSIX's

TEST_F(ReplaceFileTest, ANewFileGetsTheModeThatCreatingItWouldGive) {
  const mode_t old = ::umask(027);
  std::string error;
  const bool replaced = ReplaceFileContents((dir_ / "new.txt").string(), "x", &error);
  ::umask(old);
  ASSERT_TRUE(replaced) << error;
  EXPECT_EQ(Mode(dir_ / "new.txt"), 0640u);
  EXPECT_EQ(Read(dir_ / "new.txt"), "x");
}

TEST_F(ReplaceFileTest, LinksStayLinksAndTheFileAtTheEndOfTheChainIsReplaced) {
  fs::create_directories(dir_ / "real");
  Write(dir_ / "real" / "report.txt", "old");
  ::chmod((dir_ / "real" / "report.txt").c_str(), 0600);
  // report.txt -> middle (absolute) -> real/report.txt (relative to middle's folder).
  fs::create_symlink("real/report.txt", dir_ / "middle");
  fs::create_symlink(dir_ / "middle", dir_ / "report.txt");
  std::string error;
  ASSERT_TRUE(ReplaceFileContents((dir_ / "report.txt").string(), "new", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir_ / "report.txt"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "middle"));
  EXPECT_EQ(Read(dir_ / "real" / "report.txt"), "new");
  EXPECT_EQ(Mode(dir_ / "real" / "report.txt"), 0600u);
  EXPECT_EQ(Names(), (std::set<std::string>{"middle", "real", "report.txt"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);

  // A link to a file that does not exist yet: the file is made, the link kept.
  fs::create_symlink("made.txt", dir_ / "dangling");
  ASSERT_TRUE(ReplaceFileContents((dir_ / "dangling").string(), "made", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling"));
  EXPECT_EQ(Read(dir_ / "made.txt"), "made");
}

TEST_F(ReplaceFileTest, RefusesAtOnceWhatIsNoPlainFileOrMayNotBeWritten) {
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0644), 0);
  fs::create_directory(dir_ / "folder");
  Write(dir_ / "readonly.txt", "keep me");
  ::chmod((dir_ / "readonly.txt").c_str(), 0444);
  fs::create_symlink("fifo", dir_ / "to-fifo");
  fs::create_symlink("loop-b", dir_ / "loop-a");
  fs::create_symlink("loop-a", dir_ / "loop-b");
  const std::set<std::string> before = Names();
  struct Case {
    std::string path;
    std::string cause;
  };
  const std::vector<Case> cases = {
      {(dir_ / "fifo").string(), "not a plain file"},
      {(dir_ / "to-fifo").string(), "not a plain file"},
      {(dir_ / "folder").string(), "not a plain file"},
      {"/dev/null", "not a plain file"},
      // Read-only for everyone: refused even for the superuser.
      {(dir_ / "readonly.txt").string(), "may not be written"},
      {(dir_ / "loop-a").string(), "symbolic links"},
      {(dir_ / "missing" / "report.txt").string(), "cannot create a temporary file"},
      {"", "no file name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string error;
    EXPECT_EQ(FileReplacement::Begin(c.path, &error), nullptr);
    EXPECT_NE(error.find(c.cause), std::string::npos) << error;
  }
  EXPECT_EQ(Read(dir_ / "readonly.txt"), "keep me");
  EXPECT_EQ(Mode(dir_ / "readonly.txt"), 0444u);
  EXPECT_EQ(Names(), before);
}

TEST_F(ReplaceFileTest, AFolderThatMayNotBeWrittenIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write into any folder";
  Write(dir_ / "report.txt", "old");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  std::string error;
  EXPECT_FALSE(ReplaceFileContents((dir_ / "report.txt").string(), "new", &error));
  EXPECT_NE(error.find("cannot create a temporary file"), std::string::npos) << error;
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(Read(dir_ / "report.txt"), "old");
}

#endif

TEST_F(ReplaceFileTest, AnAbandonedOrUnfinishedReplacementChangesNothing) {
  const fs::path file = dir_ / "report.txt";
  Write(file, "old");
  {
    auto replacement = FileReplacement::Begin(file.string());
    ASSERT_NE(replacement, nullptr);
    std::fputs("half a report", replacement->file());
    std::fflush(replacement->file());
    EXPECT_EQ(fs::path(replacement->temporary()).parent_path(), dir_);
    EXPECT_TRUE(fs::exists(replacement->temporary()));
    EXPECT_EQ(Names().size(), 2u);
  }  // destroyed without Commit
  EXPECT_EQ(Read(file), "old");
  EXPECT_EQ(Names(), std::set<std::string>{"report.txt"});

  auto replacement = FileReplacement::Begin(file.string());
  ASSERT_NE(replacement, nullptr);
  replacement->Abandon();
  replacement->Abandon();
  std::string error;
  EXPECT_FALSE(replacement->Commit(&error));
  EXPECT_EQ(Read(file), "old");
  EXPECT_EQ(Names(), std::set<std::string>{"report.txt"});
}

// A prepared replacement is complete on the disk and has not touched its
// file: several are prepared, then committed together or abandoned.
TEST_F(ReplaceFileTest, PreparedReplacementsReplaceOnlyWhenCommitted) {
  for (const bool commit : {false, true}) {
    SCOPED_TRACE(commit);
    std::vector<std::unique_ptr<FileReplacement>> replacements;
    for (const char* name : {"a.txt", "b.txt"}) {
      Write(dir_ / name, "old");
      replacements.push_back(FileReplacement::Begin((dir_ / name).string()));
      ASSERT_NE(replacements.back(), nullptr);
      std::fputs("new", replacements.back()->file());
    }
    for (auto& replacement : replacements) {
      ASSERT_TRUE(replacement->Prepare());
      EXPECT_EQ(replacement->file(), nullptr);
      EXPECT_EQ(Read(replacement->temporary()), "new");
      EXPECT_FALSE(replacement->Prepare());  // once only
    }
    EXPECT_EQ(Read(dir_ / "a.txt"), "old");
    EXPECT_EQ(Read(dir_ / "b.txt"), "old");
    EXPECT_EQ(Names().size(), 4u);
    for (auto& replacement : replacements) {
      if (commit) {
        EXPECT_TRUE(replacement->Commit());
      } else {
        replacement->Abandon();
      }
    }
    EXPECT_EQ(Read(dir_ / "a.txt"), commit ? "new" : "old");
    EXPECT_EQ(Read(dir_ / "b.txt"), commit ? "new" : "old");
    EXPECT_EQ(Names(), (std::set<std::string>{"a.txt", "b.txt"}));
  }
}

#ifndef _WIN32
TEST_F(ReplaceFileTest, AWriteCutShortByAFullDiskLeavesTheOldFile) {
  const fs::path file = dir_ / "report.txt";
  Write(file, "old");
  std::string error;
  bool replaced;
  {
    FileSizeLimitForTest limit(1000);
    if (!limit.active()) GTEST_SKIP() << "cannot limit the file size";
    replaced = ReplaceFileContents(file.string(), std::string(5000, 'x'), &error);
  }
  EXPECT_FALSE(replaced);
  EXPECT_NE(error.find("write failed"), std::string::npos) << error;
  EXPECT_EQ(Read(file), "old");
  EXPECT_EQ(Names(), std::set<std::string>{"report.txt"});

  // Preparing is where a full disk shows.
  auto replacement = FileReplacement::Begin(file.string());
  ASSERT_NE(replacement, nullptr);
  {
    FileSizeLimitForTest limit(1000);
    std::fwrite(std::string(5000, 'x').data(), 1, 5000, replacement->file());
    EXPECT_FALSE(replacement->Prepare(&error));
  }
  EXPECT_NE(error.find("write failed"), std::string::npos) << error;
  EXPECT_FALSE(replacement->Commit());
  EXPECT_EQ(Read(file), "old");
  EXPECT_EQ(Names(), std::set<std::string>{"report.txt"});
}
#endif

TEST_F(ReplaceFileTest, TwoReplacementsAtOnceNeverMix) {
  const fs::path file = dir_ / "report.txt";
  Write(file, "old");
  auto first = FileReplacement::Begin(file.string());
  auto second = FileReplacement::Begin(file.string());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first->temporary(), second->temporary());
  const std::string a(100000, 'a'), b(50000, 'b');
  for (int k = 0; k < 10; ++k) {
    std::fwrite(a.data(), 1, a.size() / 10, first->file());
    std::fwrite(b.data(), 1, b.size() / 10, second->file());
  }
  ASSERT_TRUE(first->Commit());
  EXPECT_EQ(Read(file), a);
  ASSERT_TRUE(second->Commit());
  EXPECT_EQ(Read(file), b);
  EXPECT_EQ(Names(), std::set<std::string>{"report.txt"});
}

#ifndef _WIN32
// A writer killed at any moment leaves the old file whole, or the new one
// whole once it has committed; never a part of either.
TEST_F(ReplaceFileTest, AWriterKilledAtAnyMomentLeavesOneWholeFile) {
  const fs::path file = dir_ / "report.txt";
  const std::string old(300000, 'o');
  const std::string fresh(400000, 'n');
  Write(file, old);
  std::mt19937 random(7);
  int sawNew = 0;
  for (int round = 0; round < 12; ++round) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      auto replacement = FileReplacement::Begin(file.string());
      if (replacement == nullptr) _exit(1);
      for (std::size_t at = 0; at < fresh.size(); at += 4000) {
        std::fwrite(fresh.data() + at, 1, 4000, replacement->file());
        std::fflush(replacement->file());
        usleep(100);
      }
      _exit(replacement->Commit() ? 0 : 1);
    }
    usleep(static_cast<useconds_t>(random() % 40000));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    const std::string now = Read(file);
    ASSERT_TRUE(now == old || now == fresh) << "round " << round << ": " << now.size() << " bytes";
    if (now == fresh) {
      ++sawNew;
      Write(file, old);
    }
    // Remove what a killed writer could not.
    for (const std::string& name : Names()) {
      if (name != "report.txt") fs::remove(dir_ / name);
    }
  }
  SUCCEED() << sawNew << " writers finished before they were killed";
}
#endif

#ifdef _WIN32
// Windows keeps no permission bits: a replacement keeps the attributes a
// person sets (hidden, archive) and refuses a file marked read-only.
TEST_F(ReplaceFileTest, KeepsTheAttributesOfTheFile) {
  const fs::path file = dir_ / "report.txt";
  Write(file, "old");
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  std::string error;
  ASSERT_TRUE(ReplaceFileContents(PathText(file), "new", &error)) << error;
  EXPECT_EQ(Read(file), "new");
  EXPECT_EQ(GetFileAttributesW(file.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(Names(), std::set<std::string>{"report.txt"});
}

TEST_F(ReplaceFileTest, RefusesAtOnceWhatIsNoPlainFileOrMayNotBeWritten) {
  fs::create_directory(dir_ / "folder");
  Write(dir_ / "readonly.txt", "keep me");
  ASSERT_TRUE(SetFileAttributesW((dir_ / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  NamedPipeForTest pipe("marvolen_replace_pipe");
  ASSERT_TRUE(pipe.ok());
  const std::set<std::string> before = Names();
  struct Case {
    std::string path;
    std::string cause;
  };
  const std::vector<Case> cases = {
      {PathText(dir_ / "folder"), "not a plain file"},
      {"NUL", "not a plain file"},
      {pipe.path(), "not a plain file"},
      {PathText(dir_ / "readonly.txt"), "may not be written"},
      {PathText(dir_ / "missing" / "report.txt"), "cannot create a temporary file"},
      {PathText(dir_) + "\\\xB1\xA8.txt", "not UTF-8"},  // GBK bytes: no name on Windows
      {"", "no file name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string error;
    EXPECT_EQ(FileReplacement::Begin(c.path, &error), nullptr);
    EXPECT_NE(error.find(c.cause), std::string::npos) << error;
  }
  pipe.Close();
  EXPECT_EQ(Read(dir_ / "readonly.txt"), "keep me");
  EXPECT_NE(GetFileAttributesW((dir_ / "readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(Names(), before);
  SetFileAttributesW((dir_ / "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

}  // namespace
}  // namespace marvolen
