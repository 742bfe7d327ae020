// The CSV tables of a run, for spreadsheets, pandas or R: the table of
// permutations, one row for every analysed permutation of the tag-set
// report and every line of the sequences report, in report order, and the
// table of parses, one row for every listed parse.
//
// RFC 4180: UTF-8 with a byte-order mark (spreadsheet programs take a file
// without one for the system's code page), records ended by CR LF, a field
// quoted when it holds a comma, a double quote, CR or LF, double quotes in it
// doubled. The header of the table of permutations is
//   source,items,judgement,parses,roots,trees,divergences
// - source: "tagset" or "sequences";
// - items: the permutation's items, one blank between two (the blank the
//   report leaves after the last item is not part of them);
// - judgement: "cannot_combine", "one_way", "overt" or "covert";
// - parses: the number of distinct parses (18446744073709551615 for a number
//   too large to count, as the report shows it);
// - roots: the root labels of the parses in report order, one blank between
//   two;
// - trees: the bracketed parses as the report writes them, " | " between two;
// - divergences: for an ambiguous permutation, its divergence points (see
//   analysis/divergences.h), each as first-last item (from 1), ":" and the
//   competing rules by their titles with "|" between two (rules a tree
//   cannot tell apart joined by "="), one blank between two points:
//   "1-3:R07|R08" or "1-2:R01|R02 3-5:R07=R50|R08"; empty for a permutation
//   that is not ambiguous, and when the run does not look for points.
// A permutation whose parses are more than the run lists has its number in
// parses and roots, trees and divergences empty, as its entry in the report
// has no parse.
// The header of the table of parses is
//   source,items,judgement,parse,root,tree
// with parse the number of the parse in report order, from 1, root its root
// label and tree its bracketed text; a permutation without listed parses
// has no row there.
//
// Safe in a spreadsheet: every text is converted from GBK to UTF-8; a
// control character other than tab, CR and LF becomes U+FFFD, as in the
// SVG; a cell that begins with = + - @ tab or CR, which a spreadsheet would
// take for a formula, gets a single quote (') in front; no cell is longer
// than kCsvCellLimit characters, the most a spreadsheet cell holds: roots
// and trees that would be longer keep the whole parses that fit and end in
// a mark that gives the number of parses (the table of parses has them
// all). The tables are written as the parses come, never held whole.
#ifndef MARVOLEN_EXPORT_CSV_REPORT_H_
#define MARVOLEN_EXPORT_CSV_REPORT_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/report_observer.h"
#include "encoding/gbk.h"
#include "platform/text_stream.h"

namespace marvolen {

// The most characters a cell holds.
inline constexpr std::size_t kCsvCellLimit = 32767;

// The judgement as the table names it.
const char* CsvJudgement(PermutationClass judgement);

// Append `utf8` to `out` as one field, safe in a spreadsheet as above:
// control characters replaced, a formula's first character neutralised,
// quoted only when it needs to be. At most kCsvCellLimit - 1 characters
// are taken for the quote to fit.
void AppendCsvField(std::string_view utf8, std::string& out);

// A cell's text gathered piece by piece and cut at kCsvCellLimit: pieces
// are kept whole while they fit with room for the mark; the first piece is
// cut within when it alone does not fit.
class CsvCell {
 public:
  // Append the piece (UTF-8) unless the cell was cut.
  void Append(std::string_view utf8);
  // Whether a piece was left out.
  bool cut() const { return cut_; }
  // The text, with `mark` appended when cut.
  std::string Text(std::string_view mark) const;
  // The text without the mark.
  const std::string& text() const { return text_; }
  void Clear();

 private:
  std::string text_;
  std::size_t characters_ = 0;
  bool cut_ = false;
};

// One row of the table of permutations after its source: what follows
// "source," up to and with its CR LF, made as the permutation and its parses
// come.
class CsvRowMaker {
 public:
  // Append the fields up to parses (with the comma after it) to `out`.
  void Begin(const ListedPermutation& permutation, std::string& out);
  void Parse(std::string_view bracketed, std::string_view rootLabel);
  // Append roots, trees and divergences and the end of the row to `out`.
  void End(std::string& out);
  // Append the row of a permutation that cannot combine, from its items to
  // the CR LF, to `out`.
  void CannotCombine(const Permutation& permutation, std::string& out);

 private:
  void AppendItemsField(const Permutation& permutation, std::string& out);

  Utf8Converter utf8_;
  std::string piece_;
  CsvCell roots_, trees_;
  std::string divergences_;  // UTF-8
  std::uint64_t parsesInRow_ = 0;
  // The last permutation's items, GBK and UTF-8: the next mostly begins
  // with the same.
  std::vector<std::pair<std::string, std::string>> lastItems_;
};

// The table of permutations.
class CsvReportWriter : public ReportObserver {
 public:
  // Writes the byte-order mark and the header to `out` (made with
  // OutputStream::LineEnds::kAsGiven), which must outlive the writer.
  explicit CsvReportWriter(OutputStream& out);

  CsvReportWriter(const CsvReportWriter&) = delete;
  CsvReportWriter& operator=(const CsvReportWriter&) = delete;

  void BeginReport(ReportKind kind, std::int64_t permutations) override;
  void BeginPermutation(const ListedPermutation& permutation) override;
  void Parse(std::string_view bracketed, std::string_view rootLabel) override;
  void EndReport(const ReportSummary& summary) override;
  // The rows are made on the analysing threads, those of a run of
  // permutations that cannot combine given at once.
  const PermutationPreparer* Preparer() const override { return preparer_.get(); }
  void CannotCombine(const PermutationSource& source, std::int64_t first, std::int64_t last,
                     std::string_view prepared) override;

  // Remove the rows of a report that began and did not end (it stopped on
  // an error of its own, and the text report holds none of it either).
  void DropUnfinishedReport();

  // Write the last row; the caller closes the stream.
  void Finish();

 private:
  void EndRow();

  OutputStream& out_;
  const char* source_ = "";  // before the preparer, which refers to it
  std::unique_ptr<PermutationPreparer> preparer_;
  bool rowOpen_ = false;
  bool rowPrepared_ = false;  // head_ holds the whole row
  bool reportOpen_ = false;
  std::uint64_t reportStart_ = 0;
  // The row being made: everything up to parses, then the rest from row_.
  std::string head_;
  CsvRowMaker row_;
};

// The table of parses.
class CsvParsesWriter : public ReportObserver {
 public:
  // Writes the byte-order mark and the header to `out` (made with
  // OutputStream::LineEnds::kAsGiven), which must outlive the writer.
  explicit CsvParsesWriter(OutputStream& out);

  CsvParsesWriter(const CsvParsesWriter&) = delete;
  CsvParsesWriter& operator=(const CsvParsesWriter&) = delete;

  void BeginReport(ReportKind kind, std::int64_t permutations) override;
  void BeginPermutation(const ListedPermutation& permutation) override;
  void Parse(std::string_view bracketed, std::string_view rootLabel) override;
  void EndReport(const ReportSummary& summary) override;
  // Without parses, they have no rows.
  void CannotCombine(const PermutationSource&, std::int64_t, std::int64_t,
                     std::string_view) override {}

  // As CsvReportWriter's.
  void DropUnfinishedReport();
  void Finish() {}

 private:
  OutputStream& out_;
  Utf8Converter utf8_;
  const char* source_ = "";
  bool reportOpen_ = false;
  std::uint64_t reportStart_ = 0;
  std::string head_;  // source, items and judgement of the permutation, with commas
  std::string row_, piece_;
  CsvCell tree_;
  std::uint64_t parseNumber_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_EXPORT_CSV_REPORT_H_
