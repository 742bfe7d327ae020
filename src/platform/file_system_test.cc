#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "testing/temp_folder_fixture.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

// "词性.txt" in GBK and in UTF-8.
const char kGbkName[] = "\xB4\xCA\xD0\xD4.txt";
const char kUtf8Name[] = "\xE8\xAF\x8D\xE6\x80\xA7.txt";

// The rule is the same on every system.
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
#ifdef _WIN32
  for (const char* path : {"C:\\out.txt", "c:/out.txt", "\\out.txt", "\\\\server\\share\\a"}) {
    EXPECT_TRUE(IsAbsolutePath(path)) << path;
  }
  for (const char* path : {"C:out.txt", "1:\\out.txt", ".\\out.txt"}) {
    EXPECT_FALSE(IsAbsolutePath(path)) << path;
  }
#else
  EXPECT_FALSE(IsAbsolutePath("C:\\out.txt"));
#endif
}

TEST(JoinForDisplayTest, PutsTheSeparatorBetweenAndShowsGbkAsUtf8) {
#ifdef _WIN32
  EXPECT_EQ(JoinForDisplay("D:\\work", "out.txt"), "D:\\work\\out.txt");
  // A drive root ends with the separator already.
  EXPECT_EQ(JoinForDisplay("C:\\", "out.txt"), "C:\\out.txt");
  EXPECT_EQ(JoinForDisplay("\\\\server\\share\\", "a\\out.txt"), "\\\\server\\share\\a\\out.txt");
  EXPECT_EQ(JoinForDisplay("D:\\work", kGbkName), std::string("D:\\work\\") + kUtf8Name);
#else
  EXPECT_EQ(JoinForDisplay("/home/ling", "out.txt"), "/home/ling/out.txt");
  // Inserted whatever the directory ends with.
  EXPECT_EQ(JoinForDisplay("/", "out.txt"), "//out.txt");
  EXPECT_EQ(JoinForDisplay("/w", kGbkName), std::string("/w/") + kUtf8Name);
#endif
}

// A path held as text reaches std::filesystem and comes back unchanged:
// bytes off Windows, UTF-8 (and Chinese names) on Windows.
TEST(FileSystemPathTest, TextAndPathRoundTrip) {
  for (const std::string& text :
       {std::string("a/b.txt"), std::string(kUtf8Name), std::string("\xE8\xAF\x8D/\xE6\x80\xA7")}) {
    EXPECT_EQ(PathText(FileSystemPath(text)), text);
  }
#ifdef _WIN32
  EXPECT_EQ(FileSystemPath(kUtf8Name).native(), L"\u8BCD\u6027.txt");
  // Bytes that are not UTF-8 name no file on Windows.
  EXPECT_TRUE(FileSystemPath(kGbkName).empty());
  EXPECT_EQ(OpenFile(kGbkName, "wb"), nullptr);
#else
  EXPECT_EQ(PathText(FileSystemPath(kGbkName)), kGbkName);
#endif
}

class DirectoryTest : public TempFolderTest {};

TEST_F(DirectoryTest, ChangeDirectoryMakesTheDirectoryCurrent) {
  ASSERT_TRUE(ChangeDirectory(PathText(dir_)));
  EXPECT_EQ(CurrentDirectory(), PathText(dir_));
  fs::create_directory(dir_ / "sub");
  ASSERT_TRUE(ChangeDirectory("sub"));
  EXPECT_EQ(CurrentDirectory(), PathText(dir_ / "sub"));
  // A Chinese name, whatever the system's code page.
  fs::create_directory(dir_ / "sub" / FileSystemPath(kUtf8Name));
  ASSERT_TRUE(ChangeDirectory(kUtf8Name));
  EXPECT_EQ(CurrentDirectory(), PathText(dir_ / "sub" / FileSystemPath(kUtf8Name)));
}

TEST_F(DirectoryTest, ChangeDirectoryFailsForWhatIsNotADirectory) {
  ASSERT_TRUE(ChangeDirectory(PathText(dir_)));
  std::string reason;
  EXPECT_FALSE(ChangeDirectory("", &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(ChangeDirectory(PathText(dir_ / "missing")));
  ASSERT_NE(OpenFile(PathText(dir_ / "file"), "w"), nullptr);
  EXPECT_FALSE(ChangeDirectory(PathText(dir_ / "file")));
  EXPECT_EQ(CurrentDirectory(), PathText(dir_));
}

TEST_F(DirectoryTest, AGbkPathReachesTheFileOfItsUtf8Name) {
  ASSERT_NE(OpenFile(PathText(dir_ / FileSystemPath(kUtf8Name)), "w"), nullptr);
  const std::string configured = PathText(dir_) + "/" + kGbkName;
  EXPECT_NE(OpenFile(NativePath(configured), "r"), nullptr);
  EXPECT_NE(OpenPlainFileForReading(NativePath(configured)), nullptr);
}

TEST_F(DirectoryTest, SameExistingFileSeesOneFileThroughTwoNames) {
  ASSERT_NE(OpenFile(PathText(dir_ / "a.txt"), "w"), nullptr);
  ASSERT_NE(OpenFile(PathText(dir_ / "b.txt"), "w"), nullptr);
  ASSERT_TRUE(ChangeDirectory(PathText(dir_)));
  EXPECT_TRUE(SameExistingFile("a.txt", PathText(dir_ / "a.txt")));
  EXPECT_TRUE(SameExistingFile("a.txt", "./../" + PathText(dir_.filename()) + "/a.txt"));
  EXPECT_FALSE(SameExistingFile("a.txt", "b.txt"));
  EXPECT_FALSE(SameExistingFile("a.txt", "missing.txt"));
  EXPECT_FALSE(SameExistingFile("missing.txt", "missing.txt"));
  // One file under its Chinese name, given in UTF-8 and in GBK.
  ASSERT_NE(OpenFile(kUtf8Name, "w"), nullptr);
  EXPECT_TRUE(SameExistingFile(NativePath(kGbkName), PathText(dir_ / FileSystemPath(kUtf8Name))));
  EXPECT_FALSE(SameExistingFile(kUtf8Name, "a.txt"));
}

TEST_F(DirectoryTest, TruncateOpenFileCutsTheFileAndWritesOnFromThere) {
  const std::string path = PathText(dir_ / "cut.txt");
  UniqueFile file = OpenFile(path, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("0123456789", file.get());
  ASSERT_TRUE(TruncateOpenFile(file.get(), 4));
  std::fputs("ab", file.get());
  file.reset();
  EXPECT_EQ(fs::file_size(dir_ / "cut.txt"), 6u);
  UniqueFile in = OpenPlainFileForReading(path);
  ASSERT_NE(in, nullptr);
  char bytes[8] = {};
  EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, in.get()), 6u);
  EXPECT_EQ(std::string(bytes, 6), "0123ab");
}

// Only a plain file opens for reading: a folder or a device never does.
TEST_F(DirectoryTest, OnlyAPlainFileOpensForReading) {
  EXPECT_EQ(OpenPlainFileForReading(PathText(dir_)), nullptr);
  EXPECT_EQ(OpenPlainFileForReading(""), nullptr);
  EXPECT_EQ(OpenPlainFileForReading(PathText(dir_ / "missing")), nullptr);
#ifdef _WIN32
  for (const char* device : {"NUL", "CON"}) {
    EXPECT_EQ(OpenPlainFileForReading(device), nullptr) << device;
  }
#else
  EXPECT_EQ(OpenPlainFileForReading("/dev/null"), nullptr);
#endif
}

}  // namespace
}  // namespace marvolen
