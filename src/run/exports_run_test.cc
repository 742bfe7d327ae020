// The HTML report and the CSV table of whole runs: made beside the text
// report, which stays byte for byte the same; the same whatever the threads
// and the search; refused when they would overwrite a file of the run; left
// as they were when a run is stopped or a file cannot be written whole; and
// the page's records for parses drawn, given as text, or left out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "encoding/gbk.h"
#include "export/html_report.h"
#include "platform/file_system.h"
#include "run/run.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"
#ifndef _WIN32
#include "testing/file_size_limit.h"
#endif

namespace marvolen {
namespace {

namespace fs = std::filesystem;

const char kDataOpen[] = "<script type=\"application/json\" class=\"mv-data\">";

// The JSON texts of the page's data blocks.
std::vector<std::string> DataBlocks(const std::string& page) {
  std::vector<std::string> blocks;
  for (std::size_t at = page.find(kDataOpen); at != std::string::npos;
       at = page.find(kDataOpen, at)) {
    at += sizeof kDataOpen - 1;
    const std::size_t end = page.find("</script>", at);
    if (end == std::string::npos) break;
    blocks.push_back(page.substr(at, end - at));
    at = end;
  }
  return blocks;
}

// The records of report `kind` in the page (their text needs no escapes).
std::vector<std::string> Records(const std::string& page, const std::string& kind) {
  std::string report;
  std::vector<std::string> records;
  for (const std::string& block : DataBlocks(page)) {
    const std::size_t kindAt = block.find("\"kind\":\"");
    if (kindAt != std::string::npos) {
      report = block.substr(kindAt + 8, block.find('"', kindAt + 8) - kindAt - 8);
    }
    const std::size_t p = block.find(",\"p\":\"");
    if (p == std::string::npos || report != kind) continue;
    const std::string text = block.substr(p + 6, block.rfind('"') - p - 6);
    for (std::size_t at = 0; at <= text.size();) {
      const std::size_t end = std::min(text.find(' ', at), text.size());
      records.push_back(text.substr(at, end - at));
      at = end + 1;
    }
  }
  return records;
}

// The parts of a record between "|".
std::vector<std::string> Parts(const std::string& record) {
  std::vector<std::string> parts;
  for (std::size_t at = 0; at <= record.size();) {
    const std::size_t end = std::min(record.find('|', at), record.size());
    parts.push_back(record.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

TEST(JsonStringTest, EscapesWhatCouldEndAScriptOrAString) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"", "\"\""},
      {"u<的>", "\"u\\u003c的\\u003e\""},
      {"</script><!--", "\"\\u003c/script\\u003e\\u003c!--\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"&amp;", "\"\\u0026amp;\""},
      {std::string("\x01\t\n\x1f", 4), "\"\\u0001\\u0009\\u000a\\u001f\""},
      {"\xE2\x80\xA8\xE2\x80\xA9\xE2\x80\xA7", "\"\\u2028\\u2029\xE2\x80\xA7\""},
      {"\xEF\xBF\xBD", "\"\xEF\xBF\xBD\""},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendJsonString(c.in, out);
    EXPECT_EQ(out, c.out) << c.in;
  }
}

class ExportsRunTest : public TempFolderTest {
 protected:
  void WriteExamples(const std::string& itemLength = "") {
    WriteExamplesWithConfig(dir_, itemLength);
  }
  void WriteConfig(const std::string& itemLength = "") { WriteDataConfig(dir_, itemLength); }

  std::set<std::string> Others() const { return NamesBesideDataFiles(dir_); }

  RunResult Run(RecordingUserInterface& ui, RunOptions options = {}) {
    if (options.htmlReport.empty()) options.htmlReport = "report.html";
    if (options.csvTable.empty()) options.csvTable = "report.csv";
    return RunAnalysis(dir_.string(), ui, options);
  }

  static std::string Golden() { return ReadFile(TestdataDir() / "golden" / "examples-report.txt"); }
};

// The text report is the golden one with both outputs asked for, and both
// are the same bytes whatever the threads and the search.
TEST_F(ExportsRunTest, OutputsAreTheSameWhateverTheThreadsAndTheSearch) {
  WriteExamples();
  std::string html, csv;
  for (const auto& [threads, engine] :
       {std::pair{1, SearchEngine::kChart}, std::pair{3, SearchEngine::kChart},
        std::pair{2, SearchEngine::kLiteral}}) {
    SCOPED_TRACE(threads);
    RecordingUserInterface ui;
    RunOptions options;
    options.threads = threads;
    options.engine = engine;
    options.chunkPermutations = 500;
    const RunResult result = Run(ui, options);
    EXPECT_EQ(result.end, RunEnd::Completed);
    EXPECT_EQ(result.errorMessages, 0);
    EXPECT_TRUE(ReadFile(dir_ / "report.txt") == Golden());
    const std::string nowHtml = ReadFile(dir_ / "report.html");
    const std::string nowCsv = ReadFile(dir_ / "report.csv");
    if (html.empty()) {
      html = nowHtml;
      csv = nowCsv;
    }
    EXPECT_TRUE(nowHtml == html);
    EXPECT_TRUE(nowCsv == csv);
    EXPECT_EQ(Others(), (std::set<std::string>{"report.csv", "report.html", "report.txt"}));
  }
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n", 0), 0u);
  EXPECT_EQ(html.substr(html.size() - 8), "</html>\n");
  EXPECT_EQ(Records(html, "tagset").size(), 6859u);
  EXPECT_EQ(Records(html, "sequences").size(), 30u);
  // One line for the header and one for each permutation and line.
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 6859 + 30);
}

// A file of the run named as an output is refused before anything is
// written, as is an output named twice; a file that cannot be made is
// reported. The report and the inputs stay as they were.
TEST_F(ExportsRunTest, OutputsThatWouldOverwriteAFileOfTheRunAreRefused) {
  WriteExamples();
#ifdef _WIN32
  // Symbolic links need a privilege there; a hard link is another name too.
  fs::create_hard_link(dir_ / "tags.txt", dir_ / "link.txt");
#else
  fs::create_symlink("tags.txt", dir_ / "link.txt");
#endif
  const std::string where = PathText(dir_) + kPathSeparator;
  const struct {
    std::string html, csv, message;
  } cases[] = {
      {"tags.txt", "t.csv",
       "The HTML report file is also an input file or another output of the run and was not "
       "written: " +
           where + "tags.txt"},
      {"t.html", "./config.ini",
       "The CSV file is also an input file or another output of the run and was not written: " +
           where + "./config.ini"},
      {"link.txt", "t.csv",
       "The HTML report file is also an input file or another output of the run and was not "
       "written: " +
           where + "link.txt"},
      {"report.txt", "t.csv",  // not made yet
       "The HTML report file is also an input file or another output of the run and was not "
       "written: " +
           where + "report.txt"},
      {"t.html", "sub/../t.html",
       "The CSV file is also an input file or another output of the run and was not written: " +
           where + "sub/../t.html"},
      {"t.html", where + "rules.txt",
       "The CSV file is also an input file or another output of the run and was not written: " +
           where + "rules.txt"},
      {"no/such/folder/t.html", "t.csv", "The HTML report file could not be created: "},
  };
  fs::create_directory(dir_ / "sub");
  const std::string tags = ReadFile(dir_ / "tags.txt");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html + " " + c.csv);
    RecordingUserInterface ui;
    RunOptions options;
    options.htmlReport = c.html;
    options.csvTable = c.csv;
    const RunResult result = Run(ui, options);
    EXPECT_EQ(result.end, RunEnd::OpenFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    if (c.message.back() == ' ') {  // followed by the system's own words
      EXPECT_EQ(ui.messages[0].rfind(c.message, 0), 0u) << ui.messages[0];
      EXPECT_NE(ui.messages[0].find("no/such/folder"), std::string::npos) << ui.messages[0];
    } else {
      EXPECT_EQ(ui.messages[0], c.message);
    }
    EXPECT_EQ(Others(), (std::set<std::string>{"link.txt", "sub"}));
    EXPECT_EQ(ReadFile(dir_ / "tags.txt"), tags);
  }
  // With the report there already, it is kept.
  WriteFile(dir_ / "report.txt", "previous report");
  RecordingUserInterface ui;
  RunOptions options;
  options.csvTable = "report.txt";
  EXPECT_EQ(Run(ui, options).end, RunEnd::OpenFailed);
  EXPECT_EQ(ReadFile(dir_ / "report.txt"), "previous report");
}

// Asked to, a run writes the report and the outputs that can be made when
// another is refused or cannot be begun, and says which was left out.
TEST_F(ExportsRunTest, AReportWithoutFailedExportsKeepsWhatCanBeMade) {
  WriteExamples();
  const std::string where = PathText(dir_) + kPathSeparator;
  const struct {
    std::string html, csv;
    std::set<std::string> made;
    std::vector<std::string> messages;  // before the completion message
  } cases[] = {
      {"report.txt",
       "t.csv",
       {"report.txt", "t.csv"},
       {"The HTML report file is also an input file or another output of the run and was not "
        "written: " +
        where + "report.txt; the report is written without it"}},
      {"t.html", "no/such/folder/t.csv", {"report.txt", "t.html"}, {"The CSV file could not "}},
      {"tags.txt",
       "rules.txt",
       {"report.txt"},
       {"The HTML report file is also an input file or another output of the run and was not "
        "written: " +
            where + "tags.txt; the report is written without it",
        "The CSV file is also an input file or another output of the run and was not "
        "written: " +
            where + "rules.txt; the report is written without it"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html + " " + c.csv);
    for (const std::string& name : Others()) fs::remove(dir_ / name);
    RecordingUserInterface ui;
    RunOptions options;
    options.htmlReport = c.html;
    options.csvTable = c.csv;
    options.reportWithoutFailedExports = true;
    EXPECT_EQ(Run(ui, options).end, RunEnd::Completed);
    EXPECT_EQ(ReadFile(dir_ / "report.txt"), Golden());
    EXPECT_EQ(Others(), c.made);
    ASSERT_EQ(ui.messages.size(), c.messages.size() + 1);
    for (std::size_t i = 0; i < c.messages.size(); ++i) {
      EXPECT_EQ(ui.messages[i].rfind(c.messages[i], 0), 0u) << ui.messages[i];
    }
  }
}

// A stop at any moment leaves the report and both outputs as they were.
TEST_F(ExportsRunTest, AStopLeavesEveryFileAsItWas) {
  WriteExamples("long");
  // Asks for the stop at the run's `at`-th progress report.
  class Stopping : public RecordingUserInterface {
   public:
    Stopping(std::stop_source source, int at) : source_(std::move(source)), at_(at) {}
    void Progress(std::int64_t, std::int64_t) override {
      if (++calls == at_) source_.request_stop();
    }
    int calls = 0;

   private:
    std::stop_source source_;
    int at_;
  };
  int progressCalls = 0;
  {
    Stopping counting(std::stop_source(), 0);
    Run(counting);
    progressCalls = counting.calls;
  }
  ASSERT_GT(progressCalls, 20);
  std::mt19937 random(3);
  for (int round = 0; round < 10; ++round) {
    for (const char* name : {"report.txt", "report.html", "report.csv"}) {
      WriteFile(dir_ / name, std::string("previous ") + name);
    }
    const int at = 1 + static_cast<int>(random() % progressCalls);
    SCOPED_TRACE(at);
    std::stop_source source;
    Stopping ui(source, at);
    RunOptions options;
    options.stop = source.get_token();
    options.threads = 1 + round % 2;
    EXPECT_EQ(Run(ui, options).end, RunEnd::Stopped);
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{
                  "The analysis was stopped; the report file was left as it was: " +
                      (dir_ / "report.txt").string(),
                  "The HTML report file was left as it was too: " + (dir_ / "report.html").string(),
                  "The CSV file was left as it was too: " + (dir_ / "report.csv").string()}));
    for (const char* name : {"report.txt", "report.html", "report.csv"}) {
      EXPECT_EQ(ReadFile(dir_ / name), std::string("previous ") + name);
    }
    EXPECT_EQ(Others(), (std::set<std::string>{"report.csv", "report.html", "report.txt"}));
  }
}

// An output that cannot be written whole (a full disk) is left as it was and
// the person is told. The outputs of a run are replaced together, so the
// report and the HTML report are left as they were too; in the workbench's
// mode that writes the report without the exports that failed, they are
// written.
TEST_F(ExportsRunTest, AnOutputThatCannotBeWrittenWholeIsLeftAsItWas) {
  WriteExamples();
  RecordingUserInterface first;
  ASSERT_EQ(Run(first).end, RunEnd::Completed);
  const std::string html = ReadFile(dir_ / "report.html");
  const std::size_t report = Golden().size(), csv = ReadFile(dir_ / "report.csv").size();
  ASSERT_GT(csv, std::max(report, html.size()) + 1000);
  for (const bool withoutFailed : {false, true}) {
    SCOPED_TRACE(withoutFailed);
    WriteFile(dir_ / "report.txt", "previous report");
    WriteFile(dir_ / "report.csv", "previous table");
    WriteFile(dir_ / "report.html", "previous page");
    RecordingUserInterface ui;
    RunResult result;
    RunOptions options;
    options.reportWithoutFailedExports = withoutFailed;
    {
#ifdef _WIN32
      GTEST_SKIP() << "no file size limit to fill the disk with on Windows";
#else
      FileSizeLimitForTest limit(std::max(report, html.size()) + 500);
      if (!limit.active()) GTEST_SKIP() << "no file size limit here";
      result = Run(ui, options);
#endif
    }
    EXPECT_EQ(result.end, RunEnd::Completed);
    std::vector<std::string> messages = {"The CSV file could not be written completely: " +
                                         (dir_ / "report.csv").string()};
    if (!withoutFailed) {
      messages.push_back(
          "The report file was left as it was, as an output of the run could not be written: " +
          (dir_ / "report.txt").string());
      messages.push_back("The HTML report file was left as it was too: " +
                         (dir_ / "report.html").string());
    }
    ASSERT_EQ(ui.messages.size(), messages.size() + 1);
    for (std::size_t k = 0; k < messages.size(); ++k) EXPECT_EQ(ui.messages[k], messages[k]);
    EXPECT_EQ(result.errorMessages, static_cast<int>(messages.size()));
    EXPECT_EQ(result.htmlReportWritten, withoutFailed);
    EXPECT_EQ(ReadFile(dir_ / "report.csv"), "previous table");
    if (withoutFailed) {
      EXPECT_TRUE(ReadFile(dir_ / "report.html") == html);
      EXPECT_TRUE(ReadFile(dir_ / "report.txt") == Golden());
    } else {
      EXPECT_EQ(ReadFile(dir_ / "report.html"), "previous page");
      EXPECT_EQ(ReadFile(dir_ / "report.txt"), "previous report");
    }
    EXPECT_EQ(Others(), (std::set<std::string>{"report.csv", "report.html", "report.txt"}));
  }
}

// A report that cannot be written whole (a full disk) costs every output of
// the run, in either mode: the HTML report and the table of parses, which
// could be written, are left as they were with it.
TEST_F(ExportsRunTest, AReportThatCannotBeWrittenWholeLeavesEveryOutputAsItWas) {
  WriteExamples();
  RunOptions options;
  options.htmlReport = "r.html";
  options.csvParses = "p.csv";
  RecordingUserInterface first;
  ASSERT_EQ(RunAnalysis(dir_.string(), first, options).end, RunEnd::Completed);
  const std::size_t html = ReadFile(dir_ / "r.html").size();
  const std::size_t parses = ReadFile(dir_ / "p.csv").size();
  ASSERT_GT(Golden().size(), std::max(html, parses) + 1000);
  for (const bool withoutFailed : {false, true}) {
    SCOPED_TRACE(withoutFailed);
    for (const char* name : {"report.txt", "r.html", "p.csv"}) {
      WriteFile(dir_ / name, std::string("previous ") + name);
    }
    options.reportWithoutFailedExports = withoutFailed;
    RecordingUserInterface ui;
    RunResult result;
    {
#ifdef _WIN32
      GTEST_SKIP() << "no file size limit to fill the disk with on Windows";
#else
      FileSizeLimitForTest limit(std::max(html, parses) + 500);
      if (!limit.active()) GTEST_SKIP() << "no file size limit here";
      result = RunAnalysis(dir_.string(), ui, options);
#endif
    }
    EXPECT_EQ(result.end, RunEnd::Completed);
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[0],
              "Report file could not be written completely: " + (dir_ / "report.txt").string());
    EXPECT_EQ(ui.messages[1],
              "The HTML report file was left as it was too: " + (dir_ / "r.html").string());
    EXPECT_EQ(ui.messages[2],
              "The CSV file of parses was left as it was too: " + (dir_ / "p.csv").string());
    EXPECT_FALSE(result.htmlReportWritten);
    for (const char* name : {"report.txt", "r.html", "p.csv"}) {
      EXPECT_EQ(ReadFile(dir_ / name), std::string("previous ") + name);
    }
    EXPECT_EQ(Others(), (std::set<std::string>{"p.csv", "r.html", "report.txt"}));
  }
}

// Three rules S -> S S with their own titles: n items S have Catalan(n-1)
// times 3^(n-1) parses (S S: 3, S S S S S: 14 * 81 = 1134).
class SelfJoinTest : public ExportsRunTest {
 protected:
  void SetUp() override {
    ExportsRunTest::SetUp();
    WriteFile(dir_ / "tags.txt", "TagSetBegin S TagSetEnd");
    WriteFile(dir_ / "rules.txt",
              "CFGRuleSetBegin\n"
              "&& [ R1 ] S -> S S :: <TREE> = a\n"
              "&& [ R2 ] S -> S S :: <TREE> = b\n"
              "&& [ R3 ] S -> S S :: <TREE> = c\n"
              "CFGRuleSetEnd\n");
    WriteFile(dir_ / "sequences.txt", "S S S S S\nS S\nS\n</script> <!--\n");
    WriteConfig();
  }
};

TEST_F(SelfJoinTest, PagesDrawFewParsesListManyAndCountThoseLeftOut) {
  RecordingUserInterface ui;
  ASSERT_EQ(Run(ui).end, RunEnd::Completed);
  const std::string page = ReadFile(dir_ / "report.html");
  // No data block holds a "<": none can end its script element early.
  for (const std::string& block : DataBlocks(page)) {
    EXPECT_EQ(block.find('<'), std::string::npos) << block.substr(0, 200);
  }
  EXPECT_NE(page.find("\\u003c/script\\u003e"), std::string::npos);

  const std::vector<std::string> lines = Records(page, "sequences");
  ASSERT_EQ(lines.size(), 4u);
  // Over kHtmlParses: the number, then the first kHtmlParses bracketed texts.
  std::vector<std::string> parts = Parts(lines[0]);
  // One point over the five items, the three rules S -> S S competing
  // (their descriptions the table's strings 1 to 3).
  EXPECT_EQ(parts[0], "3" + std::string("0.0.0.0.0") + "#1134@1-5:1.2.3");
  ASSERT_EQ(parts.size(), 1 + kHtmlParses);
  for (std::size_t k = 1; k < parts.size(); ++k) EXPECT_EQ(parts[k][0], '~');
  // Three covert trees, their roots marked (they differ in their titles).
  parts = Parts(lines[1]);
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[0], "30.0@1-2:1.2.3");
  for (std::size_t k = 1; k < parts.size(); ++k) EXPECT_EQ(parts[k].substr(0, 1), "*") << k;
  // The lone item is its own parse; the last line cannot combine.
  EXPECT_EQ(lines[2], "10|0");
  EXPECT_EQ(lines[3].substr(0, 1), "0");
  EXPECT_EQ(Parts(lines[3]).size(), 1u);

  // The CSV has every parse of every line.
  const std::string csv = ReadFile(dir_ / "report.csv");
  EXPECT_NE(csv.find("sequences,S S S S S,covert,1134,S S S"), std::string::npos);
  EXPECT_NE(csv.find("sequences,</script> <!--,cannot_combine,0,,,\r\n"), std::string::npos);
}

TEST_F(SelfJoinTest, ParsesOverTheRunsLimitAreCountedWithoutParses) {
  RecordingUserInterface ui;
  RunOptions options;
  options.maxParses = 100;
  ASSERT_EQ(Run(ui, options).end, RunEnd::Completed);
  const std::vector<std::string> lines = Records(ReadFile(dir_ / "report.html"), "sequences");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "30.0.0.0.0#1134!");
  EXPECT_EQ(Parts(lines[1]).size(), 4u);
  EXPECT_NE(ReadFile(dir_ / "report.csv").find("sequences,S S S S S,covert,1134,,,\r\n"),
            std::string::npos);
}

// A report that stops on an error of its own (a line of six items) is in
// neither output, as it is not in the text report.
TEST_F(SelfJoinTest, AReportThatStopsOnItsOwnErrorIsInNeitherOutput) {
  WriteFile(dir_ / "sequences.txt", "S S\nS S S S S S\n");
  RecordingUserInterface ui;
  ASSERT_EQ(Run(ui).end, RunEnd::Completed);
  const std::string page = ReadFile(dir_ / "report.html");
  EXPECT_EQ(Records(page, "tagset").size(), 1u);
  EXPECT_TRUE(Records(page, "sequences").empty());
  EXPECT_EQ(page.find("\"kind\":\"sequences\""), std::string::npos);
  const std::string csv = ReadFile(dir_ / "report.csv");
  EXPECT_EQ(csv.find("sequences,"), std::string::npos);
  EXPECT_NE(csv.find("tagset,S S S,covert,18,"), std::string::npos);
}

}  // namespace
}  // namespace marvolen
