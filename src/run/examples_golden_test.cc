// The report of the bundled examples/ data set, byte for byte.
//
// testdata/golden/examples-report.txt was read in full when it was made and
// agrees byte for byte with tools/refmodel.py, the independent reference
// model. Regenerate it only on purpose: cd examples && marvolen-report, then
// compare with the model (tools/crosscheck.py shows how).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/file_system.h"
#include "run/run.h"
#include "testing/files.h"
#include "testing/temp_dir.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

TEST(ExamplesGoldenTest, TheBundledDataGivesTheCheckedInReport) {
  const fs::path tmpl = MakeTempDirForTest("marvolen_examples_");
  ASSERT_FALSE(tmpl.empty());
  const fs::path dir = fs::canonical(tmpl);
  CopyExamples(dir, {"config.ini", "tags.txt", "rules.txt", "sequences.txt"});

  RecordingUserInterface ui;
  const RunResult result = RunAnalysis(dir.string(), ui);
  EXPECT_EQ(result.end, RunEnd::Completed);
  EXPECT_EQ(result.errorMessages, 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0],
            "分析完毕！请打开" + dir.string() + kPathSeparator + "report.txt\n查看分析报告。");

  const std::string golden = ReadFile(TestdataDir() / "golden" / "examples-report.txt");
  ASSERT_FALSE(golden.empty());
  const std::string report = ReadFile(dir / "report.txt");
  EXPECT_TRUE(report == golden) << "report of examples/ differs from the golden copy ("
                                << report.size() << " vs " << golden.size() << " bytes); see "
                                << (dir / "report.txt");
  // The run leaves its directory current; Windows removes no current folder.
  fs::current_path(fs::temp_directory_path());
  if (report == golden) fs::remove_all(dir);
}

}  // namespace
}  // namespace marvolen
