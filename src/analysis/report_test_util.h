// Helpers for the report tests: a report file in the temporary directory,
// the bytes a text becomes on disk, rule tables and a failing engine.
#ifndef MARVOLEN_ANALYSIS_REPORT_TEST_UTIL_H_
#define MARVOLEN_ANALYSIS_REPORT_TEST_UTIL_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "analysis/reports.h"
#include "encoding/gbk.h"
#include "grammar/reduction_search.h"

namespace marvolen {
namespace testing_util {

// A report file that exists for the lifetime of the object.
class ReportFile {
 public:
  ReportFile() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("marvolen_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
             std::to_string(::getpid()) + "_" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".txt");
    stream_ = OutputStream::Create(path_.string());
  }
  ~ReportFile() {
    stream_.reset();
    std::filesystem::remove(path_);
  }
  OutputStream& stream() { return *stream_; }

  // Close the stream and return the bytes on disk.
  std::string Bytes() {
    EXPECT_TRUE(stream_->Close());
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path path_;
  std::unique_ptr<OutputStream> stream_;
};

// The GBK bytes of a UTF-8 text as a text-mode file holds them: LF as CR LF.
inline std::string OnDisk(std::string_view utf8) {
  std::string out;
  for (char c : Gbk(utf8)) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

struct R {
  std::string left, right, tree;
};

inline RuleSet Rules(const std::vector<R>& rules) {
  RuleSet set;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    set.rules.emplace_back("R" + std::to_string(i + 1), Gbk(rules[i].left), Gbk(rules[i].right),
                           Gbk(rules[i].tree));
  }
  return set;
}

// The literal search, except that it runs out of memory at its search
// number `failAt` (counted from 1).
class FailingEngine : public ParseEngine {
 public:
  FailingEngine(const RuleSet& rules, int failAt) : literal_(rules), failAt_(failAt) {}
  ParseSummary CountDistinctParses(const Permutation& permutation,
                                   std::uint64_t listLimit) override {
    if (++calls_ == failAt_) throw std::bad_alloc();
    return literal_.CountDistinctParses(permutation, listLimit);
  }
  void PrintDistinctParses(const PrintedParse& take) override {
    literal_.PrintDistinctParses(take);
  }
  void VisitDistinctParses(const VisitedParse& take) override {
    literal_.VisitDistinctParses(take);
  }
  ParseList FirstDistinctParses(std::size_t count) override {
    return literal_.FirstDistinctParses(count);
  }
  ParseList FindDistinctParses(const Permutation& permutation) override {
    return literal_.FindDistinctParses(permutation);
  }
  int calls() const { return calls_; }

 private:
  LiteralParseEngine literal_;
  int failAt_;
  int calls_ = 0;
};

// The eight sections of one report as written, in the order of the file,
// each as text (LF, not CR LF).
struct Sections {
  std::string summarySection, allSection, cannotCombineSection, combinableSection, oneWaySection,
      overtSection, covertSection, degreeSection;
};

// The headings of the seven sections after the summary, UTF-8.
inline std::vector<std::string> SequencesHeadings() {
  return {"\n\nsequences.txt文件中的全部排列如下:\n\n",
          "\n\nsequences.txt文件中不能组合的排列如下:\n\n",
          "\n\nsequences.txt文件中能组合的排列如下:\n\n",
          "\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n",
          "\n\nsequences.txt文件中外显型歧义的排列如下:\n\n",
          "\n\nsequences.txt文件中内含型歧义的排列如下:\n\n",
          "\n\nsequences.txt文件中歧义程度统计:\n\n"};
}

inline std::vector<std::string> TagSetHeadings(bool threeItemsOnly) {
  const std::string lead =
      std::string("\n\n全部标记全排列——") + (threeItemsOnly ? "3项" : "4项及5项");
  return {lead + "词类或短语类标记的全部排列如下:\n\n",
          lead + "词类或短语类标记不能组合的排列如下:\n\n",
          lead + "词类或短语类标记能组合的排列如下:\n\n",
          lead + "词类或短语类标记只有一种组合方式(无歧义)的排列如下:\n\n",
          lead + "词类或短语类标记外显型歧义的排列如下:\n\n",
          lead + "词类或短语类标记内含型歧义的排列如下:\n\n",
          lead + "排列的歧义程度统计:\n\n"};
}

// Split the bytes of one report as on disk at its headings.
inline Sections SplitReport(const std::string& onDisk, const std::vector<std::string>& headings) {
  std::string text;
  for (std::size_t i = 0; i < onDisk.size(); ++i) {
    if (onDisk[i] == '\r' && i + 1 < onDisk.size() && onDisk[i + 1] == '\n') continue;
    text += onDisk[i];
  }
  std::string* parts[8];
  Sections sections;
  parts[0] = &sections.summarySection;
  parts[1] = &sections.allSection;
  parts[2] = &sections.cannotCombineSection;
  parts[3] = &sections.combinableSection;
  parts[4] = &sections.oneWaySection;
  parts[5] = &sections.overtSection;
  parts[6] = &sections.covertSection;
  parts[7] = &sections.degreeSection;
  std::size_t from = 0;
  for (std::size_t k = 0; k <= headings.size(); ++k) {
    const std::size_t to = k < headings.size() ? text.find(Gbk(headings[k]), from) : text.size();
    EXPECT_NE(to, std::string::npos) << "no heading " << k;
    if (to == std::string::npos) break;
    *parts[k] = text.substr(from, to - from);
    from = to;
  }
  return sections;
}

// Records progress reports as well as messages.
class ProgressRecorder : public RecordingUserInterface {
 public:
  void Progress(std::int64_t done, std::int64_t total) override {
    progress.emplace_back(done, total);
  }
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
};

}  // namespace testing_util
}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORT_TEST_UTIL_H_
