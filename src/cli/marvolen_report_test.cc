// Runs the built marvolen-report and checks what it prints and returns.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char kBinary[] = MARVOLEN_REPORT_BINARY;

struct Outcome {
  int status = -1;  // exit status, or -1 when the program did not exit
  std::string out;
  std::string err;
};

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class MarvolenReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "marvolen_cli_XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    base_ = fs::canonical(tmpl);
    dir_ = base_ / "work";
    fs::create_directory(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(base_, ec);
  }

  // Run the program in `cwd` with `args`; stdout and stderr are captured in
  // files beside the working directory.
  Outcome Invoke(const fs::path& cwd, std::vector<std::string> args) {
    const fs::path outPath = base_ / "stdout", errPath = base_ / "stderr";
    args.insert(args.begin(), kBinary);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    Outcome o;
    const pid_t pid = fork();
    if (pid == 0) {
      const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out < 0 || err < 0 || chdir(cwd.c_str()) != 0) _exit(127);
      dup2(out, 1);
      dup2(err, 2);
      execv(kBinary, argv.data());
      _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return o;
    if (WIFEXITED(status)) o.status = WEXITSTATUS(status);
    o.out = ReadFile(outPath);
    o.err = ReadFile(errPath);
    return o;
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

TEST_F(MarvolenReportTest, VersionAndHelpGoToStdoutWithStatusZero) {
  const Outcome version = Invoke({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "marvolen-report 1.0.0\n");
  EXPECT_EQ(version.err, "");

  for (const char* flag : {"--help", "-h"}) {
    const Outcome help = Invoke({flag});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: marvolen-report [options]\n", 0), 0u);
    for (const char* text : {"\n  -C DIR         change to DIR", "\n  --show-config  print",
                             "converted\n                 from GBK", "\n  64  usage error\n"}) {
      EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
  }
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
}

TEST_F(MarvolenReportTest, UsageErrorsGiveOneLineOnStderrAndStatus64) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--frobnicate"}, {"-x"}, {"-C"}, {"--show-config", "-C"},
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
}

TEST_F(MarvolenReportTest, ShowConfigPrintsTheFiveValuesAsTheRunUsesThem) {
  WriteFile(dir_ / "config.ini",
            "[DATA]\r\n"
            "TAGS=\xB4\xCA\xD0\xD4.txt\r\n"                  // GBK 词性.txt
            "SEQUENCES=\xE5\xBA\x8F\xE5\x88\x97.txt\r\n"     // UTF-8 序列.txt
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
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-C", "work"}, {"-Cwork"}, {"-C", dir_.string()},
        {"-C", "work", "-C", "../work"}}) {
    fs::remove(dir_ / "report.txt");
    const Outcome o = Invoke(base_, args);
    EXPECT_EQ(o.status, 0) << args.back();
    EXPECT_EQ(o.err, Completion()) << args.back();
    EXPECT_TRUE(fs::exists(dir_ / "report.txt")) << args.back();
  }
}

TEST_F(MarvolenReportTest, DashCIntoAMissingDirectoryExitsTwo) {
  const Outcome o = Invoke(base_, {"-C", "missing"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err.rfind("marvolen-report: cannot change to directory 'missing': ", 0), 0u)
      << o.err;
  EXPECT_EQ(o.err.find('\n'), o.err.size() - 1);
}

}  // namespace
