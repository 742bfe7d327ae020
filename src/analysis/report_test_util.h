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

#include "analysis/reports.h"
#include "grammar/reduction_search.h"
#include "platform/gbk.h"

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

// The literal search, except that it runs out of memory at call `failAt`
// (counted from 1).
class FailingEngine : public ParseEngine {
 public:
  explicit FailingEngine(int failAt) : failAt_(failAt) {}
  ParseList FindDistinctParses(const Permutation& permutation, const RuleSet& rules) override {
    if (++calls_ == failAt_) throw std::bad_alloc();
    return marvolen::FindDistinctParses(permutation, rules);
  }
  int calls() const { return calls_; }

 private:
  int failAt_;
  int calls_ = 0;
};

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
