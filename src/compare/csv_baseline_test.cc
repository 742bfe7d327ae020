// A table read back as a baseline: what a row gives, how rows with the same
// items are matched, and the rows no pattern took.
#include "compare/csv_baseline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoding/gbk.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"

namespace marvolen {
namespace {

class CsvBaselineTest : public TempFolderTest {
 protected:
  std::unique_ptr<CsvBaseline> Open(const std::string& rows) {
    WriteFile(dir_ / "old.csv", "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees\r\n" + rows);
    CsvBaselineError error;
    auto baseline = CsvBaseline::Open((dir_ / "old.csv").string(), {}, &error);
    EXPECT_NE(baseline, nullptr) << error.line << ": " << error.reason;
    return baseline;
  }
};

TEST_F(CsvBaselineTest, ARowGivesItsPatternAsTheRunGaveIt) {
  const auto baseline = Open(
      // A formula's neutralising quote, quoted fields with commas and quotes.
      "tagset,'-x n,covert,2,NP NP,\"(NP:定中(-x,n)) | (NP:\"\"q\"\"(-x,n))\"\r\n"
      // More parses than the run listed: none in the cells.
      "tagset,n n n,covert,5,,\r\n"
      // A cell cut at the cell limit.
      "tagset,v n,overt,40,VP NP \xE2\x80\xA6 [cut: 2 parses in all],"
      "\"(VP:述宾(v,n)) | (NP:定中(v,n)) \xE2\x80\xA6 [cut: 2 parses in all]\"\r\n"
      "sequences,n,cannot_combine,0,,\r\n");
  ASSERT_NE(baseline, nullptr);
  PatternResult p;
  bool failed = false;
  ASSERT_TRUE(baseline->Take(ReportKind::kTagSet, "-x n", p, failed));
  EXPECT_EQ(p.cls, PermutationClass::Covert);
  EXPECT_EQ(p.count, 2u);
  EXPECT_TRUE(p.listed);
  EXPECT_FALSE(p.partial);
  EXPECT_EQ(p.parses, (std::vector<std::string>{Gbk("(NP:定中(-x,n))"), "(NP:\"q\"(-x,n))"}));

  ASSERT_TRUE(baseline->Take(ReportKind::kTagSet, "n n n", p, failed));
  EXPECT_FALSE(p.listed);
  EXPECT_EQ(p.count, 5u);
  ASSERT_TRUE(baseline->Take(ReportKind::kTagSet, "v n", p, failed));
  EXPECT_TRUE(p.partial);
  EXPECT_EQ(p.count, 40u);
  // Taken once only; the other source is its own.
  EXPECT_FALSE(baseline->Take(ReportKind::kTagSet, "v n", p, failed));
  EXPECT_FALSE(baseline->Take(ReportKind::kTagSet, "n", p, failed));
  EXPECT_FALSE(failed);
  EXPECT_EQ(baseline->Averages(ReportKind::kTagSet).covert, 3.5);
  EXPECT_EQ(baseline->Averages(ReportKind::kTagSet).overt, 40.0);
  EXPECT_FALSE(baseline->Averages(ReportKind::kSequences).overt.has_value());
}

TEST_F(CsvBaselineTest, RowsWithTheSameItemsAreTakenInOrderAndTheRestAfterwards) {
  const auto baseline = Open(
      "sequences,n n,one_way,1,NP,\"(NP:定中(n,n))\"\r\n"
      "sequences,v n,cannot_combine,0,,\r\n"
      "sequences,n n,cannot_combine,0,,\r\n"
      "sequences,a n,cannot_combine,0,,\r\n"
      "sequences,n n,one_way,1,NP,\"(NP:x(n,n))\"\r\n");
  ASSERT_NE(baseline, nullptr);
  PatternResult p;
  bool failed = false;
  ASSERT_TRUE(baseline->Take(ReportKind::kSequences, "n n", p, failed));
  EXPECT_EQ(p.cls, PermutationClass::OneWay);
  ASSERT_TRUE(baseline->Take(ReportKind::kSequences, "n n", p, failed));
  EXPECT_EQ(p.cls, PermutationClass::CannotCombine);
  // The rows no pattern took, in file order.
  std::vector<std::string> rest;
  ASSERT_TRUE(baseline->TakeRest(ReportKind::kSequences, [&](PatternResult& r) {
    rest.push_back(r.items + (r.parses.empty() ? "" : " " + r.parses[0]));
  }));
  EXPECT_EQ(rest, (std::vector<std::string>{"v n", "a n", "n n (NP:x(n,n))"}));
  EXPECT_FALSE(baseline->Take(ReportKind::kSequences, "n n", p, failed));
  EXPECT_FALSE(failed);
}

}  // namespace
}  // namespace marvolen
