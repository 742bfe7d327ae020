// The CSV table: field quoting, and rows made from what a report hands on,
// as a spreadsheet program or Python's csv module reads them.
#include "export/csv_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "grammar/parse_count.h"
#include "platform/gbk.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

TEST(CsvFieldTest, QuotesOnlyWhatNeedsIt) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"n v", "n v"},
      {"u<的>", "u<的>"},
      {"(NP(n,n))", "\"(NP(n,n))\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"a\nb", "\"a\nb\""},
      {"a\rb", "\"a\rb\""},
      {"tab\there", "tab\there"},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendCsvField(c.in, out);
    EXPECT_EQ(out, c.out) << c.in;
  }
}

class CsvWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = fs::temp_directory_path() /
            (std::string("marvolen_csv_") +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".csv");
    out_ = OutputStream::Replacing(path_.string(), nullptr, OutputStream::LineEnds::kAsGiven);
    ASSERT_NE(out_, nullptr);
  }
  void TearDown() override { fs::remove(path_); }

  std::string Close() {
    EXPECT_TRUE(out_->Close());
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static Permutation Items(const std::vector<std::string>& items) {
    Permutation p;
    for (std::size_t k = 0; k < items.size(); ++k) p.items[k] = Gbk(items[k]);
    p.currentItemCount = static_cast<int>(items.size());
    return p;
  }

  void Begin(CsvReportWriter& csv, const Permutation& p, PermutationClass cls, std::uint64_t count,
             bool listed = true) {
    ListedPermutation listedPermutation;
    listedPermutation.number = number_++;
    listedPermutation.permutation = &p;
    listedPermutation.cls = cls;
    listedPermutation.count = count;
    listedPermutation.listed = listed;
    csv.BeginPermutation(listedPermutation);
  }

  fs::path path_;
  std::unique_ptr<OutputStream> out_;
  std::int64_t number_ = 0;
};

TEST_F(CsvWriterTest, OneRowPerPermutationInEveryJudgement) {
  CsvReportWriter csv(*out_);
  csv.BeginReport(ReportKind::kTagSet, 3);
  Permutation p = Items({"n", "v", "n"});
  Begin(csv, p, PermutationClass::CannotCombine, 0);
  p = Items({"a", "u<的>", "n", "c<和>", ""});
  p.currentItemCount = 4;  // a four-item permutation: its fifth slot is not an item
  Begin(csv, p, PermutationClass::OneWay, 1);
  csv.Parse(Gbk("(NP:定中(a,u<的>,n,c<和>))"), "NP");
  p = Items({"v", "n"});
  Begin(csv, p, PermutationClass::Overt, 2);
  csv.Parse(Gbk("(VP:述宾(v,n))"), "VP");
  csv.Parse(Gbk("(NP:定中(v,n))"), "NP");
  ReportSummary summary;
  csv.EndReport(summary);
  csv.BeginReport(ReportKind::kSequences, 2);
  p = Items({"n", "n", "n"});
  Begin(csv, p, PermutationClass::Covert, 2);
  csv.Parse("(NP(n,NP(n,n)))", "NP");
  csv.Parse("(NP(NP(n,n),n))", "NP");
  p = Items({"x\"y", "a,b"});
  Begin(csv, p, PermutationClass::CannotCombine, 0);
  csv.EndReport(summary);
  csv.Finish();
  EXPECT_EQ(Close(),
            "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees\r\n"
            "tagset,n v n,cannot_combine,0,,\r\n"
            "tagset,a u<的> n c<和>,one_way,1,NP,\"(NP:定中(a,u<的>,n,c<和>))\"\r\n"
            "tagset,v n,overt,2,VP NP,\"(VP:述宾(v,n)) | (NP:定中(v,n))\"\r\n"
            "sequences,n n n,covert,2,NP NP,\"(NP(n,NP(n,n))) | (NP(NP(n,n),n))\"\r\n"
            "sequences,\"x\"\"y a,b\",cannot_combine,0,,\r\n");
}

// A permutation with more parses than a run lists has their number and no
// parses; a number too large to count is the one the report shows.
TEST_F(CsvWriterTest, UnlistedParsesGiveTheirNumberAndEmptyRootsAndTrees) {
  CsvReportWriter csv(*out_);
  csv.BeginReport(ReportKind::kSequences, 2);
  const Permutation p = Items({"A", "A", "A", "A", "A"});
  Begin(csv, p, PermutationClass::Covert, 4437377024, false);
  Begin(csv, p, PermutationClass::Overt, kManyParses, false);
  csv.Finish();
  EXPECT_EQ(Close(),
            "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees\r\n"
            "sequences,A A A A A,covert,4437377024,,\r\n"
            "sequences,A A A A A,overt,18446744073709551615,,\r\n");
}

// Text that is not valid GBK is shown as U+FFFD, never passed on raw.
TEST_F(CsvWriterTest, TextIsConvertedFromGbk) {
  CsvReportWriter csv(*out_);
  csv.BeginReport(ReportKind::kSequences, 1);
  Permutation p;
  p.items[0] = "\xB5\xC4";  // 的
  p.items[1] = "\xFF";
  p.currentItemCount = 2;
  Begin(csv, p, PermutationClass::OneWay, 1);
  csv.Parse("(X(\xB5\xC4,\xFF))", "X");
  csv.Finish();
  EXPECT_EQ(Close(),
            "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees\r\n"
            "sequences,的 \xEF\xBF\xBD,one_way,1,X,\"(X(的,\xEF\xBF\xBD))\"\r\n");
}

// A report that did not end leaves no row; one that ended keeps its rows.
TEST_F(CsvWriterTest, AnUnfinishedReportIsDropped) {
  CsvReportWriter csv(*out_);
  csv.BeginReport(ReportKind::kTagSet, 1);
  const Permutation p = Items({"n"});
  Begin(csv, p, PermutationClass::OneWay, 1);
  csv.Parse("(n)", "n");
  csv.EndReport(ReportSummary());
  csv.DropUnfinishedReport();  // nothing unfinished
  csv.BeginReport(ReportKind::kSequences, 100000);
  for (int k = 0; k < 100000; ++k) Begin(csv, p, PermutationClass::CannotCombine, 0);
  csv.DropUnfinishedReport();
  csv.Finish();
  EXPECT_EQ(Close(),
            "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees\r\n"
            "tagset,n,one_way,1,n,(n)\r\n");
}

}  // namespace
}  // namespace marvolen
