// Runs the built marvolen-report and checks what it prints and returns.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "testing/child_process.h"
#include "testing/files.h"
#include "testing/temp_dir.h"
#ifndef _WIN32
#include "testing/file_size_limit.h"
#endif

namespace {

using marvolen::ChildProcessForTest;
using marvolen::CopyExamples;
using marvolen::ExamplesDir;
using marvolen::FileSystemPath;
using marvolen::PathText;
using marvolen::ReadFile;
using marvolen::TestdataDir;
using marvolen::WriteFile;

namespace fs = std::filesystem;

const char kBinary[] = MARVOLEN_REPORT_BINARY;

struct Outcome {
  int status = -1;  // exit status, or -1 when the program did not exit
  std::string out;
  std::string err;
};

// What the program printed to a file. On Windows its output is text, each
// line ending in CR LF, as Windows programs write it; the tests read it with
// plain line feeds.
std::string ReadOutput(const fs::path& path) {
  std::string text = ReadFile(path);
#ifdef _WIN32
  std::string lf;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      lf += '\n';
      ++i;
      continue;
    }
    EXPECT_NE(text[i], '\n') << "a line feed without CR: " << text;
    lf += text[i];
  }
  text = lf;
#endif
  return text;
}

class MarvolenReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path made = marvolen::MakeTempDirForTest("marvolen_cli_");
    ASSERT_FALSE(made.empty());
    base_ = fs::canonical(made);
    dir_ = base_ / "work";
    fs::create_directory(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(base_, ec);
  }

  // Run the program in `cwd` with `args`; stdout and stderr are captured in
  // files beside the working directory.
  Outcome Invoke(const fs::path& cwd, const std::vector<std::string>& args) {
    Outcome o;
    const auto child = Start(cwd, args);
    if (child == nullptr) return o;
    o.status = child->Wait();
    o.out = ReadOutput(base_ / "stdout");
    o.err = ReadOutput(base_ / "stderr");
    return o;
  }
  std::unique_ptr<ChildProcessForTest> Start(const fs::path& cwd,
                                             const std::vector<std::string>& args,
                                             bool ownConsole = false) {
    ChildProcessForTest::Options options;
    options.directory = PathText(cwd);
    options.outPath = PathText(base_ / "stdout");
    options.errPath = PathText(base_ / "stderr");
    options.ownConsole = ownConsole;
    return ChildProcessForTest::Start(kBinary, args, options);
  }
  Outcome Invoke(std::vector<std::string> args) { return Invoke(dir_, std::move(args)); }

  void WriteData(const std::string& sequences) {
    WriteFile(dir_ / "tags.txt", "TagSetBegin\r\nn , v , a\r\nTagSetEnd\r\n");
    WriteFile(dir_ / "sequences.txt", sequences);
    WriteFile(dir_ / "rules.txt", "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n &&\r\nCFGRuleSetEnd\r\n");
    WriteFile(dir_ / "config.ini",
              "[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n"
              "RESULT=report.txt\r\nITEMLENGTH=short\r\n");
  }

  std::string Completion() const {
    return "分析完毕！请打开" + (dir_ / "report.txt").string() + "\n查看分析报告。\n";
  }

  fs::path base_;
  fs::path dir_;
};

// The version in project() of the top CMakeLists.txt, or "" when it is not
// found there.
std::string ProjectVersion() {
  const std::string text = ReadFile(TestdataDir() / ".." / "CMakeLists.txt");
  const std::string key = "project(Marvolen VERSION ";
  const std::size_t at = text.find(key);
  if (at == std::string::npos) return "";
  const std::size_t end = text.find_first_of(" )", at + key.size());
  return text.substr(at + key.size(), end - at - key.size());
}

TEST_F(MarvolenReportTest, VersionAndHelpGoToStdoutWithStatusZero) {
  const std::string project = ProjectVersion();
  ASSERT_FALSE(project.empty());
  const Outcome version = Invoke({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "marvolen-report " + project + "\n");
  EXPECT_EQ(version.err, "");

  for (const char* flag : {"--help", "-h"}) {
    const Outcome help = Invoke({flag});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: marvolen-report [options]\n", 0), 0u);
    for (const char* text :
         {"\n  -C DIR         change to DIR", "\n  --show-config  print",
          "\n  --engine=NAME  search with NAME: chart", "\n  --threads=N ",
          "converted\n                 from GBK", "\n  --max-parses=N list",
          "\n  64  usage error\n", "\n  130 stopped by Ctrl+C", "\n  --parse ITEMS  judge",
          "\n  --svg FILE     with --parse", "\n  --html FILE    also write the HTML report",
          "\n  --csv FILE     also write the CSV table"}) {
      EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
    EXPECT_NE(help.out.find("version (\"" + project + "\")\n"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
}

TEST_F(MarvolenReportTest, UsageErrorsGiveOneLineOnStderrAndStatus64) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--frobnicate"},
                                               {"-x"},
                                               {"-C"},
                                               {"--show-config", "-C"},
                                               {"extra"}}) {
    const Outcome o = Invoke(args);
    EXPECT_EQ(o.status, 64) << args[0];
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind("marvolen-report: ", 0), 0u) << o.err;
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
  }
  EXPECT_EQ(Invoke({"-C"}).err, "marvolen-report: option -C needs a directory; see --help\n");
  EXPECT_EQ(Invoke({"--frobnicate"}).err,
            "marvolen-report: unknown option '--frobnicate'; see --help\n");
  EXPECT_EQ(Invoke({"--engine=fast"}).err, "marvolen-report: unknown engine 'fast'; see --help\n");
  for (const char* threads : {"--threads=0", "--threads=", "--threads=2x", "--threads=999"}) {
    const Outcome o = Invoke({threads});
    EXPECT_EQ(o.status, 64) << threads;
    EXPECT_EQ(o.err, "marvolen-report: --threads needs a number from 1 to 256; see --help\n");
  }
  for (const char* limit : {"--max-parses=0", "--max-parses=", "--max-parses=-1",
                            "--max-parses=1e6", "--max-parses=99999999999999999999"}) {
    const Outcome o = Invoke({limit});
    EXPECT_EQ(o.status, 64) << limit;
    EXPECT_EQ(o.err,
              "marvolen-report: --max-parses needs a whole number of at least 1; see --help\n");
  }
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
}

TEST_F(MarvolenReportTest, HtmlAndCsvNeedAFileAndARun) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--html"}, "option --html needs a file"},
      {{"--csv="}, "option --csv needs a file"},
      {{"--html=", "--csv", "t.csv"}, "option --html needs a file"},
      {{"--html", "t.html", "--parse", "n v"},
       "--html and --csv go with a run, not with --parse or --show-config"},
      {{"--show-config", "--csv=t.csv"},
       "--html and --csv go with a run, not with --parse or --show-config"},
      {{"--csv-parses"}, "option --csv-parses needs a file"},
      {{"--csv-parses=p.csv", "--parse", "n v"},
       "--csv-parses goes with a run, not with --parse or --show-config"},
  };
  for (const auto& c : cases) {
    const Outcome o = Invoke(c.args);
    EXPECT_EQ(o.status, 64) << c.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "marvolen-report: " + c.err + "; see --help\n");
  }
  EXPECT_TRUE(fs::is_empty(dir_));
}

// Both outputs beside the report, with nothing more said; one that would
// overwrite an input is refused before anything is written (status 2).
TEST_F(MarvolenReportTest, HtmlAndCsvAreWrittenBesideTheReport) {
  WriteData("a n\r\n");
  Outcome o = Invoke({"--html", "out/r.html", "--csv=r.csv"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err.rfind("The HTML report file could not be created: ", 0), 0u) << o.err;
  fs::create_directory(dir_ / "out");
  o = Invoke({"--html", "out/r.html", "--csv=r.csv"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, Completion());
  const std::string csv = ReadFile(dir_ / "r.csv");
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBFsource,items,judgement,parses,roots,trees,divergences\r\n"
                      "tagset,n n n,cannot_combine,0,,,\r\n",
                      0),
            0u)
      << csv;
  const std::string last = "sequences,a n,one_way,1,NP,\"(NP(a,n))\",\r\n";
  EXPECT_EQ(csv.substr(csv.size() - last.size()), last);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 27 + 1);
  EXPECT_EQ(ReadFile(dir_ / "out" / "r.html").rfind("<!DOCTYPE html>", 0), 0u);
  const std::string report = ReadFile(dir_ / "report.txt");
  o = Invoke({"--csv=sequences.txt"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err,
            "The CSV file is also an input file or another output of the run and was not "
            "written: " +
                (dir_ / "sequences.txt").string() + "\n");
  EXPECT_EQ(ReadFile(dir_ / "sequences.txt"), "a n\r\n");
  EXPECT_EQ(ReadFile(dir_ / "report.txt"), report);

  // The table of parses: one row for each parse (no three tags combine),
  // refused like the others.
  o = Invoke({"--csv-parses", "p.csv"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(ReadFile(dir_ / "p.csv"),
            "\xEF\xBB\xBFsource,items,judgement,parse,root,tree\r\n"
            "sequences,a n,one_way,1,NP,\"(NP(a,n))\"\r\n");
  for (const char* other :
       {"--csv-parses=r.csv", "--csv-parses=report.txt", "--csv-parses=config.ini"}) {
    o = Invoke({"--csv=r.csv", other});
    EXPECT_EQ(o.status, 2) << other;
    EXPECT_EQ(o.err.rfind("The CSV file of parses is also an input file or another output of "
                          "the run and was not written: ",
                          0),
              0u)
        << o.err;
  }
  EXPECT_EQ(ReadFile(dir_ / "report.txt"), report);
}

TEST_F(MarvolenReportTest, ShowConfigPrintsTheFiveValuesAsTheRunUsesThem) {
  WriteFile(dir_ / "config.ini",
            "[DATA]\r\n"
            "TAGS=\xB4\xCA\xD0\xD4.txt\r\n"               // GBK 词性.txt
            "SEQUENCES=\xE5\xBA\x8F\xE5\x88\x97.txt\r\n"  // UTF-8 序列.txt
            "RULES = \"rules file.txt\"\r\n"
            "ITEMLENGTH=long\r\n");
  const std::string expected =
      "TAGS=词性.txt\nSEQUENCES=序列.txt\nRULES=rules file.txt\nRESULT=\nITEMLENGTH=long\n";
  const Outcome here = Invoke({"--show-config"});
  EXPECT_EQ(here.status, 0);
  EXPECT_EQ(here.out, expected);
  EXPECT_EQ(here.err, "");

  const Outcome elsewhere = Invoke(base_, {"--show-config", "-C", "work"});
  EXPECT_EQ(elsewhere.status, 0);
  EXPECT_EQ(elsewhere.out, expected);
}

TEST_F(MarvolenReportTest, ShowConfigWithoutConfigIniSaysSoAndPrintsEmptyValues) {
  const Outcome o = Invoke({"--show-config"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "TAGS=\nSEQUENCES=\nRULES=\nRESULT=\nITEMLENGTH=\n");
  EXPECT_EQ(o.err, "marvolen-report: cannot read " + (dir_ / "config.ini").string() +
                       "; every value is empty\n");
}

TEST_F(MarvolenReportTest, ACleanRunPrintsTheCompletionMessageAndExitsZero) {
  WriteData("n v\r\n");
  const Outcome o = Invoke({});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, Completion());
  EXPECT_TRUE(fs::exists(dir_ / "report.txt"));
}

TEST_F(MarvolenReportTest, ARunAfterErrorMessagesExitsOne) {
  WriteData("");
  const Outcome o = Invoke({});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "No sequences defined!\t\n" + Completion());
}

TEST_F(MarvolenReportTest, AFailedOpenExitsTwo) {
  const Outcome none = Invoke({});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "Data File <tags.txt> Open Error!\n");

  WriteData("n v\n");
  fs::remove(dir_ / "rules.txt");
  const Outcome rules = Invoke({});
  EXPECT_EQ(rules.status, 2);
  EXPECT_EQ(rules.err, "Data File <rules.txt> Open Error!\n");
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
}

TEST_F(MarvolenReportTest, DashCRunsInTheGivenDirectoryNamedAbsolutely) {
  WriteData("n v\n");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"-C", "work"},
                                               {"-Cwork"},
                                               {"-C", dir_.string()},
                                               {"-C", "work", "-C", "../work"}}) {
    fs::remove(dir_ / "report.txt");
    const Outcome o = Invoke(base_, args);
    EXPECT_EQ(o.status, 0) << args.back();
    EXPECT_EQ(o.err, Completion()) << args.back();
    EXPECT_TRUE(fs::exists(dir_ / "report.txt")) << args.back();
  }
}

TEST_F(MarvolenReportTest, TheEngineAndTheThreadsChangeNothingInTheReport) {
  CopyExamples(dir_);
  for (const char* itemLength : {"", "long"}) {
    WriteFile(dir_ / "config.ini",
              "[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\n"
              "RESULT=report.txt\nITEMLENGTH=" +
                  std::string(itemLength) + "\n");
    const Outcome first = Invoke({});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string report = ReadFile(dir_ / "report.txt");
    ASSERT_GT(report.size(), 100000u);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--engine=literal"},
                                                 {"--engine=chart", "--threads=1"},
                                                 {"--threads=3", "--engine=literal"}}) {
      fs::remove(dir_ / "report.txt");
      const Outcome o = Invoke(args);
      EXPECT_EQ(o.status, 0) << args[0];
      EXPECT_EQ(o.err, first.err) << args[0];
      EXPECT_TRUE(ReadFile(dir_ / "report.txt") == report) << args[0] << " " << itemLength;
    }
  }
}

#ifndef _WIN32  // pseudo-terminals, signals and broken pipes; Windows: below
// A text as a terminal shows it: each line feed as CR LF.
std::string AsOnTerminal(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Runs the program with stderr (and stdout) on a pseudo-terminal and returns
// everything it wrote there; nothing when the machine has no pseudo-terminals
// to give (a chroot without /dev/pts, for one).
std::optional<std::string> InvokeOnTerminal(const fs::path& cwd, const char* term) {
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(127);
    setenv("TERM", term, 1);
    execl(kBinary, kBinary, static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) return std::nullopt;
  std::string out;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO once the program has closed the terminal
    out.append(buffer, n);
  }
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  return out;
}

TEST_F(MarvolenReportTest, OnATerminalAProgressBarIsErasedBeforeEachMessage) {
  WriteData("");  // "No sequences defined!" comes before the reports
  const std::optional<std::string> onXterm = InvokeOnTerminal(dir_, "xterm");
  if (!onXterm) GTEST_SKIP() << "no pseudo-terminal available: " << std::strerror(errno);
  const std::string& out = *onXterm;
  // The terminal turns each line feed into CR LF.
  const std::string noSequences = "No sequences defined!\t\r\n";
  ASSERT_EQ(out.rfind(noSequences, 0), 0u) << out;
  const std::size_t bar = out.find("\r[", noSequences.size());
  ASSERT_NE(bar, std::string::npos) << out;
  // 27 permutations of three tags: the bar ends full, then is blanked out,
  // and the completion message starts a line of its own.
  const std::string full = "[" + std::string(30, '#') + "] 100% 27/27";
  const std::size_t end = out.find(full, bar);
  ASSERT_NE(end, std::string::npos) << out;
  const std::string clear = "\r" + std::string(full.size(), ' ') + "\r";
  EXPECT_EQ(out.substr(end + full.size(), clear.size() + 6), clear + "分析") << out;
  EXPECT_EQ(out.substr(out.find("分析完毕")), AsOnTerminal(Completion()));

  // Without a terminal that can draw over a line: the messages alone.
  EXPECT_EQ(InvokeOnTerminal(dir_, "dumb").value_or("(no terminal)"),
            noSequences + AsOnTerminal(Completion()));
}

#endif

TEST_F(MarvolenReportTest, AParseLimitLeavesOutTheListingAndSaysSo) {
  WriteData("a n\r\n");
  WriteFile(dir_ / "rules.txt",
            "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n && && 2 R2 : VP -> a n && "
            "&& 3 R3 : S -> a n &&\r\nCFGRuleSetEnd\r\n");
  const Outcome o = Invoke({"--max-parses=2"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err,
            "Too many parses to list for a n: 3, more than the limit of 2; the report gives "
            "their number only\n" +
                Completion());
  const std::string report = ReadFile(dir_ / "report.txt");
  // GBK: 共有3种组合方式，超出上限2种，未逐一列出
  EXPECT_NE(report.find("\ta n \r\n\t\t\xB9\xB2\xD3\xD0"
                        "3\xD6\xD6"),
            std::string::npos);
  EXPECT_EQ(report.find("\t\t[1]"), std::string::npos);
  EXPECT_EQ(Invoke({"--max-parses=3"}).status, 0);
  EXPECT_NE(ReadFile(dir_ / "report.txt").find("\t\t[3](NP(a,n))"), std::string::npos);
}

// Data whose report takes long enough to interrupt: five rules S -> S S and
// 500 lines S S S S S (196 MB of report).
void WriteLongRun(const fs::path& dir) {
  WriteFile(dir / "tags.txt", "TagSetBegin S TagSetEnd\r\n");
  std::string rules = "CFGRuleSetBegin\r\n";
  for (int k = 1; k <= 5; ++k) {
    rules +=
        "&& [ R" + std::to_string(k) + " ] S -> S S :: <TREE> = T" + std::to_string(k) + "\r\n";
  }
  WriteFile(dir / "rules.txt", rules + "CFGRuleSetEnd\r\n");
  std::string lines;
  for (int k = 0; k < 500; ++k) lines += "S S S S S\r\n";
  WriteFile(dir / "sequences.txt", lines);
  WriteFile(dir / "config.ini",
            "[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n"
            "RESULT=report.txt\r\n");
}

// Whether the report is being written beside report.txt.
bool ReportBeingWritten(const fs::path& dir) {
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (PathText(entry.path().filename()).rfind("report.txt.", 0) == 0) return true;
  }
  return false;
}

#ifndef _WIN32
// Ctrl+C or SIGTERM while the report is being written: the run stops, its
// temporary file is gone, the previous report is as it was, and the status
// is 130. So with the HTML report and the CSV table: they are left as they
// were too.
TEST_F(MarvolenReportTest, ASignalStopsTheRunAndLeavesThePreviousReport) {
  WriteLongRun(dir_);
  for (const auto& [sig, extras] :
       {std::pair{SIGINT, false}, std::pair{SIGTERM, false}, std::pair{SIGINT, true}}) {
    SCOPED_TRACE(sig);
    WriteFile(dir_ / "report.txt", "previous report");
    WriteFile(dir_ / "r.html", "previous page");
    WriteFile(dir_ / "r.csv", "previous table");
    const fs::path errPath = base_ / "stderr";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (err < 0 || chdir(dir_.c_str()) != 0) _exit(127);
      dup2(err, 2);
      if (extras) {
        execl(kBinary, kBinary, "--html=r.html", "--csv", "r.csv", static_cast<char*>(nullptr));
      } else {
        execl(kBinary, kBinary, static_cast<char*>(nullptr));
      }
      _exit(127);
    }
    // Wait until the report is being written beside report.txt.
    auto temporary = [&] { return ReportBeingWritten(dir_); };
    // Two minutes at most, for instrumented builds on a busy machine.
    for (int k = 0; k < 120000 && !temporary(); ++k) usleep(1000);
    if (!temporary()) {
      kill(pid, SIGKILL);  // no program left running after the test
      waitpid(pid, nullptr, 0);
    }
    ASSERT_TRUE(temporary());
    usleep(100000);
    const auto start = std::chrono::steady_clock::now();
    kill(pid, sig);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_FALSE(temporary());
    EXPECT_EQ(ReadFile(dir_ / "report.txt"), "previous report");
    EXPECT_EQ(ReadFile(dir_ / "r.html"), "previous page");
    EXPECT_EQ(ReadFile(dir_ / "r.csv"), "previous table");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 7);
    std::string messages = "The analysis was stopped; the report file was left as it was: " +
                           (dir_ / "report.txt").string() + "\n";
    if (extras) {
      messages += "The HTML report file was left as it was too: " + (dir_ / "r.html").string() +
                  "\nThe CSV file was left as it was too: " + (dir_ / "r.csv").string() + "\n";
    }
    EXPECT_EQ(ReadFile(errPath), messages);
    std::printf("stopped %.3f s after the signal\n", seconds);
  }
}

// Messages that cannot be written (their reader has gone) do not stop the
// report: marvolen-report 2>&1 | head -c1 with a reader's error message.
TEST_F(MarvolenReportTest, AMessageThatCannotBeWrittenDoesNotStopTheReport) {
  WriteData("");  // "No sequences defined!"
  CopyExamples(dir_, {"tags.txt", "rules.txt"});
  const Outcome whole = Invoke({});
  ASSERT_EQ(whole.status, 1);
  const std::string report = ReadFile(dir_ / "report.txt");
  ASSERT_GT(report.size(), 100000u);
  fs::remove(dir_ / "report.txt");

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(fds[0]);
    if (chdir(dir_.c_str()) != 0) _exit(127);
    dup2(fds[1], 1);
    dup2(fds[1], 2);
    execl(kBinary, kBinary, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  char first = 0;
  ASSERT_EQ(read(fds[0], &first, 1), 1);  // head -c1
  close(fds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_TRUE(ReadFile(dir_ / "report.txt") == report);
}

#endif

#ifdef _WIN32
void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Ctrl+C on the console while the report is being written: the run stops,
// its temporary file is gone, the previous report is as it was, and the
// status is 130. So with the HTML report and the CSV table: they are left as
// they were too.
TEST_F(MarvolenReportTest, CtrlCStopsTheRunAndLeavesThePreviousReport) {
  WriteLongRun(dir_);
  for (const bool extras : {false, true}) {
    SCOPED_TRACE(extras);
    WriteFile(dir_ / "report.txt", "previous report");
    WriteFile(dir_ / "r.html", "previous page");
    WriteFile(dir_ / "r.csv", "previous table");
    const std::vector<std::string> args =
        extras ? std::vector<std::string>{"--html=r.html", "--csv", "r.csv"}
               : std::vector<std::string>{};
    const auto child = Start(dir_, args, /*ownConsole=*/true);
    ASSERT_NE(child, nullptr);
    for (int k = 0; k < 5000 && !ReportBeingWritten(dir_); ++k) SleepMs(1);
    ASSERT_TRUE(ReportBeingWritten(dir_));
    SleepMs(100);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(child->Interrupt());
    EXPECT_EQ(child->Wait(), 130);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(ReportBeingWritten(dir_));
    EXPECT_EQ(ReadFile(dir_ / "report.txt"), "previous report");
    EXPECT_EQ(ReadFile(dir_ / "r.html"), "previous page");
    EXPECT_EQ(ReadFile(dir_ / "r.csv"), "previous table");
    std::string messages = "The analysis was stopped; the report file was left as it was: " +
                           PathText(dir_ / "report.txt") + "\n";
    if (extras) {
      messages += "The HTML report file was left as it was too: " + PathText(dir_ / "r.html") +
                  "\nThe CSV file was left as it was too: " + PathText(dir_ / "r.csv") + "\n";
    }
    EXPECT_EQ(ReadOutput(base_ / "stderr"), messages);
    std::printf("stopped %.3f s after Ctrl+C\n", seconds);
  }
}

// A run killed at any moment leaves the previous report, or the new one
// whole: the report takes the old one's place by MoveFileExW.
TEST_F(MarvolenReportTest, AKilledRunLeavesThePreviousReportOrTheNewOneWhole) {
  CopyExamples(dir_, {"tags.txt", "rules.txt", "sequences.txt", "config.ini"});
  const std::string golden = ReadFile(TestdataDir() / "golden" / "examples-report.txt");
  const std::string previous = "previous report";
  int sawNew = 0;
  for (int round = 0; round < 8; ++round) {
    WriteFile(dir_ / "report.txt", previous);
    const auto child = Start(dir_, {"--threads=1"});
    ASSERT_NE(child, nullptr);
    SleepMs(round * 97 % 400);
    child->Kill();
    child->Wait();
    const std::string now = ReadFile(dir_ / "report.txt");
    ASSERT_TRUE(now == previous || now == golden) << "round " << round << ": " << now.size();
    sawNew += now != previous;
    // Remove what a killed run could not.
    for (const auto& entry : fs::directory_iterator(dir_)) {
      if (PathText(entry.path().filename()).rfind("report.txt.", 0) == 0) fs::remove(entry.path());
    }
  }
  std::printf("%d runs finished before they were killed\n", sawNew);
}

// Two runs at once writing one report file: the file is always one run's
// whole report, never a mixture.
TEST_F(MarvolenReportTest, TwoRunsAtOnceLeaveOneWholeReport) {
  const std::string report = PathText(base_ / "report.txt");
  for (const char* mode : {"long", "three"}) {
    const fs::path dir = base_ / mode;
    fs::create_directories(dir);
    CopyExamples(dir);
    WriteFile(dir / "config.ini",
              "[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\n"
              "RULES=rules.txt\nRESULT=" +
                  report + "\nITEMLENGTH=" + mode + "\n");
  }
  ChildProcessForTest::Options options;
  options.outPath = PathText(base_ / "stdout");
  const auto first = ChildProcessForTest::Start(
      kBinary, {"-C", PathText(base_ / "long")},
      {PathText(base_ / "long"), options.outPath, PathText(base_ / "long-stderr")});
  const auto second = ChildProcessForTest::Start(
      kBinary, {"-C", PathText(base_ / "three")},
      {PathText(base_ / "three"), options.outPath + "2", PathText(base_ / "three-stderr")});
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  // A replacement may find the other's report in its way for a moment; it
  // then says so, and the file stays whole either way.
  const int firstStatus = first->Wait(), secondStatus = second->Wait();
  EXPECT_TRUE(firstStatus == 0 || secondStatus == 0) << firstStatus << " " << secondStatus;
  const std::string golden = ReadFile(TestdataDir() / "golden" / "examples-report.txt");
  const std::string now = ReadFile(report);
  EXPECT_TRUE(now == golden ||
              (now.size() > golden.size() * 4 && now.find("54872") != std::string::npos))
      << now.size();
  for (const auto& entry : fs::directory_iterator(base_)) {
    EXPECT_NE(PathText(entry.path().filename()).rfind("report.txt.", 0), 0u);
  }
}
#endif

// The bundled examples through the program: the report is byte for byte the
// checked-in one, and the completion message names it with the system's
// separator ("\" on Windows).
TEST_F(MarvolenReportTest, TheExamplesGiveTheGoldenReport) {
  CopyExamples(dir_, {"tags.txt", "rules.txt", "sequences.txt", "config.ini"});
  const Outcome o = Invoke(base_, {"-C", "work"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "分析完毕！请打开" + PathText(dir_) + marvolen::kPathSeparator +
                       "report.txt\n查看分析报告。\n");
  EXPECT_TRUE(ReadFile(dir_ / "report.txt") ==
              ReadFile(TestdataDir() / "golden" / "examples-report.txt"));
}

// A data set of Chinese file names in a Chinese folder, named in a config.ini
// written in GBK as a Windows editor writes it, found with -C.
TEST_F(MarvolenReportTest, AChineseDataSetNamedInAGbkConfigIniRuns) {
  const fs::path folder = base_ / FileSystemPath("语料");
  fs::create_directory(folder);
  for (const auto& [from, to] : {std::pair<const char*, const char*>{"tags.txt", "词性.txt"},
                                 {"rules.txt", "规则.txt"},
                                 {"sequences.txt", "序列.txt"}}) {
    fs::copy_file(ExamplesDir() / from, folder / FileSystemPath(to));
  }
  // TAGS=词性.txt, SEQUENCES=序列.txt, RULES=规则.txt, RESULT=报告.txt in GBK.
  WriteFile(folder / "config.ini",
            "[DATA]\r\nTAGS=\xB4\xCA\xD0\xD4.txt\r\nSEQUENCES=\xD0\xF2\xC1\xD0.txt\r\n"
            "RULES=\xB9\xE6\xD4\xF2.txt\r\nRESULT=\xB1\xA8\xB8\xE6.txt\r\n");
  const Outcome shown = Invoke({"-C", PathText(folder), "--show-config"});
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out,
            "TAGS=词性.txt\nSEQUENCES=序列.txt\nRULES=规则.txt\nRESULT=报告.txt\nITEMLENGTH=\n");
  const Outcome o = Invoke({"-C", PathText(folder)});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "分析完毕！请打开" + PathText(folder) + marvolen::kPathSeparator +
                       "报告.txt\n查看分析报告。\n");
  EXPECT_TRUE(ReadFile(folder / FileSystemPath("报告.txt")) ==
              ReadFile(TestdataDir() / "golden" / "examples-report.txt"));
}

TEST_F(MarvolenReportTest, DashCIntoAMissingDirectoryExitsTwo) {
  const Outcome o = Invoke(base_, {"-C", "missing"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err.rfind("marvolen-report: cannot change to directory 'missing': ", 0), 0u) << o.err;
  EXPECT_EQ(o.err.find('\n'), o.err.size() - 1);
}

// --parse: the examples' own rules and tags, run from elsewhere with -C.
class ParseOptionTest : public MarvolenReportTest {
 protected:
  Outcome Parse(std::vector<std::string> args) {
    args.insert(args.begin(), {"-C", MARVOLEN_EXAMPLES_DIR});
    return Invoke(args);
  }
};

TEST_F(ParseOptionTest, PrintsTheJudgementAndTheParsesAsTheReportListsThem) {
  const struct {
    const char* items;
    std::string out;
  } cases[] = {
      {"v n u<的> n",
       "外显型歧义\n"
       "歧义点 1-4: R34 VP -> v NP | R08 NP -> NP n\n"
       "[1](VP:述宾(v,NP:定中(NP:的字结构(n,u<的>),n)))\n"
       "[2](NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))\n"},
      {"n n n n",
       "内含型歧义\n"
       "歧义点 1-4: R07 NP -> n NP | R08 NP -> NP n\n"
       "[1](NP:定中(n,NP:定中(n,NP:定中(n,n))))\n"
       "[2](NP:定中(n,NP:定中(NP:定中(n,n),n)))\n"
       "[3](NP:定中(NP:定中(n,NP:定中(n,n)),n))\n"
       "[4](NP:定中(NP:定中(NP:定中(n,n),n),n))\n"},
      {"n n n",
       "内含型歧义\n"
       "歧义点 1-3: R07 NP -> n NP | R08 NP -> NP n\n"
       "[1](NP:定中(n,NP:定中(n,n)))\n"
       "[2](NP:定中(NP:定中(n,n),n))\n"},
      {" a  n ", "只有一种组合方式(无歧义)\n(NP:定中(a,n))\n"},
      {"n v d", "不能组合\n"},
      {"", "不能组合\n"},
  };
  for (const auto& c : cases) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--parse", c.items},
                                                 {"--parse=" + std::string(c.items)},
                                                 {"--engine=literal", "--parse", c.items}}) {
      const Outcome o = Parse(args);
      EXPECT_EQ(o.status, 0) << c.items;
      EXPECT_EQ(o.out, c.out) << c.items;
      EXPECT_EQ(o.err, "") << c.items;
    }
  }
  EXPECT_TRUE(fs::is_empty(dir_));
}

// Rules that a tree cannot tell apart are named together, in --parse and in
// the CSV table.
TEST_F(MarvolenReportTest, DuplicateRulesAreNamedTogether) {
  CopyExamples(dir_, {"tags.txt", "rules.txt", "sequences.txt", "config.ini"});
  std::string rules = ReadFile(dir_ / "rules.txt");
  rules.insert(rules.find("CFGRuleSetEnd"),
               "&& [ R50 ] NP -> n NP :: <TREE> = \xB6\xA8\xD6\xD0\r\n");  // 定中
  WriteFile(dir_ / "rules.txt", rules);
  Outcome o = Invoke({"--parse", "n n n"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out.substr(0, o.out.find("[1]")),
            "内含型歧义\n歧义点 1-3: R07=R50 NP -> n NP | R08 NP -> NP n\n");
  o = Invoke({"--csv", "r.csv"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(ReadFile(dir_ / "r.csv").find("sequences,n n n,covert,2,NP NP,"), std::string::npos);
  EXPECT_NE(ReadFile(dir_ / "r.csv").find(",1-3:R07=R50|R08\r\n"), std::string::npos);
}

// Past --max-parses the judgement stands with the report's own line for
// parses too many to list; at the limit every parse is printed.
TEST_F(ParseOptionTest, ParsesBeyondTheLimitAreCountedNotListed) {
  Outcome o = Parse({"--max-parses=3", "--parse", "n n n n"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "内含型歧义\n共有4种组合方式，超出上限3种，未逐一列出\n"
            "歧义点：未计算（组合方式超出上限）\n");
  o = Parse({"--parse", "n n n n", "--max-parses=4"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("\n[4](NP:"), std::string::npos) << o.out;
}

TEST_F(ParseOptionTest, SvgDrawsEveryParseNumberedWithTheItemsEscaped) {
  const Outcome o = Parse({"--svg", (base_ / "trees.svg").string(), "--parse", "v n u<的> n"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out.rfind("外显型歧义\n歧义点 1-4: R34 VP -> v NP | R08 NP -> NP n\n[1]", 0), 0u);
  const std::string svg = ReadFile(base_ / "trees.svg");
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u) << svg;
  for (const char* text :
       {">[1]</text>", ">[2]</text>", ">u&lt;的&gt;</text>", ">述宾</text>", "Noto Sans CJK SC"}) {
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  }
  // The point's top framed and its span underlined in both trees.
  auto lines = [](const std::string& text) {
    int count = 0;
    for (auto at = text.find("<line "); at != std::string::npos; at = text.find("<line ", at + 1))
      ++count;
    return count;
  };
  EXPECT_EQ(lines(svg), 2);
  // One way: one tree, no number, no point; cannot combine: an empty drawing.
  EXPECT_EQ(Parse({"--parse", "a n", "--svg=" + (base_ / "one.svg").string()}).status, 0);
  EXPECT_EQ(ReadFile(base_ / "one.svg").find(">[1]<"), std::string::npos);
  EXPECT_EQ(lines(ReadFile(base_ / "one.svg")), 0);
  EXPECT_NE(ReadFile(base_ / "one.svg").find(">定中</text>"), std::string::npos);
  EXPECT_EQ(Parse({"--parse", "n v d", "--svg", (base_ / "none.svg").string()}).status, 0);
  EXPECT_EQ(ReadFile(base_ / "none.svg").find("<text"), std::string::npos);
}

TEST_F(ParseOptionTest, ItemsThatCannotBeAnalysedAreAUsageError) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--parse", "a b c d e f"}, "--parse takes at most five items, not 6"},
      {{"--parse", "n " + std::string(20, 'x')},
       "item longer than 19 bytes in GBK: " + std::string(20, 'x')},
      {{"--parse", "n 𠀀"}, "the items hold a character that GBK cannot hold"},
#ifndef _WIN32  // a Windows command line is characters, never stray bytes
      {{"--parse", "n \xFF"}, "the items are not UTF-8 text"},
#endif
      {{"--parse"}, "option --parse needs the items"},
      {{"--svg", "x.svg"}, "--svg goes with --parse"},
      {{"--parse", "n", "--svg"}, "option --svg needs a file"},
      {{"--parse", "n", "--svg="}, "option --svg needs a file"},
      {{"--parse", "n", "--show-config"}, "--parse and --show-config exclude each other"},
  };
  for (const auto& c : cases) {
    // Nothing is drawn either.
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "--svg=" + (base_ / "x.svg").string());
    const Outcome o = Parse(args);
    EXPECT_EQ(o.status, 64) << c.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "marvolen-report: " + c.err + "; see --help\n");
  }
  // Five items of 19 bytes are fine.
  const std::string item(19, 'n');
  const Outcome five = Parse({"--parse", item + " " + item + " " + item + " " + item + " " + item});
  EXPECT_EQ(five.status, 0);
  EXPECT_EQ(five.out, "不能组合\n");
  EXPECT_FALSE(fs::exists(base_ / "x.svg"));
}

TEST_F(ParseOptionTest, ReaderMessagesGoToStderrAndGiveStatusOne) {
  WriteData("");
  WriteFile(dir_ / "rules.txt", "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n && && 2 R2 : VP -> VP ");
  const Outcome o = Invoke({"--parse", "a n"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "只有一种组合方式(无歧义)\n(NP(a,n))\n");
  EXPECT_EQ(o.err, "Invalid Rules_File format!       \n");
  // The sequences file is not read, nor any report written.
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
}

TEST_F(ParseOptionTest, MissingFilesAndDrawingsThatCannotBeWrittenGiveStatusTwo) {
  const Outcome none = Invoke({"--parse", "a n"});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, "Data File <tags.txt> Open Error!\n");

  WriteData("a n\n");
  const std::string rules = ReadFile(dir_ / "rules.txt");
  for (const char* input : {"rules.txt", "tags.txt", "sequences.txt", "config.ini"}) {
    const Outcome o = Invoke({"--parse", "a n", "--svg", input});
    EXPECT_EQ(o.status, 2) << input;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err,
              "marvolen-report: the SVG file is also an input file and was not "
              "overwritten: " +
                  std::string(input) + "\n");
  }
  EXPECT_EQ(ReadFile(dir_ / "rules.txt"), rules);

  // Refused at once, before anything is read or printed.
  const Outcome o = Invoke({"--parse", "a n", "--svg", "missing/trees.svg"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err.rfind("marvolen-report: cannot write 'missing/trees.svg': ", 0), 0u) << o.err;
  EXPECT_EQ(o.err.find('\n'), o.err.size() - 1);
}

#ifndef _WIN32
// The drawing is checked as every output is: not the report, a folder, a
// pipe (nothing waits for a reader), a device or a read-only file; refused
// at once with status 2 and nothing printed. A link stays a link; a full
// disk leaves the previous drawing whole.
TEST_F(ParseOptionTest, SvgIsRefusedWhereAnyOutputIsAndWrittenBeside) {
  WriteData("a n\n");
  WriteFile(dir_ / "report.txt", "previous report");
  WriteFile(dir_ / "locked.svg", "locked");
  fs::permissions(dir_ / "locked.svg",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::create_directory(dir_ / "folder.svg");
  ASSERT_EQ(mkfifo((dir_ / "pipe.svg").c_str(), 0600), 0);
  for (const char* svg : {"report.txt", "locked.svg", "folder.svg", "pipe.svg", "/dev/null"}) {
    const auto start = std::chrono::steady_clock::now();
    const Outcome o = Invoke({"--parse", "a n", "--svg", svg});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(o.status, 2) << svg;
    EXPECT_EQ(o.out, "") << svg;
    EXPECT_EQ(o.err.rfind("marvolen-report: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find(svg), std::string::npos) << o.err;
    EXPECT_LT(seconds, 60) << svg;  // a pipe is never opened
  }
  EXPECT_EQ(ReadFile(dir_ / "report.txt"), "previous report");
  EXPECT_EQ(ReadFile(dir_ / "locked.svg"), "locked");
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe.svg"));
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.svg"));

  WriteFile(dir_ / "target.svg", "previous drawing");
  fs::create_symlink("target.svg", dir_ / "link.svg");
  {
    // No file of the program may grow past this: the drawing cannot be
    // written whole.
    marvolen::FileSizeLimitForTest limit(400);
    ASSERT_TRUE(limit.active());
    const Outcome full = Invoke({"--parse", "a n", "--svg", "link.svg"});
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err.rfind("marvolen-report: cannot write 'link.svg': ", 0), 0u) << full.err;
  }
  EXPECT_EQ(ReadFile(dir_ / "target.svg"), "previous drawing");
  const Outcome o = Invoke({"--parse", "a n", "--svg", "link.svg"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.svg"));
  EXPECT_EQ(ReadFile(dir_ / "target.svg").rfind("<?xml", 0), 0u);
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

// Beyond --max-parses there is nothing to draw: the command says so and
// exits 2, leaving the SVG file as it was, rather than write an empty
// picture.
TEST_F(ParseOptionTest, NoDrawingIsMadeBeyondTheParseLimit) {
  WriteFile(base_ / "trees.svg", "previous drawing");
  const Outcome o =
      Parse({"--max-parses=3", "--parse", "n n n n", "--svg", (base_ / "trees.svg").string()});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.out,
            "内含型歧义\n共有4种组合方式，超出上限3种，未逐一列出\n"
            "歧义点：未计算（组合方式超出上限）\n");
  EXPECT_EQ(o.err,
            "marvolen-report: no drawing was made, as the parses are more than "
            "--max-parses=3; the SVG file was left as it was: " +
                (base_ / "trees.svg").string() + "\n");
  EXPECT_EQ(ReadFile(base_ / "trees.svg"), "previous drawing");
}

// The first Ctrl+C or SIGTERM ends --parse within moments while it lists
// 1,469,664 parses (18 rules S -> S S), with status 130 and the drawing
// left as it was.
TEST_F(MarvolenReportTest, TheFirstSignalStopsParse) {
  WriteFile(dir_ / "tags.txt", "TagSetBegin S TagSetEnd\n");
  std::string rules = "CFGRuleSetBegin\n";
  for (int k = 1; k <= 18; ++k) {
    rules += "&& [ R" + std::to_string(k) + " ] S -> S S :: <TREE> = T" + std::to_string(k) + "\n";
  }
  WriteFile(dir_ / "rules.txt", rules + "CFGRuleSetEnd\n");
  WriteFile(dir_ / "config.ini", "[DATA]\nTAGS=tags.txt\nRULES=rules.txt\nRESULT=report.txt\n");
  for (const auto& [sig, svg] :
       {std::pair{SIGINT, true}, std::pair{SIGTERM, true}, std::pair{SIGINT, false}}) {
    SCOPED_TRACE(sig);
    WriteFile(dir_ / "trees.svg", "previous drawing");
    const fs::path outPath = base_ / "stdout", errPath = base_ / "stderr";
    fs::remove(outPath);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out < 0 || err < 0 || chdir(dir_.c_str()) != 0) _exit(127);
      dup2(out, 1);
      dup2(err, 2);
      if (svg) {
        execl(kBinary, kBinary, "--max-parses=2000000", "--parse", "S S S S S", "--svg",
              "trees.svg", static_cast<char*>(nullptr));
      } else {
        execl(kBinary, kBinary, "--max-parses=2000000", "--parse", "S S S S S",
              static_cast<char*>(nullptr));
      }
      _exit(127);
    }
    // Wait until the judgement is out: the divergence points, then the
    // parses, are being found (both passes go over millions of parses).
    auto listing = [&] {
      std::error_code ec;
      const auto size = fs::file_size(outPath, ec);
      return !ec && size > 0;
    };
    // Two minutes at most: an instrumented build (ThreadSanitizer) on a busy
    // machine takes far longer than the second or so it takes otherwise.
    for (int k = 0; k < 120000 && !listing(); ++k) usleep(1000);
    if (!listing()) {
      kill(pid, SIGKILL);  // no program left running after the test
      waitpid(pid, nullptr, 0);
    }
    ASSERT_TRUE(listing());
    const auto start = std::chrono::steady_clock::now();
    kill(pid, sig);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_EQ(ReadFile(dir_ / "trees.svg"), "previous drawing");
    EXPECT_EQ(ReadFile(errPath),
              svg ? "marvolen-report: stopped; the SVG file was left as it was: trees.svg\n"
                  : "marvolen-report: stopped\n");
    for (const auto& entry : fs::directory_iterator(dir_)) {
      EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
    std::printf("stopped %.3f s after the signal\n", seconds);
  }
}
#endif

// --compare-rules: the comparison on stdout after the run, the table of
// changes beside it, --fail-on-change as the status; the report as without.
TEST_F(MarvolenReportTest, CompareRulesPrintsWhatChangedAndFailOnChangeExitsThree) {
  WriteData("a n\r\nn v\r\n");
  ASSERT_EQ(Invoke({}).status, 0);
  const std::string report = ReadFile(dir_ / "report.txt");
  WriteFile(dir_ / "old.txt",
            "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n &&\r\n"
            "&& 1 R2 : S -> n v &&\r\nCFGRuleSetEnd\r\n");
  const struct {
    std::vector<std::string> args;
    int status;
    bool changed;
  } cases[] = {
      {{"--compare-rules", "old.txt"}, 0, true},
      {{"--compare-rules=old.txt", "--fail-on-change", "--changes", "c.csv"}, 3, true},
      {{"--compare-rules", "rules.txt", "--fail-on-change", "--changes=c.csv"}, 0, false},
      // The table of a run with old.txt as the baseline.
      {{"--baseline", "old.csv", "--fail-on-change", "--changes", "c.csv"}, 3, true},
      {{"--baseline=new.csv", "--fail-on-change", "--changes=c.csv"}, 0, false},
  };
  ASSERT_EQ(Invoke({"--csv", "new.csv"}).status, 0);
  const std::string rules = ReadFile(dir_ / "rules.txt");
  WriteFile(dir_ / "rules.txt", ReadFile(dir_ / "old.txt"));
  ASSERT_EQ(Invoke({"--csv", "old.csv"}).status, 0);
  WriteFile(dir_ / "rules.txt", rules);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args[1]);
    fs::remove(dir_ / "c.csv");
    const Outcome o = Invoke(c.args);
    EXPECT_EQ(o.status, c.status) << o.err;
    EXPECT_EQ(o.err, Completion());
    EXPECT_EQ(o.out.rfind(c.args[0].starts_with("--baseline")
                              ? "Comparison with the baseline CSV file "
                              : "Comparison with the baseline rules file ",
                          0),
              0u)
        << o.out;
    EXPECT_EQ(o.out.find("sequences  n v  one_way -> cannot_combine  parses 1 -> 0\n") !=
                  std::string::npos,
              c.changed)
        << o.out;
    EXPECT_EQ(ReadFile(dir_ / "report.txt"), report);
    if (c.args.size() > 2) {
      const std::string csv = ReadFile(dir_ / "c.csv");
      EXPECT_EQ(csv.find("\r\nsequences,n v,one_way,cannot_combine,1,0,,") != std::string::npos,
                c.changed)
          << csv;
    }
  }
}

TEST_F(MarvolenReportTest, CompareRulesOptionsNeedEachOtherAndARun) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--compare-rules"}, "option --compare-rules needs a file"},
      {{"--changes=c.csv"}, "--changes and --fail-on-change go with --compare-rules or --baseline"},
      {{"--fail-on-change"},
       "--changes and --fail-on-change go with --compare-rules or --baseline"},
      {{"--compare-rules=r.txt", "--parse", "n v"},
       "--compare-rules goes with a run, not with --parse or --show-config"},
      {{"--baseline=r.csv", "--show-config"},
       "--baseline goes with a run, not with --parse or --show-config"},
      {{"--baseline=r.csv", "--compare-rules", "r.txt"},
       "--compare-rules and --baseline exclude each other"},
  };
  for (const auto& c : cases) {
    const Outcome o = Invoke(c.args);
    EXPECT_EQ(o.status, 64) << c.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "marvolen-report: " + c.err + "; see --help\n");
  }
  // A baseline that cannot be opened ends the run before anything is written.
  WriteData("a n\r\n");
  const Outcome o = Invoke({"--compare-rules", "missing.txt", "--changes", "c.csv"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.out, "");
  EXPECT_NE(o.err.find("missing.txt"), std::string::npos) << o.err;
  EXPECT_FALSE(fs::exists(dir_ / "c.csv"));
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
  // So does a baseline table that is not one, with its line.
  WriteFile(dir_ / "bad.csv", "source,items\r\n");
  const Outcome bad = Invoke({"--baseline", "bad.csv", "--changes", "c.csv"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("bad.csv, line 1: the header is not"), std::string::npos) << bad.err;
  EXPECT_FALSE(fs::exists(dir_ / "c.csv"));
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
}

TEST_F(MarvolenReportTest, LintPrintsTheFindingsAndWritesNoReport) {
  WriteData("n v\r\n");
  WriteFile(dir_ / "rules.txt",
            "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n &&\r\n&& 1 R2 : S -> n v &&\r\n"
            "CFGRuleSetEnd\r\n");
  const Outcome clean = Invoke({"--lint"});
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out, "");
  EXPECT_EQ(clean.err, "");

  WriteFile(dir_ / "rules.txt",
            "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n &&\r\n&& 1 R2 : S -> n vt &&\r\n"
            "&& 1 R1 : NP -> a n &&\r\nCFGRuleSetEnd\r\n");
  const Outcome found = Invoke({"--lint"});
  EXPECT_EQ(found.status, 1) << found.err;
  EXPECT_EQ(found.err, "");
  EXPECT_EQ(found.out,
            "tags.txt:2: tag v occurs in no rule; no pattern with it can combine\n"
            "rules.txt:3: R2 S -> n vt: item vt is neither in the tag set nor in a sequence "
            "nor the left tag of any rule; the rule can never apply\n"
            "rules.txt:4: R1 NP -> a n: repeats R1 NP -> a n (line 2): the same left tag, right "
            "side and tree title\n");

  // A reader's message keeps its place on stderr and counts as a finding.
  WriteFile(dir_ / "rules.txt", "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n &&\r\n&& 1 2R\r\n");
  const Outcome reader = Invoke({"--lint"});
  EXPECT_EQ(reader.status, 1);
  EXPECT_EQ(reader.err, "the title of rules must be a identifier!       \n");

  fs::remove(dir_ / "sequences.txt");
  const Outcome missing = Invoke({"--lint"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "Data File <sequences.txt> Open Error!\n");
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));

  const Outcome both = Invoke({"--lint", "--parse", "n v"});
  EXPECT_EQ(both.status, 64);
}

TEST_F(MarvolenReportTest, RuleEffectsPrintUsageAndTheRunWithoutEachRule) {
  WriteData("a n\r\nn v\r\n");
  ASSERT_EQ(Invoke({}).status, 0);
  const std::string report = ReadFile(dir_ / "report.txt");
  const Outcome o = Invoke({"--rule-effects"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, Completion());
  EXPECT_EQ(ReadFile(dir_ / "report.txt"), report);
  EXPECT_NE(o.out.find("R1 NP -> a n (rules.txt:2)\n"
                       "  tag set: used one way 0/0, overt 0/0, covert 0/0\n"),
            std::string::npos)
      << o.out;
  EXPECT_NE(o.out.find("  sequences: used one way 1/1, overt 0/0, covert 0/0\n"
                       "    without it: one way -> cannot combine 1; parses lost 1"),
            std::string::npos)
      << o.out;
  EXPECT_EQ(Invoke({"--rule-effects", "--show-config"}).status, 64);
}

}  // namespace
