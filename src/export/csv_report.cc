// Writing the CSV table.
#include "export/csv_report.h"

namespace marvolen {

const char* CsvJudgement(PermutationClass judgement) {
  switch (judgement) {
    case PermutationClass::CannotCombine: return "cannot_combine";
    case PermutationClass::OneWay: return "one_way";
    case PermutationClass::Overt: return "overt";
    case PermutationClass::Covert: return "covert";
  }
  return "";
}

void AppendCsvField(std::string_view utf8, std::string& out) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += utf8;
    return;
  }
  out += '"';
  for (char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

CsvReportWriter::CsvReportWriter(OutputStream& out) : out_(out) {
  out_.Write("\xEF\xBB\xBFsource,items,judgement,parses,roots,trees\r\n");
}

void CsvReportWriter::BeginReport(ReportKind kind, std::int64_t) {
  EndRow();
  source_ = kind == ReportKind::kTagSet ? "tagset" : "sequences";
  reportOpen_ = true;
  reportStart_ = out_.Position();
}

void CsvReportWriter::BeginPermutation(const ListedPermutation& p) {
  EndRow();
  std::string items;
  for (int k = 0; k < p.permutation->currentItemCount && k < kMaxItems; ++k) {
    if (k > 0) items += ' ';
    utf8_.Append(p.permutation->items[static_cast<std::size_t>(k)], items);
  }
  head_ = source_;
  head_ += ',';
  AppendCsvField(items, head_);
  head_ += ',';
  head_ += CsvJudgement(p.cls);
  head_ += ',';
  head_ += std::to_string(p.count);
  head_ += ',';
  roots_.clear();
  trees_.clear();
  parsesInRow_ = 0;
  rowOpen_ = true;
}

void CsvReportWriter::Parse(std::string_view bracketed, std::string_view rootLabel) {
  if (parsesInRow_ > 0) {
    roots_ += ' ';
    trees_ += " | ";
  }
  ++parsesInRow_;
  utf8_.Append(rootLabel, roots_);
  utf8_.Append(bracketed, trees_);
}

void CsvReportWriter::EndRow() {
  if (!rowOpen_) return;
  rowOpen_ = false;
  AppendCsvField(roots_, head_);
  head_ += ',';
  AppendCsvField(trees_, head_);
  head_ += "\r\n";
  out_.Write(head_);
}

void CsvReportWriter::EndReport(const ReportSummary&) {
  EndRow();
  reportOpen_ = false;
}

void CsvReportWriter::DropUnfinishedReport() {
  rowOpen_ = false;
  if (reportOpen_) out_.TruncateTo(reportStart_);
  reportOpen_ = false;
}

void CsvReportWriter::Finish() { EndRow(); }

}  // namespace marvolen
