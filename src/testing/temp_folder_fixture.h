// Test support: a GoogleTest fixture that gives each test a new, empty
// folder of its own (dir_, its canonical path) and removes it afterwards.
//
// A test may make the folder current (the run does): the folder that was
// current before the test is made current again before the folder is
// removed, since Windows removes no current folder.
#ifndef MARVOLEN_TESTING_TEMP_FOLDER_FIXTURE_H_
#define MARVOLEN_TESTING_TEMP_FOLDER_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "testing/temp_dir.h"

namespace marvolen {

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code ec;
    previous_ = std::filesystem::current_path(ec);
    const std::filesystem::path made = MakeTempDirForTest("marvolen_test_");
    ASSERT_FALSE(made.empty());
    dir_ = std::filesystem::canonical(made);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    if (ec) std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }

  std::filesystem::path dir_;

 private:
  std::filesystem::path previous_;
};

}  // namespace marvolen

#endif  // MARVOLEN_TESTING_TEMP_FOLDER_FIXTURE_H_
