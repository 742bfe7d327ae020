#include "run/run.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "testing/named_pipe.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "encoding/gbk.h"
#include "platform/file_system.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"
#ifndef _WIN32
#include "testing/file_size_limit.h"
#endif

namespace marvolen {
namespace {

namespace fs = std::filesystem;

const std::string kSeparator(1, kPathSeparator);

using Messages = std::vector<std::string>;

const char kTagsOpenError[] = "Data File <tags.txt> Open Error!";
const char kSequencesOpenError[] = "Data File <sequences.txt> Open Error!";
const char kRulesOpenError[] = "Data File <rules.txt> Open Error!";
const char kCreateError[] = "Create ResultFile Error!";

const char kValidTags[] = "TagSetBegin\r\nn , v , a\r\nTagSetEnd\r\n";
const char kValidSequences[] = "n v\r\na n\r\n";
const char kValidRules[] = "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n &&\r\nCFGRuleSetEnd\r\n";

const char kStandardConfig[] =
    "[DATA]\r\n"
    "TAGS=tags.txt\r\n"
    "SEQUENCES=sequences.txt\r\n"
    "RULES=rules.txt\r\n"
    "RESULT=report.txt\r\n"
    "ITEMLENGTH=short\r\n";

std::string Completion(const fs::path& report) {
  return "分析完毕！请打开" + report.string() + "\n查看分析报告。";
}

// Each test gets an absolute temporary start-up directory. The run changes
// the current directory; the tests never rely on it being restored.
class RunTest : public TempFolderTest {
 protected:
  // The three valid data files and config.ini with relative paths.
  void WriteStandardFiles() {
    WriteFile(dir_ / "tags.txt", kValidTags);
    WriteFile(dir_ / "sequences.txt", kValidSequences);
    WriteFile(dir_ / "rules.txt", kValidRules);
    WriteFile(dir_ / "config.ini", kStandardConfig);
  }

  RunResult Run() { return RunAnalysis(dir_.string(), ui_); }

  RecordingUserInterface ui_;
};

TEST(ProfilePathForTest, AppendsTheSeparatorOnlyWhenMissing) {
#ifdef _WIN32
  EXPECT_EQ(ProfilePathFor("D:\\work"), "D:\\work\\config.ini");
  EXPECT_EQ(ProfilePathFor("D:\\work\\"), "D:\\work\\config.ini");
  EXPECT_EQ(ProfilePathFor("D:/work/"), "D:/work/config.ini");
  EXPECT_EQ(ProfilePathFor("C:\\"), "C:\\config.ini");
#else
  EXPECT_EQ(ProfilePathFor("/home/ling/work"), "/home/ling/work/config.ini");
  EXPECT_EQ(ProfilePathFor("/home/ling/work/"), "/home/ling/work/config.ini");
  EXPECT_EQ(ProfilePathFor("/"), "/config.ini");
#endif
  EXPECT_EQ(ProfilePathFor(""), "config.ini");
}

TEST(ThreeItemsOnlyForTest, OnlyExactlyLongSelectsLongMode) {
  EXPECT_FALSE(ThreeItemsOnlyFor("long"));
  for (const char* value : {"", "LONG", "Long", "long ", " long", "longer", "short", "5"}) {
    EXPECT_TRUE(ThreeItemsOnlyFor(value)) << value;
  }
}

TEST_F(RunTest, ReadRunConfigReadsTheFiveValuesOfSectionData) {
  WriteFile(dir_ / "config.ini",
            "[Recent File List]\nFile1=x\n"
            "[data]\n"
            "tags = t.txt\n"
            "Sequences=s.txt\n"
            "RULES=\"r r.txt\"\n"
            "RESULT=\xB1\xA8\xB8\xE6.txt\n"  // GBK 报告.txt, as bytes
            "ITEMLENGTH = long \n");
  const RunConfig config = ReadRunConfig(ProfilePathFor(dir_.string()));
  EXPECT_EQ(config.tags, "t.txt");
  EXPECT_EQ(config.sequences, "s.txt");
  EXPECT_EQ(config.rules, "r r.txt");
  EXPECT_EQ(config.result, "\xB1\xA8\xB8\xE6.txt");
  EXPECT_EQ(config.itemLength, "long");
  EXPECT_FALSE(ThreeItemsOnlyFor(config.itemLength));
}

TEST_F(RunTest, WithoutConfigurationTheRunStopsAtTheTagSetFile) {
  const RunResult r = Run();
  EXPECT_EQ(r.end, RunEnd::OpenFailed);
  EXPECT_EQ(r.errorMessages, 1);
  EXPECT_EQ(ui_.messages, Messages{kTagsOpenError});

  WriteFile(dir_ / "config.ini", "[OTHER]\nTAGS=tags.txt\n");
  WriteFile(dir_ / "tags.txt", kValidTags);
  ui_.messages.clear();
  Run();
  EXPECT_EQ(ui_.messages, Messages{kTagsOpenError});
}

TEST_F(RunTest, EachFailedOpenShowsItsMessageAndTouchesNoReportFile) {
  WriteStandardFiles();
  const fs::path report = dir_ / "report.txt";
  WriteFile(report, "previous report");

  struct Case {
    const char* missing;
    const char* message;
  };
  for (const Case& c :
       {Case{"tags.txt", kTagsOpenError}, Case{"sequences.txt", kSequencesOpenError},
        Case{"rules.txt", kRulesOpenError}}) {
    SCOPED_TRACE(c.missing);
    WriteStandardFiles();
    fs::remove(dir_ / c.missing);
    ui_.messages.clear();
    const RunResult r = Run();
    EXPECT_EQ(r.end, RunEnd::OpenFailed);
    EXPECT_EQ(r.errorMessages, 1);
    EXPECT_EQ(ui_.messages, Messages{c.message});
    EXPECT_EQ(ReadFile(report), "previous report");
  }

  // Without any report file, none is created.
  fs::remove(report);
  fs::remove(dir_ / "rules.txt");
  Run();
  EXPECT_FALSE(fs::exists(report));
}

// Whatever is no plain file, after links are followed (a folder, a device, a
// pipe that would keep the run waiting for a reader), and a file marked
// read-only give the open-failure message at once and are left alone.
TEST_F(RunTest, AReportFileThatCannotBeCreatedIsReportedAtOnce) {
  WriteStandardFiles();
  fs::create_directory(dir_ / "folder");
  WriteFile(dir_ / "readonly.txt", "keep");
  fs::permissions(dir_ / "readonly.txt",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
#ifdef _WIN32  // a device; pipes: platform_replace_file_test
  const std::vector<std::string> results = {"", "folder", "missing-dir/report.txt", "NUL",
                                            "readonly.txt"};
  const int entries = 6;
#else
  ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0644), 0);
  fs::create_symlink("fifo", dir_ / "to-fifo");
  const std::vector<std::string> results = {
      "", "folder", "missing-dir/report.txt", "/dev/full", "fifo", "to-fifo", "readonly.txt"};
  const int entries = 8;
#endif
  for (const std::string& result : results) {
    SCOPED_TRACE(result);
    WriteFile(dir_ / "config.ini", std::string("[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\n"
                                               "RULES=rules.txt\nRESULT=") +
                                       result + "\n");
    ui_.messages.clear();
    const RunResult r = Run();
    EXPECT_EQ(r.end, RunEnd::OpenFailed);
    EXPECT_EQ(ui_.messages, Messages{kCreateError});
  }
  EXPECT_FALSE(fs::exists(dir_ / "missing-dir"));
  EXPECT_EQ(ReadFile(dir_ / "readonly.txt"), "keep");
#ifndef _WIN32
  EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));
#endif
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), entries);
  fs::permissions(dir_ / "readonly.txt", fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(RunTest, TheReportIsNeverCreatedOverAnInputFile) {
  WriteStandardFiles();
  // Each input file, also reached through another name.
  const std::string sameRules = "../" + dir_.filename().string() + "/rules.txt";
  for (const std::string& target : {std::string("tags.txt"), std::string("./sequences.txt"),
                                    sameRules, std::string("config.ini")}) {
    SCOPED_TRACE(target);
    WriteFile(dir_ / "config.ini",
              "[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\nRESULT=" + target +
                  "\n");
    const std::string config = ReadFile(dir_ / "config.ini");
    ui_.messages.clear();
    const RunResult r = Run();
    EXPECT_EQ(r.end, RunEnd::OpenFailed);
    EXPECT_EQ(ui_.messages,
              Messages{"The report file is also an input file and was not overwritten: " +
                       dir_.string() + kSeparator + target});
    EXPECT_EQ(ReadFile(dir_ / "tags.txt"), kValidTags);
    EXPECT_EQ(ReadFile(dir_ / "sequences.txt"), kValidSequences);
    EXPECT_EQ(ReadFile(dir_ / "rules.txt"), kValidRules);
    EXPECT_EQ(ReadFile(dir_ / "config.ini"), config);
  }
}

TEST_F(RunTest, ACleanRunShowsOnlyTheCompletionMessageNamingTheReport) {
  WriteStandardFiles();
  const RunResult r = Run();
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(r.errorMessages, 0);
  EXPECT_EQ(ui_.messages, Messages{Completion(dir_ / "report.txt")});
  EXPECT_TRUE(fs::exists(dir_ / "report.txt"));
}

TEST_F(RunTest, RelativePathsResolveAgainstTheStartupDirectory) {
  fs::create_directories(dir_ / "data");
  fs::create_directories(dir_ / "out");
  WriteFile(dir_ / "data" / "tags.txt", kValidTags);
  WriteFile(dir_ / "data" / "sequences.txt", kValidSequences);
  WriteFile(dir_ / "data" / "rules.txt", kValidRules);
  WriteFile(dir_ / "config.ini",
            "[DATA]\nTAGS=data/tags.txt\nSEQUENCES=./data/sequences.txt\n"
            "RULES=data/../data/rules.txt\nRESULT=out/r.txt\n");
  fs::current_path("/");
  const RunResult r = Run();
  EXPECT_EQ(r.errorMessages, 0);
  EXPECT_TRUE(fs::exists(dir_ / "out" / "r.txt"));
  EXPECT_EQ(ui_.messages, Messages{Completion(dir_ / "out/r.txt")});
  EXPECT_EQ(fs::current_path(), dir_);  // the start-up directory stays current
}

TEST_F(RunTest, AbsolutePathsAreUsedAsTheyAre) {
  const fs::path data = dir_ / "elsewhere";
  fs::create_directories(data);
  fs::create_directories(dir_ / "start");
  WriteFile(data / "tags.txt", kValidTags);
  WriteFile(data / "sequences.txt", kValidSequences);
  WriteFile(data / "rules.txt", kValidRules);
  WriteFile(dir_ / "start" / "config.ini", "[DATA]\nTAGS=" + (data / "tags.txt").string() +
                                               "\nSEQUENCES=" + (data / "sequences.txt").string() +
                                               "\nRULES=" + (data / "rules.txt").string() +
                                               "\nRESULT=" + (data / "report.txt").string() + "\n");
  const RunResult r = RunAnalysis((dir_ / "start").string(), ui_);
  EXPECT_EQ(r.errorMessages, 0);
  EXPECT_TRUE(fs::exists(data / "report.txt"));
  EXPECT_EQ(ui_.messages, Messages{"分析完毕！请打开" + (dir_ / "start").string() + kSeparator +
                                   (data / "report.txt").string() + "\n查看分析报告。"});
}

TEST_F(RunTest, GbkAndUtf8PathsInTheConfigurationReachTheirFiles) {
  // 词性.txt, 序列.txt, 报告.txt in UTF-8 on disk; config.ini names two of
  // them in GBK and one in UTF-8.
  WriteFile(dir_ / FileSystemPath("\xE8\xAF\x8D\xE6\x80\xA7.txt"), kValidTags);
  WriteFile(dir_ / FileSystemPath("\xE5\xBA\x8F\xE5\x88\x97.txt"), kValidSequences);
  WriteFile(dir_ / "rules.txt", kValidRules);
  WriteFile(dir_ / "config.ini",
            "[DATA]\nTAGS=\xB4\xCA\xD0\xD4.txt\n"
            "SEQUENCES=\xE5\xBA\x8F\xE5\x88\x97.txt\n"
            "RULES=rules.txt\n"
            "RESULT=\xB1\xA8\xB8\xE6.txt\n");
  const RunResult r = Run();
  EXPECT_EQ(r.errorMessages, 0);
  EXPECT_TRUE(fs::exists(dir_ / FileSystemPath("\xE6\x8A\xA5\xE5\x91\x8A.txt")));
  // The message names the report in UTF-8.
  EXPECT_EQ(ui_.messages, Messages{"分析完毕！请打开" + PathText(dir_) + kSeparator +
                                   "\xE6\x8A\xA5\xE5\x91\x8A.txt\n查看分析报告。"});
}

TEST_F(RunTest, NoTagsAndNoSequencesLeaveAnEmptyReportAndStillComplete) {
  WriteStandardFiles();
  WriteFile(dir_ / "tags.txt", "n , v TagSetEnd\n");  // no TagSetBegin
  WriteFile(dir_ / "sequences.txt", "");
  WriteFile(dir_ / "report.txt", "previous report");
  const RunResult r = Run();
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(r.errorMessages, 2);
  EXPECT_EQ(ui_.messages, (Messages{"Invalid TagSet_File format!    ", "No sequences defined!\t",
                                    Completion(dir_ / "report.txt")}));
  EXPECT_TRUE(fs::exists(dir_ / "report.txt"));
  EXPECT_EQ(ReadFile(dir_ / "report.txt"), "");
}

TEST_F(RunTest, ReaderErrorsAreCountedAndTheRunGoesOn) {
  WriteStandardFiles();
  WriteFile(dir_ / "sequences.txt", "");
  RunResult r = Run();
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(r.errorMessages, 1);
  EXPECT_EQ(ui_.messages, (Messages{"No sequences defined!\t", Completion(dir_ / "report.txt")}));

  WriteStandardFiles();
  WriteFile(dir_ / "rules.txt", "rules without their keyword\n");
  ui_.messages.clear();
  r = Run();
  EXPECT_EQ(r.errorMessages, 1);
  EXPECT_EQ(ui_.messages,
            (Messages{"Invalid Rules_File format!    ", Completion(dir_ / "report.txt")}));
}

// Each message a reader shows names its file as configured and the line it
// had reached; a failed open names the file alone; the rest name nothing.
TEST_F(RunTest, MessagesSayWhichFileAndLineTheyComeFrom) {
  struct PlaceRecorder : UserInterface {
    void ShowMessage(const std::string& text) override { ShowMessageAt(text, {}); }
    void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
      shown.push_back(text.substr(0, 20) + "|" + place.file + "|" + std::to_string(place.line));
    }
    void SetBusy(bool) override {}
    std::vector<std::string> shown;
  } ui;
  WriteStandardFiles();
  WriteFile(dir_ / "tags.txt",
            "TagSetBegin\r\nn , v ,\r\n" + std::string(20, 'x') + " ,\r\na\r\nTagSetEnd\r\n");
  WriteFile(dir_ / "sequences.txt", "n v\r\n\r\nn " + std::string(20, 'y') + "\r\n");
  WriteFile(dir_ / "rules.txt",
            "CFGRuleSetBegin\r\n&& 1 R1 : NP -> a n &&\r\n&& 2 R2 : NP -> NP &&\r\n"
            "&& 3 R3 : NP -> a n n n n n n n n n n n n n n n n n n n n n n n n n n n n n n n n n "
            "n n n n n n n n &&\r\nCFGRuleSetEnd\r\n");
  EXPECT_EQ(RunAnalysis(dir_.string(), ui).end, RunEnd::Completed);
  ASSERT_EQ(ui.shown.size(), 5u);
  EXPECT_EQ(ui.shown[0], "Tag longer than 19 b|tags.txt|3");
  EXPECT_EQ(ui.shown[1], "Item longer than 19 |sequences.txt|3");
  EXPECT_EQ(ui.shown[2], "Right side longer th|rules.txt|4");
  EXPECT_EQ(ui.shown[3], "One-item rules in Ru|rules.txt|0");   // R2 rewrites NP into itself
  EXPECT_EQ(ui.shown[4].substr(ui.shown[4].find('|')), "||0");  // the completion message

  fs::remove(dir_ / "rules.txt");
  ui.shown.clear();
  EXPECT_EQ(RunAnalysis(dir_.string(), ui).end, RunEnd::OpenFailed);
  EXPECT_EQ(ui.shown, std::vector<std::string>{"Data File <rules.txt|rules.txt|0"});
}

// A message about a text names the line the text is on, although the reader
// has often read on to the token after it (the next line's). Mistakes on the
// first, a middle and the last line of each file; the first message counts.
TEST_F(RunTest, AMistakeIsShownAtTheLineItIsOn) {
  struct FirstPlace : UserInterface {
    void ShowMessage(const std::string& text) override { ShowMessageAt(text, {}); }
    void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
      if (first.empty())
        first = text.substr(0, 20) + "|" + place.file + "|" + std::to_string(place.line);
    }
    void SetBusy(bool) override {}
    std::string first;
  };
  const std::string x20(20, 'x');
  std::string fortyOneTags = "TagSetBegin\n";
  for (int i = 1; i <= 40; ++i) fortyOneTags += "t" + std::to_string(i) + " ,\n";
  fortyOneTags += "t41\nTagSetEnd\n";
  std::string rules301 = "CFGRuleSetBegin\n";
  for (int i = 1; i <= 300; ++i) rules301 += "&& 1 R : NP -> a n :: <TREE> = t\n";
  rules301 += "&& 1 R : NP -> a n\n&&\nCFGRuleSetEnd\n";
  std::string longRightSide = "&& 1 R2 : NP -> a";  // 81 bytes of right side
  for (int i = 0; i < 40; ++i) longRightSide += " n";
  const struct {
    const char* file;
    std::string bytes;
    std::string first;  // the first message as the recorder keeps it
  } cases[] = {
      {"tags.txt", "TagSetBgin\nn , v , a\nTagSetEnd\n", "Invalid TagSet_File |tags.txt|1"},
      {"tags.txt", "TagSetBegin\nn , v ,\n" + x20 + "\nTagSetEnd\n",
       "Tag longer than 19 b|tags.txt|3"},
      {"tags.txt", fortyOneTags, "Too many word class |tags.txt|42"},
      {"tags.txt", "TagSetBegin\nn , v ,\na ,\n", "Format Error in TagS|tags.txt|3"},
      {"sequences.txt", x20 + " n\nn v\na n\n", "Item longer than 19 |sequences.txt|1"},
      {"sequences.txt", "n v\n" + x20 + "\na n\n", "Item longer than 19 |sequences.txt|2"},
      {"sequences.txt", "n v\na n\nn " + x20, "Item longer than 19 |sequences.txt|3"},
      {"rules.txt", "CFGRuleSetBgin\n&& 1 R1 : NP -> a n &&\nCFGRuleSetEnd\n",
       "Invalid Rules_File f|rules.txt|1"},
      // A rule whose closing "&&" stands on the line after it.
      {"rules.txt",
       "CFGRuleSetBegin\n&& 1 R1 : NP -> a n &&\n" + longRightSide + "\n&&\nCFGRuleSetEnd\n",
       "Right side longer th|rules.txt|3"},
      {"rules.txt", "CFGRuleSetBegin\n&& 1 R1 : NP -> a " + x20 + "\n&&\nCFGRuleSetEnd\n",
       "Item longer than 19 |rules.txt|2"},
      {"rules.txt", rules301, "Too many rules in Ru|rules.txt|302"},
      {"rules.txt", "CFGRuleSetBegin\n&& 1 R1 : NP -> a n :: <TREE> = t\n",
       "Format Error in Rule|rules.txt|2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 60));
    WriteStandardFiles();
    WriteFile(dir_ / c.file, c.bytes);
    FirstPlace ui;
    RunAnalysis(dir_.string(), ui);
    EXPECT_EQ(ui.first, c.first);
  }
}

TEST_F(RunTest, RunningTwiceRecreatesTheReport) {
  WriteStandardFiles();
  WriteFile(dir_ / "report.txt", "stale content of an earlier run\n");
  Run();
  const std::string first = ReadFile(dir_ / "report.txt");
  EXPECT_EQ(first.find("stale"), std::string::npos);
  Run();
  EXPECT_EQ(ReadFile(dir_ / "report.txt"), first);
  EXPECT_EQ(ui_.messages.size(), 2u);
}

#ifndef _WIN32
TEST(CompletionMessageTest, NamesTheDirectoryTheSeparatorAndTheValueAsConfigured) {
  EXPECT_EQ(CompletionMessage("/home/ling/work", "out.txt"),
            "分析完毕！请打开/home/ling/work/out.txt\n查看分析报告。");
  // The separator is inserted whatever the directory ends with.
  EXPECT_EQ(CompletionMessage("/", "out.txt"), "分析完毕！请打开//out.txt\n查看分析报告。");
  EXPECT_EQ(CompletionMessage("/w", "./a/../out.txt"),
            "分析完毕！请打开/w/./a/../out.txt\n查看分析报告。");
  // A GBK value is shown as UTF-8.
  EXPECT_EQ(CompletionMessage("/w", "\xB1\xA8\xB8\xE6.txt"),
            "分析完毕！请打开/w/报告.txt\n查看分析报告。");
  // An absolute value is appended too.
  EXPECT_EQ(CompletionMessage("/w", "/tmp/out.txt"),
            "分析完毕！请打开/w//tmp/out.txt\n查看分析报告。");
}
#else
TEST(CompletionMessageTest, JoinsTheDirectoryAndTheValueWithABackslash) {
  EXPECT_EQ(CompletionMessage("D:\\work", "out.txt"),
            "分析完毕！请打开D:\\work\\out.txt\n查看分析报告。");
  // A drive root ends with the backslash already: it takes no second one.
  EXPECT_EQ(CompletionMessage("C:\\", "out.txt"), "分析完毕！请打开C:\\out.txt\n查看分析报告。");
  EXPECT_EQ(CompletionMessage("D:\\w", "./a/../out.txt"),
            "分析完毕！请打开D:\\w\\./a/../out.txt\n查看分析报告。");
  // A GBK value is shown as UTF-8; an absolute value is appended too.
  EXPECT_EQ(CompletionMessage("D:\\w", "\xB1\xA8\xB8\xE6.txt"),
            "分析完毕！请打开D:\\w\\报告.txt\n查看分析报告。");
  EXPECT_EQ(CompletionMessage("D:\\w", "E:\\out.txt"),
            "分析完毕！请打开D:\\w\\E:\\out.txt\n查看分析报告。");
}
#endif

// A report cut short part-way (the disk fills up after some of it was
// written) is reported, the previous report stays as it was, and nothing
// else is left behind; the data files are left as they were.
TEST_F(RunTest, AReportCutShortPartWayIsReportedAndThePreviousReportStays) {
  WriteStandardFiles();
  WriteFile(dir_ / "report.txt", "previous report");
  bool completed;
  {
#ifdef _WIN32
    GTEST_SKIP() << "no file size limit to fill the disk with on Windows";
#else
    FileSizeLimitForTest limit(300);
    if (!limit.active()) GTEST_SKIP() << "cannot limit the file size";
    completed = Run().end == RunEnd::Completed;
#endif
  }
  EXPECT_TRUE(completed);
  EXPECT_EQ(ui_.messages, (Messages{"Report file could not be written completely: " +
                                        (dir_ / "report.txt").string(),
                                    Completion(dir_ / "report.txt")}));
  EXPECT_EQ(ReadFile(dir_ / "report.txt"), "previous report");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 5);
  EXPECT_EQ(ReadFile(dir_ / "tags.txt"), kValidTags);
  EXPECT_EQ(ReadFile(dir_ / "sequences.txt"), kValidSequences);
  EXPECT_EQ(ReadFile(dir_ / "rules.txt"), kValidRules);
}

// Runs over small data sets whose report is looked at.
class RunReportTest : public RunTest {
 protected:
  void Write(const std::string& rules, const std::string& itemLength) {
    WriteFile(dir_ / "tags.txt", "TagSetBegin a , n TagSetEnd");
    WriteFile(dir_ / "sequences.txt", "a n\r\n");
    WriteFile(dir_ / "rules.txt", rules);
    WriteFile(dir_ / "config.ini",
              "[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\n"
              "RULES=rules.txt\nRESULT=report.txt\nITEMLENGTH=" +
                  itemLength + "\n");
  }
};

TEST_F(RunReportTest, TheReportHoldsTheTagSetReportThenTheSequencesReportInTheChosenMode) {
  Write("CFGRuleSetBegin && 1 R1 : NP -> a n && CFGRuleSetEnd", "");
  RunAnalysis(dir_.string(), ui_);
  std::string report = ReadFile(dir_ / "report.txt");
  const std::string tagSetSummary = Gbk("\r\n\r\n全部标记共有 2 个: \r\n\ta n \r\n");
  const std::string sequencesSummary = Gbk("\r\n\r\nsequences.txt文件中共有排列:1个\r\n");
  ASSERT_EQ(report.rfind(tagSetSummary, 0), 0u);
  const std::size_t seq = report.find(sequencesSummary);
  ASSERT_NE(seq, std::string::npos);
  EXPECT_NE(report.find(Gbk("全部标记全排列——3项词类或短语类标记的全部排列如下")),
            std::string::npos);
  // No triple combines with the one two-item rule; the line "a n" does.
  EXPECT_NE(report.find(Gbk("全部标记全排列——共有排列:8个\r\n\r\n\r\n无组合关系的排列:8个")),
            std::string::npos);
  EXPECT_NE(report.find("\ta n \r\n\t\t(NP(a,n))\r\n", seq), std::string::npos);
}

TEST_F(RunReportTest, LongModeAnalysesThePatternsInstead) {
  Write("CFGRuleSetBegin && 1 R1 : NP -> a n && CFGRuleSetEnd", "long");
  RunAnalysis(dir_.string(), ui_);
  const std::string report = ReadFile(dir_ / "report.txt");
  EXPECT_NE(report.find(Gbk("全部标记全排列——共有排列:64个")), std::string::npos);
  EXPECT_EQ(report.find(Gbk("全部标记全排列——3项")), std::string::npos);
}

TEST_F(RunReportTest, OneItemRuleCyclesAreNamedOnceAndTheRunEnds) {
  Write(
      "CFGRuleSetBegin && 1 R1 : NP -> VP && && 1 R2 : VP -> NP && "
      "&& 1 R3 : NP -> a && CFGRuleSetEnd",
      "");
  const RunResult r = RunAnalysis(dir_.string(), ui_);
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(r.errorMessages, 1);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0].rfind("One-item rules in Rules_File form a cycle:\n  [R1] NP -> VP, "
                                  "[R2] VP -> NP\n",
                                  0),
            0u)
      << ui_.messages[0];
  EXPECT_EQ(ui_.messages[1], Completion(dir_ / "report.txt"));
}

// Whole runs over data files at the limits of what they can hold, and over
// stray bytes, blank files and odd line ends.
class RunBadInputTest : public RunTest {
 protected:
  RunResult RunWith(const std::string& config, const std::string& tags, const std::string& rules,
                    const std::string& sequences) {
    WriteFile(dir_ / "config.ini", config);
    WriteFile(dir_ / "tags.txt", tags);
    WriteFile(dir_ / "rules.txt", rules);
    WriteFile(dir_ / "sequences.txt", sequences);
    return RunAnalysis(dir_.string(), ui_);
  }
  bool ReportHas(const std::string& utf8) const {
    return ReadFile(dir_ / "report.txt").find(Gbk(utf8)) != std::string::npos;
  }

  static constexpr char kConfig[] =
      "[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n"
      "RESULT=report.txt\r\n";
};

TEST_F(RunBadInputTest, AtEveryCapacityTheRunAnalysesWhatFitsAndSaysWhatDidNot) {
  // 41 tags, 301 rule records (the last rule's alternatives push past 300)
  // and 501 lines.
  std::string tags = "TagSetBegin t0";
  for (int i = 1; i < 41; ++i) tags += " , t" + std::to_string(i);
  std::string rules = "CFGRuleSetBegin\r\n";
  for (int i = 0; i < 299; ++i) {
    rules += "&& 1 R" + std::to_string(i) + " : NP -> t" + std::to_string(i % 40) + " t" +
             std::to_string(i / 40) + " &&\r\n";
  }
  rules += "&& 1 Last : NP -> t0 u<a|b> &&\r\nCFGRuleSetEnd\r\n";
  std::string sequences;
  for (int i = 0; i < 501; ++i) sequences += "t1 t0\r\n";

  const RunResult r = RunWith(kConfig, tags + " TagSetEnd", rules, sequences);
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(ui_.messages,
            (Messages{"Too many word class or phrase class tag in TagSet_File       ",
                      "Too many sequences in Sequences_File: only the first 500 lines were read",
                      "Too many rules in Rules_File ... ", Completion(dir_ / "report.txt")}));
  EXPECT_TRUE(ReportHas("全部标记共有 40 个"));
  EXPECT_TRUE(ReportHas("全部标记全排列——共有排列:64000个"));
  EXPECT_TRUE(ReportHas("sequences.txt文件中共有排列:500个"));
  EXPECT_TRUE(ReportHas("其中只有一种组合关系的排列:500个"));  // NP -> t1 t0 is rule 41
}

TEST_F(RunBadInputTest, FiveItemsFitAndASixthStopsTheSequencesReportAlone) {
  const std::string tags = "TagSetBegin a , n TagSetEnd";
  const std::string rules = "CFGRuleSetBegin && 1 R : NP -> a n && CFGRuleSetEnd";
  RunWith(kConfig, tags, rules, "a n a n a\r\nn n n n n\r\n");
  EXPECT_EQ(ui_.messages, Messages{Completion(dir_ / "report.txt")});
  EXPECT_TRUE(ReportHas("sequences.txt文件中共有排列:2个"));
  EXPECT_TRUE(ReportHas("\ta n a n a \r\n"));

  // The tag-set report is written; the sequences report is not.
  ui_.messages.clear();
  const RunResult r = RunWith(kConfig, tags, rules, "a n a n a\r\na n a n a n\r\n");
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(ui_.messages, (Messages{"One permutation contains too many tokens",
                                    Completion(dir_ / "report.txt")}));
  EXPECT_TRUE(ReportHas("全部标记共有 2 个"));
  EXPECT_FALSE(ReportHas("sequences.txt"));
}

TEST_F(RunBadInputTest, ALeadByteAsTheLastByteOfEveryFile) {
  // The configured report name ends in it too; off Windows such a name is
  // used as it is and shown with a replacement character. On Windows, where
  // names are characters, no file has such a name: the report cannot be
  // created.
  const std::string config =
      "[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\nRESULT=report";
  const std::string tags = "TagSetBegin a , n TagSetEnd\xB5";
  const std::string rules = "CFGRuleSetBegin && 1 R : NP -> a n && CFGRuleSetEnd\xB5";
  const std::string sequences = "a n\r\n\xB5";
#ifdef _WIN32
  RunResult r = RunWith(config + "\xB5", tags, rules, sequences);
  EXPECT_EQ(r.end, RunEnd::OpenFailed);
  EXPECT_EQ(ui_.messages, Messages{kCreateError});
  ui_.messages.clear();
  r = RunWith(config + ".txt", tags, rules, sequences);
  EXPECT_EQ(r.end, RunEnd::Completed);
  ASSERT_EQ(ui_.messages.size(), 1u);
  const std::string report = ReadFile(dir_ / "report.txt");
#else
  const RunResult r = RunWith(config + "\xB5", tags, rules, sequences);
  EXPECT_EQ(r.end, RunEnd::Completed);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0],
            "分析完毕！请打开" + dir_.string() + "/report\xEF\xBF\xBD\n查看分析报告。");
  const std::string report = ReadFile(dir_ / "report\xB5");
#endif
  EXPECT_NE(report.find(Gbk("全部标记共有 2 个")), std::string::npos);
  EXPECT_NE(report.find(Gbk("sequences.txt文件中共有排列:2个")), std::string::npos);
  // The cut-off byte is an item of its own, and a one-item line is complete.
  EXPECT_NE(report.find("\t\xB5 \r\n\t\t(\xB5)\r\n"), std::string::npos);
}

TEST_F(RunBadInputTest, FilesOfNothingButBlanks) {
  const RunResult r = RunWith(kConfig, "  \r\n\t", "\r\n  \r\n", "  \r\n");
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(ui_.messages,
            (Messages{"Invalid TagSet_File format!    ", "Invalid Rules_File format!    ",
                      Completion(dir_ / "report.txt")}));
  // No tag-set report; the blank line is a sequence of no items.
  EXPECT_FALSE(ReportHas("全部标记"));
  EXPECT_TRUE(ReportHas("sequences.txt文件中共有排列:1个"));
  EXPECT_TRUE(ReportHas("其中无组合关系的排列:1个"));

  // A config.ini of blanks names no file.
  ui_.messages.clear();
  EXPECT_EQ(RunWith(" \r\n\r\n", "", "", "").end, RunEnd::OpenFailed);
  EXPECT_EQ(ui_.messages, Messages{"Data File <tags.txt> Open Error!"});
}

TEST_F(RunBadInputTest, NulBytesEndValuesAndLinesAndAreTokensInTheOtherFiles) {
  const RunResult r = RunWith(
      std::string("[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\0x\r\n"
                  "RESULT=report.txt\r\n",
                  86),
      std::string("TagSetBegin a \0 n TagSetEnd", 27),
      std::string("CFGRuleSetBegin && \0 R \0 NP -> a n && CFGRuleSetEnd", 51),
      std::string("a n\0 x y z w v\r\n\0\r\n", 19));
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(ui_.messages, Messages{Completion(dir_ / "report.txt")});
  EXPECT_TRUE(ReportHas("全部标记共有 2 个"));
  EXPECT_TRUE(ReportHas("sequences.txt文件中共有排列:1个"));
  EXPECT_TRUE(ReportHas("其中只有一种组合关系的排列:1个"));
}

// A device configured as a data file used to be read without end (/dev/zero
// as the sequences file is an endless run of NUL lines). Only plain files are
// data files.
TEST_F(RunBadInputTest, RegressionAnEndlessDeviceAsADataFileIsNotOpened) {
#ifdef _WIN32
  const std::string device = "CON";  // would wait for what is typed
#else
  const std::string device = "/dev/zero";
  if (!fs::exists(device)) GTEST_SKIP() << "no /dev/zero";
#endif
  RunResult r = RunWith("[DATA]\nTAGS=tags.txt\nSEQUENCES=" + device +
                            "\nRULES=rules.txt\nRESULT=report.txt\n",
                        "TagSetBegin a TagSetEnd", "CFGRuleSetBegin CFGRuleSetEnd", "");
  EXPECT_EQ(r.end, RunEnd::OpenFailed);
  EXPECT_EQ(ui_.messages, Messages{"Data File <sequences.txt> Open Error!"});
  ui_.messages.clear();
  r = RunWith("[DATA]\nTAGS=" + device + "\nSEQUENCES=sequences.txt\nRULES=rules.txt\n", "", "",
              "a n\n");
  EXPECT_EQ(ui_.messages, Messages{"Data File <tags.txt> Open Error!"});
}

// A pipe that nobody writes to, configured as a data file, kept the run
// waiting for ever: the open waited for a writer before the check that only
// plain files are data files. Now the run stops at once with the open-failure
// message, and the report file is not touched.
TEST_F(RunBadInputTest, RegressionAPipeAsADataFileFailsAtOnce) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"TAGS", kTagsOpenError}, {"SEQUENCES", kSequencesOpenError}, {"RULES", kRulesOpenError}};
  for (const auto& [key, message] : cases) {
    std::string config =
        "[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\n"
        "RESULT=report.txt\n";
    config.replace(config.find(key + "="), key.size() + 1, key + "=pipe\n" + key + "_WAS=");
    WriteFile(dir_ / "config.ini", config);
    WriteFile(dir_ / "tags.txt", kValidTags);
    WriteFile(dir_ / "rules.txt", "CFGRuleSetBegin && 1 R : NP -> a n && CFGRuleSetEnd");
    WriteFile(dir_ / "sequences.txt", kValidSequences);
    fs::remove(dir_ / "report.txt");
#ifdef _WIN32
    // A named pipe with its server waiting for a client.
    NamedPipeForTest pipe("marvolen_run_pipe");
    ASSERT_TRUE(pipe.ok());
    config.replace(config.find("=pipe"), 5, "=" + pipe.path());
    WriteFile(dir_ / "config.ini", config);
#else
    fs::remove(dir_ / "pipe");
    ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);
#endif
    ui_.messages.clear();
    auto run = std::async(std::launch::async, [&] { return RunAnalysis(dir_.string(), ui_).end; });
#ifdef _WIN32
    const bool waited = run.wait_for(std::chrono::seconds(10)) == std::future_status::timeout;
    pipe.Close();
    if (waited) {
      ADD_FAILURE() << key << ": the run waited for the pipe";
      run.wait();
      continue;
    }
#else
    if (run.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
      // Free the waiting open, so that the test fails instead of hanging.
      const int writer = open((dir_ / "pipe").c_str(), O_WRONLY | O_NONBLOCK);
      ADD_FAILURE() << key << ": the run waited for a writer";
      run.wait();
      if (writer >= 0) close(writer);
      continue;
    }
#endif
    EXPECT_EQ(run.get(), RunEnd::OpenFailed) << key;
    EXPECT_EQ(ui_.messages, Messages{message}) << key;
    EXPECT_FALSE(fs::exists(dir_ / "report.txt")) << key;
  }
}

// Data files saved by an old DOS editor end in a Ctrl-Z byte, which text
// mode reads as the end of the input; config.ini is no data file, and there
// Ctrl-Z is white space as the profile reader takes it.
TEST_F(RunBadInputTest, ACtrlZByteEndsEachDataFile) {
  const RunResult r = RunWith(
      "[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n\x1a\r\n"
      "RESULT=report.txt\r\n",
      "TagSetBegin\r\na , n\r\nTagSetEnd\r\n\x1a",
      "CFGRuleSetBegin\r\n&& 1 R : NP -> a n &&\r\nCFGRuleSetEnd\r\n\x1a",
      "a n\r\n\x1a"
      "a a a a a a\r\n");
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(ui_.messages, Messages{Completion(dir_ / "report.txt")});
  EXPECT_TRUE(ReportHas("全部标记共有 2 个"));
  EXPECT_TRUE(ReportHas("sequences.txt文件中共有排列:1个"));
}

TEST_F(RunBadInputTest, CrOnlyLineEnds) {
  // config.ini, the tag set and the rules read as with any line end. The
  // sequences file, as in text mode, has lines that end at LF only: with
  // CR-only line ends it is one sequence, its CRs separating the items.
  const RunResult r = RunWith(
      "[DATA]\rTAGS=tags.txt\rSEQUENCES=sequences.txt\rRULES=rules.txt\rRESULT=report.txt\r",
      "TagSetBegin\ra , n\rTagSetEnd\r", "CFGRuleSetBegin\r&& 1 R : NP -> a n &&\rCFGRuleSetEnd\r",
      "a n\ra n\r");
  EXPECT_EQ(r.end, RunEnd::Completed);
  EXPECT_EQ(ui_.messages, Messages{Completion(dir_ / "report.txt")});
  EXPECT_TRUE(ReportHas("全部标记共有 2 个"));
  EXPECT_TRUE(ReportHas("sequences.txt文件中共有排列:1个"));
  EXPECT_TRUE(ReportHas("\ta n a n \r\n"));
}

}  // namespace
}  // namespace marvolen
