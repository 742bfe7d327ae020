// The HTML page and the CSV table are made the same whether the analysing
// threads prepare each permutation (its trees and marks, its row) or the
// writers make them themselves on the thread that writes the reports, on
// any number of threads, with any chunk size, and when a permutation of
// many parses is listed on the writing thread.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "analysis/divergences.h"
#include "analysis/reports.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "export/csv_report.h"
#include "export/html_report.h"
#include "platform/text_stream.h"
#include "testing/temp_dir.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

// Hands everything on to `inner`, but has no preparer: the writer makes
// everything itself.
class WithoutPreparer : public ReportObserver {
 public:
  explicit WithoutPreparer(ReportObserver& inner) : inner_(inner) {}
  void BeginReport(ReportKind kind, std::int64_t permutations) override {
    inner_.BeginReport(kind, permutations);
  }
  void BeginPermutation(const ListedPermutation& permutation) override {
    ASSERT_FALSE(permutation.hasPrepared);
    inner_.BeginPermutation(permutation);
  }
  void Parse(std::string_view bracketed, std::string_view rootLabel) override {
    inner_.Parse(bracketed, rootLabel);
  }
  void EndReport(const ReportSummary& summary) override { inner_.EndReport(summary); }

 private:
  ReportObserver& inner_;
};

struct Data {
  TagSet tags;
  SequenceList sequences;
  RuleSet rules;
};

Data ReadExamples() {
  Data data;
  RecordingUserInterface ui;
  const std::string dir = MARVOLEN_EXAMPLES_DIR;
  ReadTagSet(data.tags, *InputStream::Open(dir + "/tags.txt"), ui);
  ReadSequences(data.sequences, *InputStream::Open(dir + "/sequences.txt"), ui);
  ReadRuleSet(data.rules, *InputStream::Open(dir + "/rules.txt"), ui);
  return data;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Outputs {
  std::string html, csv;
};

// Both reports of the examples in long mode, with the page and the table.
Outputs MakeExports(const Data& data, ReportOptions options, bool prepared) {
  const fs::path folder = MakeTempDirForTest("marvolen_prepared_");
  EXPECT_FALSE(folder.empty());
  if (folder.empty()) return {};
  const std::string htmlPath = (folder / "report.html").string();
  const std::string csvPath = (folder / "report.csv").string();
  auto htmlOut = OutputStream::Replacing(htmlPath, nullptr, OutputStream::LineEnds::kAsGiven);
  auto csvOut = OutputStream::Replacing(csvPath, nullptr, OutputStream::LineEnds::kAsGiven);
  auto report = OutputStream::Discarding();
  EXPECT_TRUE(htmlOut && csvOut);
  if (!htmlOut || !csvOut) return {};
  const RuleGroups groups(data.rules);
  HtmlReportWriter html(*htmlOut, data.rules, options, HtmlReportInfo{data.tags.tags});
  CsvReportWriter csv(*csvOut);
  WithoutPreparer plainHtml(html), plainCsv(csv);
  options.divergences = &groups;
  options.observers = {prepared ? static_cast<ReportObserver*>(&html) : &plainHtml,
                       prepared ? static_cast<ReportObserver*>(&csv) : &plainCsv};
  RecordingUserInterface ui;
  EXPECT_EQ(BuildTagSetReport(false, data.tags, data.rules, *report, ui, options),
            ReportEnd::kWritten);
  EXPECT_EQ(BuildSequencesReport(data.sequences, data.rules, *report, ui, options),
            ReportEnd::kWritten);
  html.Finish();
  csv.Finish();
  EXPECT_TRUE(htmlOut->Close());
  EXPECT_TRUE(csvOut->Close());
  Outputs outputs{Read(htmlPath), Read(csvPath)};
  htmlOut.reset();
  csvOut.reset();
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return outputs;
}

TEST(PreparedExportsTest, PreparedOnTheAnalysingThreadsAsOnTheWritingThread) {
  const Data data = ReadExamples();
  ASSERT_GT(data.tags.count(), 0);
  ReportOptions one;
  one.threads = 1;
  const Outputs reference = MakeExports(data, one, false);
  ASSERT_NE(reference.csv.find("covert"), std::string::npos);
  ASSERT_NE(reference.html.find("mv-data"), std::string::npos);
  const struct {
    int threads, chunkPermutations, chunkParses;
  } cases[] = {
      {1, 0, 0}, {3, 0, 0}, {3, 5, 0},  // many small chunks, taken out of order by the threads
      {2, 7, 2},  // permutations of more than two parses listed on the writing thread
      {3, 1, 1},
  };
  for (const auto& c : cases) {
    ReportOptions options;
    options.threads = c.threads;
    options.chunkPermutations = c.chunkPermutations;
    options.chunkParses = c.chunkParses;
    for (bool prepared : {true, false}) {
      const Outputs outputs = MakeExports(data, options, prepared);
      EXPECT_EQ(outputs.html, reference.html)
          << "threads " << c.threads << ", chunk " << c.chunkPermutations << "/" << c.chunkParses
          << (prepared ? ", prepared" : "");
      EXPECT_EQ(outputs.csv, reference.csv)
          << "threads " << c.threads << ", chunk " << c.chunkPermutations << "/" << c.chunkParses
          << (prepared ? ", prepared" : "");
    }
  }
}

// Items a spreadsheet would misread (a formula's first character, a quote,
// a comma) are written alike whether the rows are made from the items'
// codes on the analysing threads or from the items by the writer.
TEST(PreparedExportsTest, ItemsThatNeedQuotingAreWrittenAlike) {
  Data data = ReadExamples();
  ASSERT_GT(data.tags.count(), 8);
  data.tags.tags.resize(8);
  for (const char* odd : {"=x", "q\"t", "-", "a,b", "@"}) data.tags.tags.emplace_back(odd);
  data.tags.lines.clear();
  ReportOptions options;
  options.threads = 2;
  const Outputs reference = MakeExports(data, options, false);
  EXPECT_NE(reference.csv.find("tagset,'=x "), std::string::npos);
  EXPECT_NE(reference.csv.find("\"q\"\"t "), std::string::npos);
  EXPECT_NE(reference.csv.find("tagset,'- "), std::string::npos);
  const Outputs prepared = MakeExports(data, options, true);
  EXPECT_EQ(prepared.csv, reference.csv);
  EXPECT_EQ(prepared.html, reference.html);
}

}  // namespace
}  // namespace marvolen
