// The report file of whole runs: it is replaced only by a complete report,
// whatever stops a run (a stop request, a kill, a second run at once), keeps
// its link and permissions, and a parse limit leaves out only the listings
// of the permutations it concerns.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "analysis/report_writer.h"
#include "encoding/gbk.h"
#include "run/run.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

class ReportFileTest : public TempFolderTest {
 protected:
  // The bundled examples in `dir`, with `itemLength` and `result`.
  static void WriteExamples(const fs::path& dir, const std::string& itemLength,
                            const std::string& result = "report.txt") {
    WriteExamplesWithConfig(dir, itemLength, result);
  }

  std::set<std::string> Others() const { return NamesBesideDataFiles(dir_); }

  static std::string Golden() { return ReadFile(TestdataDir() / "golden" / "examples-report.txt"); }
};

#ifndef _WIN32  // Windows: runs killed or at once in cli_marvolen_report_test
TEST_F(ReportFileTest, AReportThroughALinkKeepsTheLinkAndThePermissions) {
  WriteExamples(dir_, "");
  fs::create_directory(dir_ / "kept");
  WriteFile(dir_ / "kept" / "report.txt", "previous report");
  ::chmod((dir_ / "kept" / "report.txt").c_str(), 0600);
  fs::create_symlink("kept/report.txt", dir_ / "report.txt");
  RecordingUserInterface ui;
  EXPECT_EQ(RunAnalysis(dir_.string(), ui).end, RunEnd::Completed);
  EXPECT_TRUE(fs::is_symlink(dir_ / "report.txt"));
  EXPECT_TRUE(ReadFile(dir_ / "kept" / "report.txt") == Golden());
  struct stat info {};
  ::stat((dir_ / "kept" / "report.txt").c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(Others(), (std::set<std::string>{"kept", "report.txt"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "kept"), fs::directory_iterator()), 1);
}
#endif

// Asks for the stop when the run reports its `at`-th progress.
class StoppingUserInterface : public RecordingUserInterface {
 public:
  StoppingUserInterface(std::stop_source source, int at) : source_(std::move(source)), at_(at) {}
  void Progress(std::int64_t, std::int64_t) override {
    if (++calls_ == at_) source_.request_stop();
  }
  int calls() const { return calls_; }

 private:
  std::stop_source source_;
  int at_;
  int calls_ = 0;
};

// A stop at any moment (judging or listing, in either report, on one thread
// or several) ends the run with the previous report as it was.
TEST_F(ReportFileTest, AStopAtAnyMomentLeavesThePreviousReport) {
  WriteExamples(dir_, "long");
  WriteFile(dir_ / "report.txt", "previous report");
  int progressCalls = 0;
  {
    RecordingUserInterface ui;
    StoppingUserInterface counting(std::stop_source(), 0);
    RunAnalysis(dir_.string(), counting);
    progressCalls = counting.calls();
    WriteFile(dir_ / "report.txt", "previous report");
  }
  ASSERT_GT(progressCalls, 20);
  std::mt19937 random(11);
  for (int round = 0; round < 12; ++round) {
    const int at = 1 + static_cast<int>(random() % progressCalls);
    SCOPED_TRACE(at);
    std::stop_source source;
    StoppingUserInterface ui(source, at);
    RunOptions options;
    options.stop = source.get_token();
    options.threads = 1 + round % 3;
    const RunResult result = RunAnalysis(dir_.string(), ui, options);
    EXPECT_EQ(result.end, RunEnd::Stopped);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "The analysis was stopped; the report file was left as it was: " +
                                  (dir_ / "report.txt").string());
    EXPECT_EQ(ReadFile(dir_ / "report.txt"), "previous report");
    EXPECT_EQ(Others(), std::set<std::string>{"report.txt"});
  }
}

#ifndef _WIN32
// A run killed at any moment leaves the previous report, or the new one
// whole.
TEST_F(ReportFileTest, AKilledRunLeavesThePreviousReportOrTheNewOneWhole) {
  WriteExamples(dir_, "");
  const std::string previous = "previous report";
  std::mt19937 random(5);
  int sawNew = 0;
  for (int round = 0; round < 10; ++round) {
    WriteFile(dir_ / "report.txt", previous);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      RecordingUserInterface ui;
      RunOptions options;
      options.threads = 1;
      RunAnalysis(dir_.string(), ui, options);
      _exit(0);
    }
    usleep(static_cast<useconds_t>(random() % 60000));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    const std::string now = ReadFile(dir_ / "report.txt");
    ASSERT_TRUE(now == previous || now == Golden()) << "round " << round << ": " << now.size();
    sawNew += now != previous;
    for (const std::string& name : Others()) {
      if (name != "report.txt") fs::remove(dir_ / name);
    }
  }
  SUCCEED() << sawNew << " runs finished before they were killed";
}

// Two runs at once writing one report file: the file is always one run's
// whole report, never a mixture.
TEST_F(ReportFileTest, TwoRunsAtOnceLeaveOneWholeReport) {
  fs::create_directories(dir_ / "long");
  fs::create_directories(dir_ / "three");
  const std::string report = (dir_ / "report.txt").string();
  WriteExamples(dir_ / "long", "long", report);
  WriteExamples(dir_ / "three", "", report);
  pid_t pids[2];
  for (int k = 0; k < 2; ++k) {
    pids[k] = fork();
    ASSERT_GE(pids[k], 0);
    if (pids[k] == 0) {
      RecordingUserInterface ui;
      const RunResult result = RunAnalysis((dir_ / (k == 0 ? "long" : "three")).string(), ui);
      _exit(result.end == RunEnd::Completed && result.errorMessages == 0 ? 0 : 1);
    }
  }
  for (const pid_t pid : pids) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::string now = ReadFile(report);
  EXPECT_TRUE(now == Golden() ||
              (now.size() > Golden().size() * 4 &&
               now.rfind(Gbk("\r\n\r\n全部标记共有 19 个: "), 0) == 0 &&
               now.find(Gbk("全部标记全排列——共有排列:54872个")) != std::string::npos))
      << now.size();
  EXPECT_EQ(Others(), (std::set<std::string>{"long", "report.txt", "three"}));
}
#endif

// Every entry with more parses than the limit shows their number instead of
// the parses; every other byte is that of the report without a limit.
TEST_F(ReportFileTest, ALimitLeavesOutOnlyTheListingsItConcerns) {
  WriteExamples(dir_, "");
  RecordingUserInterface ui;
  RunOptions options;
  options.maxParses = 1;
  const RunResult result = RunAnalysis(dir_.string(), ui, options);
  EXPECT_EQ(result.end, RunEnd::Completed);

  // The golden report with each run of numbered parse lines replaced by the
  // line for parses too many to list; the runs counted in each report.
  const std::string golden = Golden();
  const std::size_t sequencesReport = golden.find(Gbk("sequences.txt文件中共有排列"));
  ASSERT_NE(sequencesReport, std::string::npos);
  std::string expected;
  std::vector<std::string> run;
  int unlisted[2] = {0, 0};
  auto flush = [&] {
    if (run.empty()) return;
    std::string line = UnlistedParsesLine(run.size(), 1);
    line.insert(line.size() - 1, "\r");
    expected += line;
    ++unlisted[expected.size() > sequencesReport];
    run.clear();
  };
  for (std::size_t at = 0; at < golden.size();) {
    const std::size_t end = golden.find("\r\n", at);
    const std::size_t next = end == std::string::npos ? golden.size() : end + 2;
    const std::string line = golden.substr(at, next - at);
    if (line.rfind("\t\t[", 0) == 0) {
      run.push_back(line);
    } else {
      flush();
      expected += line;
    }
    at = next;
  }
  flush();
  // 6 overt and 13 covert triples, 5 overt and 7 covert lines.
  ASSERT_EQ(unlisted[0], 19);
  ASSERT_EQ(unlisted[1], 12);
  const std::string report = ReadFile(dir_ / "report.txt");
  EXPECT_TRUE(report == expected) << report.size() << " vs " << expected.size();
  EXPECT_NE(report.find(Gbk("\t\t共有4种组合方式，超出上限1种，未逐一列出\r\n")),
            std::string::npos);

  // In each report the first ten such permutations are named, in report
  // order, and the others counted; then the completion message.
  const auto named = [](const std::string& items, int count) {
    return "Too many parses to list for " + items + ": " + std::to_string(count) +
           ", more than the limit of 1; the report gives their number only";
  };
  ASSERT_EQ(ui.messages.size(), 10u + 1u + 10u + 1u + 1u);
  EXPECT_EQ(result.errorMessages, 22);
  EXPECT_EQ(ui.messages[10],
            "Too many parses to list for 9 more permutations; the report gives their number only");
  EXPECT_EQ(ui.messages[11], named("v n u<的> n", 2));
  EXPECT_NE(std::find(ui.messages.begin() + 11, ui.messages.end(), named("n n n", 2)),
            ui.messages.end());
  EXPECT_EQ(ui.messages[21],
            "Too many parses to list for 2 more permutations; the report gives their number only");
}

}  // namespace
}  // namespace marvolen
