// Tests of the shared test support: whole files, the examples, the
// temporary folder fixture.
#include "testing/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "testing/temp_folder_fixture.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

class FilesTest : public TempFolderTest {};

TEST_F(FilesTest, WhatIsWrittenIsReadBackByteForByteAndReplacesTheOldContent) {
  const std::string bytes("a\r\nb\0\x1A\xFF\n", 8);
  WriteFile(dir_ / "f", "a much longer text that is replaced");
  WriteFile(dir_ / "f", bytes);
  EXPECT_EQ(ReadFile(dir_ / "f"), bytes);
  EXPECT_EQ(ReadFile(dir_ / "missing"), "");
}

TEST_F(FilesTest, AWriteThatCannotBeMadeThrows) {
  EXPECT_THROW(WriteFile(dir_ / "no folder" / "f", "x"), std::runtime_error);
  EXPECT_THROW(WriteFile(dir_, "x"), std::runtime_error);
}

TEST_F(FilesTest, TheExamplesAreCopiedWithAConfigurationThatNamesThem) {
  WriteFile(dir_ / "rules.txt", "old");
  WriteExamplesWithConfig(dir_, "long", "out.txt");
  for (const char* name : {"tags.txt", "rules.txt", "sequences.txt"}) {
    EXPECT_FALSE(ReadFile(dir_ / name).empty()) << name;
    EXPECT_EQ(ReadFile(dir_ / name), ReadFile(ExamplesDir() / name)) << name;
  }
  EXPECT_EQ(ReadFile(dir_ / "config.ini"),
            "[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\n"
            "RESULT=out.txt\nITEMLENGTH=long\n");
  EXPECT_THROW(CopyExamples(dir_, {"no such example"}), fs::filesystem_error);
  EXPECT_TRUE(fs::is_regular_file(TestdataDir() / "golden" / "examples-report.txt"));
}

// The fixture run by hand, inside a test of its own.
class FixtureByHand : public TempFolderTest {
 public:
  void TestBody() override {}
  using TempFolderTest::dir_;
  using TempFolderTest::SetUp;
  using TempFolderTest::TearDown;
};

TEST(TempFolderTest, EachTestGetsANewEmptyFolderThatIsRemovedWithTheCurrentFolderPutBack) {
  const fs::path before = fs::current_path();
  FixtureByHand first, second;
  first.SetUp();
  second.SetUp();
  ASSERT_FALSE(first.dir_.empty());
  EXPECT_NE(first.dir_, second.dir_);
  EXPECT_TRUE(first.dir_.is_absolute());
  EXPECT_TRUE(fs::is_empty(first.dir_));
  fs::create_directory(first.dir_ / "inner");
  WriteFile(first.dir_ / "inner" / "f", "x");
  fs::current_path(first.dir_ / "inner");
  first.TearDown();
  second.TearDown();
  EXPECT_FALSE(fs::exists(first.dir_));
  EXPECT_FALSE(fs::exists(second.dir_));
  EXPECT_EQ(fs::current_path(), before);
}

}  // namespace
}  // namespace marvolen
