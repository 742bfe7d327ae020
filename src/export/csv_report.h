// The CSV table of a run: one row for every analysed permutation of the
// tag-set report and every line of the sequences report, in report order,
// for spreadsheets, pandas or R.
//
// RFC 4180: UTF-8 with a byte-order mark (spreadsheet programs take a file
// without one for the system's code page), records ended by CR LF, a field
// quoted when it holds a comma, a double quote, CR or LF, double quotes in it
// doubled. The header is
//   source,items,judgement,parses,roots,trees
// - source: "tagset" or "sequences";
// - items: the permutation's items, one blank between two (the blank the
//   report leaves after the last item is not part of them);
// - judgement: "cannot_combine", "one_way", "overt" or "covert";
// - parses: the number of distinct parses (18446744073709551615 for a number
//   too large to count, as the report shows it);
// - roots: the root labels of the parses in report order, one blank between
//   two;
// - trees: the bracketed parses as the report writes them, " | " between two.
// A permutation whose parses are more than the run lists has its number in
// parses and roots and trees empty, as its entry in the report has no parse.
// Every text is converted from GBK to UTF-8.
#ifndef MARVOLEN_EXPORT_CSV_REPORT_H_
#define MARVOLEN_EXPORT_CSV_REPORT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/report_observer.h"
#include "export/utf8_text.h"
#include "platform/text_stream.h"

namespace marvolen {

// The judgement as the table names it.
const char* CsvJudgement(PermutationClass judgement);

// Append `utf8` to `out` as one field: quoted only when it needs to be.
void AppendCsvField(std::string_view utf8, std::string& out);

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

  // Remove the rows of a report that began and did not end (it stopped on
  // an error of its own, and the text report holds none of it either).
  void DropUnfinishedReport();

  // Write the last row; the caller closes the stream.
  void Finish();

 private:
  void EndRow();

  OutputStream& out_;
  Utf8Converter utf8_;
  const char* source_ = "";
  bool rowOpen_ = false;
  bool reportOpen_ = false;
  std::uint64_t reportStart_ = 0;
  // The row being made: everything up to parses, then its roots and trees.
  std::string head_, roots_, trees_;
  std::uint64_t parsesInRow_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_EXPORT_CSV_REPORT_H_
