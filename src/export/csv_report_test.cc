// The CSV table: field quoting, and rows made from what a report hands on,
// as a spreadsheet program or Python's csv module reads them.
#include "export/csv_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "encoding/gbk.h"
#include "grammar/parse_count.h"
#include "testing/heap.h"

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

// A cell that a spreadsheet would take for a formula starts with a single
// quote; one that begins otherwise, or has such a character later, is as
// it was. Control characters become U+FFFD, as in the SVG.
TEST(CsvFieldTest, FormulasAreNeutralisedAndControlCharactersReplaced) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"=1+2", "'=1+2"},
      {"+1", "'+1"},
      {"-2", "'-2"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\t=1", "'\t=1"},
      {"\r=1", "\"'\r=1\""},
      {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
      {"a=1", "a=1"},
      {"n -", "n -"},
      {"'=1", "'=1"},
      {std::string("a\0b", 3),
       "a\xEF\xBF\xBD"
       "b"},
      {"\x01=\x1F", "\xEF\xBF\xBD=\xEF\xBF\xBD"},
      {std::string("\0=1", 3), "\xEF\xBF\xBD=1"},
      {"\x7F", "\x7F"},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendCsvField(c.in, out);
    EXPECT_EQ(out, c.out) << c.in;
  }
}

// A cell never holds more than a spreadsheet cell does: whole pieces are
// kept while they fit, then the mark; a first piece too long alone is cut
// between characters, never within one.
TEST(CsvCellTest, LongTextIsCutWithAMarkBetweenCharacters) {
  CsvCell cell;
  cell.Append("abc");
  EXPECT_FALSE(cell.cut());
  EXPECT_EQ(cell.Text("!"), "abc");
  std::size_t pieces = 1;
  while (!cell.cut()) {
    cell.Append(" | (S:x(S,S))");
    ++pieces;
  }
  const std::string text = cell.Text(" [cut]");
  EXPECT_EQ(text.substr(text.size() - 6), " [cut]");
  EXPECT_LE(text.size(), kCsvCellLimit);
  EXPECT_GT(text.size(), kCsvCellLimit - 100);
  EXPECT_EQ(text.substr(text.size() - 6 - 13, 13), " | (S:x(S,S))");
  EXPECT_GT(pieces, 2000u);

  cell.Clear();
  std::string chinese;
  for (std::size_t k = 0; k < kCsvCellLimit; ++k) chinese += "的";
  cell.Append(chinese);
  ASSERT_TRUE(cell.cut());
  const std::string cut = cell.Text("");
  EXPECT_EQ(cut.size() % 3, 0u);  // whole characters only
  EXPECT_GT(cut.size() / 3, kCsvCellLimit - 100);
  EXPECT_LT(cut.size() / 3, kCsvCellLimit);
  std::string field;
  AppendCsvField("=" + chinese, field);
  EXPECT_EQ(field.size(), 1 + 1 + (kCsvCellLimit - 2) * 3);  // the quote fits in the cell
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

  void Begin(ReportObserver& csv, const Permutation& p, PermutationClass cls, std::uint64_t count,
             bool listed = true, const DivergencePoints* points = nullptr,
             const RuleGroups* groups = nullptr) {
    ListedPermutation listedPermutation;
    listedPermutation.points = points;
    listedPermutation.groups = groups;
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
  // Two points (one is enough for n n n; the form is what counts), one of
  // them with two rules a tree cannot tell apart.
  RuleSet rules;
  rules.rules.emplace_back("R07", "NP", "n NP ", "");
  rules.rules.emplace_back("R08", "NP", "NP n ", "");
  rules.rules.emplace_back("R50", "NP", "n NP ", "");
  const RuleGroups groups(rules);
  const DivergencePoints points = {{0, 3, {0, 1}}, {3, 5, {1}}};
  Begin(csv, p, PermutationClass::Covert, 2, true, &points, &groups);
  csv.Parse("(NP(n,NP(n,n)))", "NP");
  csv.Parse("(NP(NP(n,n),n))", "NP");
  p = Items({"x\"y", "a,b"});
  Begin(csv, p, PermutationClass::CannotCombine, 0);
  csv.EndReport(summary);
  csv.Finish();
  EXPECT_EQ(Close(),
            "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees,divergences\r\n"
            "tagset,n v n,cannot_combine,0,,,\r\n"
            "tagset,a u<的> n c<和>,one_way,1,NP,\"(NP:定中(a,u<的>,n,c<和>))\",\r\n"
            "tagset,v n,overt,2,VP NP,\"(VP:述宾(v,n)) | (NP:定中(v,n))\",\r\n"
            "sequences,n n n,covert,2,NP NP,\"(NP(n,NP(n,n))) | (NP(NP(n,n),n))\","
            "1-3:R07=R50|R08 4-5:R08\r\n"
            "sequences,\"x\"\"y a,b\",cannot_combine,0,,,\r\n");
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
            "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees,divergences\r\n"
            "sequences,A A A A A,covert,4437377024,,,\r\n"
            "sequences,A A A A A,overt,18446744073709551615,,,\r\n");
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
            "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees,divergences\r\n"
            "sequences,的 \xEF\xBF\xBD,one_way,1,X,\"(X(的,\xEF\xBF\xBD))\",\r\n");
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
            "\xEF\xBB\xBFsource,items,judgement,parses,roots,trees,divergences\r\n"
            "tagset,n,one_way,1,n,(n),\r\n");
}

// Items that look like formulas are neutralised in both tables; the
// roots and trees of a permutation with very many parses are cut with the
// number of parses, and the writer holds no more than a cell meanwhile; the
// table of parses has every parse, numbered.
TEST_F(CsvWriterTest, FormulaItemsAreNeutralisedAndLongRowsCutWithTheCount) {
  constexpr int kParses = 100000;
  const std::string tree = "(S:T1(S,S:T2(S,S)))";
  const Permutation formula = Items({"=HYPERLINK(\"x\")", "-1"});
  const Permutation p = Items({"S", "S", "S"});
  std::size_t peak = 0;
  {
    CsvReportWriter csv(*out_);
    csv.BeginReport(ReportKind::kSequences, 2);
    Begin(csv, formula, PermutationClass::OneWay, 1);
    csv.Parse("(@X(=a,-1))", "@X");
    ResetHeapPeak();
    Begin(csv, p, PermutationClass::Covert, kParses);
    for (int k = 0; k < kParses; ++k) csv.Parse(tree, "S");
    csv.EndReport(ReportSummary());
    csv.Finish();
    peak = HeapPeakBytes();
  }
  const std::string text = Close();
  EXPECT_LT(peak, 1u << 20);  // about the cells, not the 2 MB of trees
  const std::size_t second = text.find("\r\n") + 2;
  const std::size_t third = text.find("\r\n", second) + 2;
  EXPECT_EQ(text.substr(second, third - second),
            "sequences,\"'=HYPERLINK(\"\"x\"\") -1\",one_way,1,'@X,\"(@X(=a,-1))\",\r\n");
  const std::string row = text.substr(third);
  const std::string mark = " \xE2\x80\xA6 [cut: 100000 parses in all]";
  EXPECT_EQ(row.rfind("sequences,S S S,covert,100000,S S S ", 0), 0u);
  EXPECT_NE(row.find(mark + ",\"(S:T1"), std::string::npos);
  EXPECT_EQ(row.substr(row.size() - mark.size() - 4), mark + "\",\r\n");
  EXPECT_LT(row.size(), 2 * kCsvCellLimit + 100);
}

TEST_F(CsvWriterTest, TheTableOfParsesHasOneRowForEachListedParse) {
  {
    CsvParsesWriter csv(*out_);
    csv.BeginReport(ReportKind::kTagSet, 3);
    Permutation p = Items({"n", "v", "n"});
    Begin(csv, p, PermutationClass::CannotCombine, 0);
    p = Items({"v", "n"});
    Begin(csv, p, PermutationClass::Overt, 2);
    csv.Parse(Gbk("(VP:述宾(v,n))"), "VP");
    csv.Parse(Gbk("(NP:定中(v,n))"), "NP");
    p = Items({"+n", "n"});
    Begin(csv, p, PermutationClass::Covert, 5000000, false);
    csv.EndReport(ReportSummary());
    csv.BeginReport(ReportKind::kSequences, 1);
    p = Items({"n"});
    Begin(csv, p, PermutationClass::OneWay, 1);
    csv.Parse("(n)", "n");
    csv.DropUnfinishedReport();  // a report that did not end leaves no row
    csv.Finish();
  }
  EXPECT_EQ(Close(),
            "\xEF\xBB\xBFsource,items,judgement,parse,root,tree\r\n"
            "tagset,v n,overt,1,VP,\"(VP:述宾(v,n))\"\r\n"
            "tagset,v n,overt,2,NP,\"(NP:定中(v,n))\"\r\n");
}

}  // namespace
}  // namespace marvolen
