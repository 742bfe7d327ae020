#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace marvolen {
namespace {

namespace fs = std::filesystem;

// "词性.txt" in GBK and in UTF-8.
const char kGbkName[] = "\xB4\xCA\xD0\xD4.txt";
const char kUtf8Name[] = "\xE8\xAF\x8D\xE6\x80\xA7.txt";

#ifndef _WIN32
TEST(NativePathTest, Utf8IsUsedAsItIsGbkIsConvertedAndAnythingElseIsKept) {
  EXPECT_EQ(NativePath("data/tags.txt"), "data/tags.txt");
  EXPECT_EQ(NativePath(kUtf8Name), kUtf8Name);
  EXPECT_EQ(NativePath(std::string("dir/") + kGbkName), std::string("dir/") + kUtf8Name);
  // Neither UTF-8 nor GBK: a lone lead byte at the end, and 0xFF.
  EXPECT_EQ(NativePath("a\xB4"), "a\xB4");
  EXPECT_EQ(NativePath("\xFF\xFF.txt"), "\xFF\xFF.txt");
  EXPECT_EQ(NativePath(""), "");
}

TEST(DisplayPathTest, Utf8IsShownAsItIsAndAnythingElseAsGbk) {
  EXPECT_EQ(DisplayPath("out.txt"), "out.txt");
  EXPECT_EQ(DisplayPath(kUtf8Name), kUtf8Name);
  EXPECT_EQ(DisplayPath(kGbkName), kUtf8Name);
  EXPECT_EQ(DisplayPath("a\xFF"), "a\xEF\xBF\xBD");  // U+FFFD
}

TEST(IsAbsolutePathTest, OnlyPathsFromTheRootAreAbsolute) {
  EXPECT_TRUE(IsAbsolutePath("/tmp/out.txt"));
  EXPECT_FALSE(IsAbsolutePath("out.txt"));
  EXPECT_FALSE(IsAbsolutePath("./out.txt"));
  EXPECT_FALSE(IsAbsolutePath(""));
}
#endif

class DirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "marvolen_fs_XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = fs::canonical(tmpl);
  }
  void TearDown() override {
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_F(DirectoryTest, ChangeDirectoryMakesTheDirectoryCurrent) {
  ASSERT_TRUE(ChangeDirectory(dir_.string()));
  EXPECT_EQ(CurrentDirectory(), dir_.string());
  fs::create_directory(dir_ / "sub");
  ASSERT_TRUE(ChangeDirectory("sub"));
  EXPECT_EQ(CurrentDirectory(), (dir_ / "sub").string());
}

TEST_F(DirectoryTest, ChangeDirectoryFailsForWhatIsNotADirectory) {
  ASSERT_TRUE(ChangeDirectory(dir_.string()));
  EXPECT_FALSE(ChangeDirectory(""));
  EXPECT_FALSE(ChangeDirectory((dir_ / "missing").string()));
  std::fclose(std::fopen((dir_ / "file").c_str(), "w"));
  EXPECT_FALSE(ChangeDirectory((dir_ / "file").string()));
  EXPECT_EQ(CurrentDirectory(), dir_.string());
}

TEST_F(DirectoryTest, AGbkPathReachesTheFileOfItsUtf8Name) {
  std::fclose(std::fopen((dir_ / kUtf8Name).c_str(), "w"));
  const std::string configured = dir_.string() + "/" + kGbkName;
  std::FILE* f = std::fopen(NativePath(configured).c_str(), "r");
  EXPECT_NE(f, nullptr);
  if (f != nullptr) std::fclose(f);
}

TEST_F(DirectoryTest, SameExistingFileSeesOneFileThroughTwoNames) {
  std::fclose(std::fopen((dir_ / "a.txt").c_str(), "w"));
  std::fclose(std::fopen((dir_ / "b.txt").c_str(), "w"));
  ASSERT_TRUE(ChangeDirectory(dir_.string()));
  EXPECT_TRUE(SameExistingFile("a.txt", (dir_ / "a.txt").string()));
  EXPECT_TRUE(SameExistingFile("a.txt", "./../" + dir_.filename().string() + "/a.txt"));
  EXPECT_FALSE(SameExistingFile("a.txt", "b.txt"));
  EXPECT_FALSE(SameExistingFile("a.txt", "missing.txt"));
  EXPECT_FALSE(SameExistingFile("missing.txt", "missing.txt"));
}

}  // namespace
}  // namespace marvolen
