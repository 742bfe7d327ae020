// marvolen-report --parse in this process: the heap it holds stays bounded
// however many parses a line has, listed and drawn, and a stop ends it.
#include "cli/parse_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stop_token>
#include <string>

#include "testing/files.h"
#include "testing/heap.h"
#include "testing/temp_folder_fixture.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

// `rules` rules S -> S S, each with its own title: five items S have
// 14 * rules^4 parses.
class ManyParsesTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    if (!HasFatalFailure()) fs::current_path(dir_);
  }
  void WriteGrammar(int rules) {
    WriteFile(dir_ / "tags.txt", "TagSetBegin S TagSetEnd\n");
    std::string text = "CFGRuleSetBegin\n";
    for (int k = 1; k <= rules; ++k) {
      text += "&& [ R" + std::to_string(k) + " ] S -> S S :: <TREE> = T" + std::to_string(k) + "\n";
    }
    WriteFile(dir_ / "rules.txt", text + "CFGRuleSetEnd\n");
    WriteFile(dir_ / "config.ini",
              "[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\n"
              "RESULT=report.txt\n");
  }
};

// 399,854 parses: listed one at a time and the first kSvgTrees drawn, in
// a few megabytes; building every tree took over 400 MB.
TEST_F(ManyParsesTest, TheHeapStaysBoundedListedAndDrawn) {
  WriteGrammar(13);
  for (const bool drawn : {false, true}) {
    SCOPED_TRACE(drawn);
    ParseRequest request;
    request.items = "S S S S S";
    if (drawn) request.svgPath = (dir_ / "trees.svg").string();
    std::FILE* out = std::fopen((dir_ / "out.txt").string().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    RecordingUserInterface ui;
    ResetHeapPeak();
    const ParseOutcome outcome = RunParse(dir_.string(), request, ui, out);
    const std::size_t peak = HeapPeakBytes();
    std::fclose(out);
    EXPECT_EQ(outcome.end, ParseOutcome::End::kPrinted) << outcome.error;
    EXPECT_LT(peak, std::size_t{96} << 20);
    std::printf("heap peak %.1f MB\n", static_cast<double>(peak) / (1 << 20));
    EXPECT_GT(fs::file_size(dir_ / "out.txt"), 399854u * 30);
    if (drawn) {
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0],
                "The SVG file draws the first 1000 of 399854 parses: " + *request.svgPath);
      std::ifstream in(dir_ / "trees.svg", std::ios::binary);
      const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_NE(svg.find(">The first 1000 of 399854 parses are drawn.</text>"), std::string::npos);
      EXPECT_NE(svg.find(">[1000]</text>"), std::string::npos);
      EXPECT_EQ(svg.find(">[1001]</text>"), std::string::npos);
    }
  }
}

// A stop already requested ends the command without a drawing.
TEST_F(ManyParsesTest, AStopLeavesTheDrawingAsItWas) {
  WriteGrammar(3);
  WriteFile(dir_ / "trees.svg", "previous");
  std::stop_source stop;
  stop.request_stop();
  ParseRequest request;
  request.items = "S S S S S";
  request.svgPath = "trees.svg";
  request.stop = stop.get_token();
  std::FILE* out = std::fopen((dir_ / "out.txt").string().c_str(), "wb");
  ASSERT_NE(out, nullptr);
  RecordingUserInterface ui;
  const ParseOutcome outcome = RunParse(dir_.string(), request, ui, out);
  std::fclose(out);
  EXPECT_EQ(outcome.end, ParseOutcome::End::kStopped);
  EXPECT_EQ(outcome.error, "stopped; the SVG file was left as it was: trees.svg");
  std::ifstream in(dir_ / "trees.svg", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
            "previous");
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

}  // namespace
}  // namespace marvolen
