// Writing the CSV tables.
#include "export/csv_report.h"

#include <array>

#include "analysis/report_writer.h"
#include "grammar/parse_engine.h"

namespace marvolen {

namespace {

// Room left in a cell for the mark of a cut and the neutralising quote.
constexpr std::size_t kMarkRoom = 64;

bool ContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) count += ContinuationByte(c) ? 0 : 1;
  return count;
}

// The bytes of the first `characters` characters of `utf8`.
std::size_t PrefixBytes(std::string_view utf8, std::size_t characters) {
  std::size_t bytes = 0;
  for (std::size_t seen = 0; bytes < utf8.size(); ++bytes) {
    if (!ContinuationByte(utf8[bytes]) && seen++ == characters) break;
  }
  return bytes;
}

// A spreadsheet takes a cell that begins with one of these for a formula.
bool FormulaStart(char c) {
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

void AppendItems(const Permutation& permutation, Utf8Converter& utf8, std::string& out) {
  for (int k = 0; k < permutation.currentItemCount && k < kMaxItems; ++k) {
    if (k > 0) out += ' ';
    utf8.Append(permutation.items[static_cast<std::size_t>(k)], out);
  }
}

// The rest of the row of a permutation that cannot combine, after its
// items: no parses, no roots, trees or points.
void AppendCannotCombineRest(std::string& out) {
  out += ',';
  out += CsvJudgement(PermutationClass::CannotCombine);
  out += ",0,,,\r\n";
}

const char* SourceName(ReportKind kind) {
  return kind == ReportKind::kTagSet ? "tagset" : "sequences";
}

}  // namespace

const char* CsvJudgement(PermutationClass judgement) {
  switch (judgement) {
    case PermutationClass::CannotCombine:
      return "cannot_combine";
    case PermutationClass::OneWay:
      return "one_way";
    case PermutationClass::Overt:
      return "overt";
    case PermutationClass::Covert:
      return "covert";
  }
  return "";
}

void AppendCsvField(std::string_view utf8, std::string& out) {
  const bool formula = !utf8.empty() && FormulaStart(utf8.front());
  if (formula && CharacterCount(utf8) >= kCsvCellLimit) {
    utf8 = utf8.substr(0, PrefixBytes(utf8, kCsvCellLimit - 1));
  }
  // One pass tells whether the field needs quotes and whether any byte
  // needs more than copying.
  constexpr unsigned kQuote = 1, kEscape = 2;
  static const std::array<unsigned char, 256> kClass = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[c] = kEscape;
    table['\t'] = 0;
    table['\n'] = table['\r'] = table[','] = kQuote;
    table['"'] = kQuote | kEscape;
    return table;
  }();
  unsigned found = 0;
  for (char c : utf8) found |= kClass[static_cast<unsigned char>(c)];
  const bool quoted = (found & kQuote) != 0;
  if (quoted) out += '"';
  if (formula) out += '\'';
  if ((found & kEscape) == 0) {
    out += utf8;
    if (quoted) out += '"';
    return;
  }
  for (char c : utf8) {
    if (c == '"') {
      out += "\"\"";
    } else if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      out += "\xEF\xBF\xBD";  // U+FFFD
    } else {
      out += c;
    }
  }
  if (quoted) out += '"';
}

void CsvCell::Append(std::string_view utf8) {
  if (cut_) return;
  const std::size_t room = kCsvCellLimit - kMarkRoom;
  const std::size_t characters = CharacterCount(utf8);
  if (characters_ + characters <= room) {
    text_ += utf8;
    characters_ += characters;
    return;
  }
  cut_ = true;
  if (characters_ == 0) {
    text_.assign(utf8.substr(0, PrefixBytes(utf8, room)));
    characters_ = room;
  }
}

std::string CsvCell::Text(std::string_view mark) const {
  if (!cut_) return text_;
  return text_ + std::string(mark);
}

void CsvCell::Clear() {
  text_.clear();
  characters_ = 0;
  cut_ = false;
}

void CsvRowMaker::Begin(const ListedPermutation& p, std::string& out) {
  AppendItemsField(*p.permutation, out);
  out += ',';
  out += CsvJudgement(p.cls);
  out += ',';
  out += std::to_string(p.count);
  out += ',';
  roots_.Clear();
  trees_.Clear();
  parsesInRow_ = 0;
  divergences_.clear();
  if (p.points && p.groups) utf8_.Append(ShortDivergences(*p.points, *p.groups), divergences_);
}

void CsvRowMaker::CannotCombine(const Permutation& permutation, std::string& out) {
  AppendItemsField(permutation, out);
  AppendCannotCombineRest(out);
}

void CsvRowMaker::AppendItemsField(const Permutation& permutation, std::string& out) {
  piece_.clear();
  for (int k = 0; k < permutation.currentItemCount && k < kMaxItems; ++k) {
    const std::string& item = permutation.items[static_cast<std::size_t>(k)];
    const auto slot = static_cast<std::size_t>(k);
    if (slot >= lastItems_.size()) lastItems_.resize(slot + 1);
    if (lastItems_[slot].first != item) {
      lastItems_[slot].first = item;
      lastItems_[slot].second.clear();
      utf8_.Append(item, lastItems_[slot].second);
    }
    if (k > 0) piece_ += ' ';
    piece_ += lastItems_[slot].second;
  }
  AppendCsvField(piece_, out);
}

void CsvRowMaker::Parse(std::string_view bracketed, std::string_view rootLabel) {
  // Past the cut nothing more is converted.
  if (!roots_.cut()) {
    piece_.assign(parsesInRow_ > 0 ? " " : "");
    utf8_.Append(rootLabel, piece_);
    roots_.Append(piece_);
  }
  if (!trees_.cut()) {
    piece_.assign(parsesInRow_ > 0 ? " | " : "");
    utf8_.Append(bracketed, piece_);
    trees_.Append(piece_);
  }
  ++parsesInRow_;
}

void CsvRowMaker::End(std::string& out) {
  if (roots_.cut() || trees_.cut()) {
    const std::string mark =
        " \xE2\x80\xA6 [cut: " + std::to_string(parsesInRow_) + " parses in all]";
    AppendCsvField(roots_.Text(mark), out);
    out += ',';
    AppendCsvField(trees_.Text(mark), out);
  } else {
    AppendCsvField(roots_.text(), out);
    out += ',';
    AppendCsvField(trees_.text(), out);
  }
  out += ',';
  AppendCsvField(divergences_, out);
  out += "\r\n";
  roots_.Clear();
  trees_.Clear();
}

namespace {

// Makes the rows on the analysing threads, whole: from the source of the
// report begun (`source`, the writer's) to the CR LF.
class RowPreparer : public PermutationPreparer {
 public:
  explicit RowPreparer(const char* const& source) : source_(source) {}

  class RowRun : public Run {
   public:
    explicit RowRun(const char* source) : source_(source) {}
    bool Prepare(const ListedPermutation& p, ParseEngine* engine, std::string& out) override {
      out += source_;
      out += ',';
      if (engine == nullptr && p.cls == PermutationClass::CannotCombine) {
        if (AppendCodedItems(p, out)) {
          AppendCannotCombineRest(out);
        } else {
          row_.CannotCombine(*p.permutation, out);
        }
        return false;
      }
      row_.Begin(p, out);
      if (engine != nullptr) {
        engine->PrintDistinctParses(
            [this](std::string_view text, std::string_view root) { row_.Parse(text, root); });
      }
      row_.End(out);
      return false;  // the row is whole
    }

   private:
    // Append the items' field from the source's item codes, when it has
    // them and no item needs more than copying; false, with nothing
    // appended, otherwise.
    bool AppendCodedItems(const ListedPermutation& p, std::string& out) {
      if (p.source == nullptr) return false;
      std::array<int, kMaxItems> codes{};
      const int count = p.source->ItemCodes(p.number, codes);
      if (count == 0) return false;
      const std::size_t at = out.size();
      for (int k = 0; k < count; ++k) {
        const auto code = static_cast<std::size_t>(codes[static_cast<std::size_t>(k)]);
        if (code >= coded_.size()) coded_.resize(code + 1);
        CodedItem& item = coded_[code];
        if (!item.made) {
          utf8_.Append(p.source->ItemText(codes[static_cast<std::size_t>(k)]), item.utf8);
          // As AppendCsvField would copy it: not empty, nothing to quote or
          // replace.
          std::string field;
          AppendCsvField(item.utf8, field);
          item.plain = !item.utf8.empty() && field == item.utf8;
          item.made = true;
        }
        // The field as a whole starts with the first item.
        if (!item.plain || (k == 0 && FormulaStart(item.utf8.front()))) {
          out.resize(at);
          return false;
        }
        if (k > 0) out += ' ';
        out += item.utf8;
      }
      return true;
    }

    struct CodedItem {
      bool made = false, plain = false;
      std::string utf8;
    };
    const char* source_;
    CsvRowMaker row_;
    Utf8Converter utf8_;
    std::vector<CodedItem> coded_;  // by item code, for the report begun
  };
  std::unique_ptr<Run> Begin() const override { return std::make_unique<RowRun>(source_); }

 private:
  const char* const& source_;
};

}  // namespace

CsvReportWriter::CsvReportWriter(OutputStream& out)
    : out_(out), preparer_(std::make_unique<RowPreparer>(source_)) {
  out_.Write("\xEF\xBB\xBFsource,items,judgement,parses,roots,trees,divergences\r\n");
}

void CsvReportWriter::BeginReport(ReportKind kind, std::int64_t) {
  EndRow();
  source_ = SourceName(kind);
  reportOpen_ = true;
  reportStart_ = out_.Position();
}

void CsvReportWriter::BeginPermutation(const ListedPermutation& p) {
  EndRow();
  rowPrepared_ = p.hasPrepared;
  if (rowPrepared_) {
    head_ = p.prepared;
  } else {
    head_ = source_;
    head_ += ',';
    row_.Begin(p, head_);
  }
  rowOpen_ = true;
}

void CsvReportWriter::CannotCombine(const PermutationSource&, std::int64_t, std::int64_t,
                                    std::string_view prepared) {
  EndRow();
  out_.Write(prepared);
}

void CsvReportWriter::Parse(std::string_view bracketed, std::string_view rootLabel) {
  if (!rowPrepared_) row_.Parse(bracketed, rootLabel);
}

void CsvReportWriter::EndRow() {
  if (!rowOpen_) return;
  rowOpen_ = false;
  if (!rowPrepared_) row_.End(head_);
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

CsvParsesWriter::CsvParsesWriter(OutputStream& out) : out_(out) {
  out_.Write("\xEF\xBB\xBFsource,items,judgement,parse,root,tree\r\n");
}

void CsvParsesWriter::BeginReport(ReportKind kind, std::int64_t) {
  source_ = SourceName(kind);
  reportOpen_ = true;
  reportStart_ = out_.Position();
}

void CsvParsesWriter::BeginPermutation(const ListedPermutation& p) {
  std::string items;
  AppendItems(*p.permutation, utf8_, items);
  head_ = source_;
  head_ += ',';
  AppendCsvField(items, head_);
  head_ += ',';
  head_ += CsvJudgement(p.cls);
  head_ += ',';
  parseNumber_ = 0;
}

void CsvParsesWriter::Parse(std::string_view bracketed, std::string_view rootLabel) {
  row_ = head_;
  row_ += std::to_string(++parseNumber_);
  row_ += ',';
  piece_.clear();
  utf8_.Append(rootLabel, piece_);
  AppendCsvField(piece_, row_);
  row_ += ',';
  piece_.clear();
  utf8_.Append(bracketed, piece_);
  tree_.Clear();
  tree_.Append(piece_);
  AppendCsvField(tree_.Text(" \xE2\x80\xA6 [cut]"), row_);
  row_ += "\r\n";
  out_.Write(row_);
}

void CsvParsesWriter::EndReport(const ReportSummary&) { reportOpen_ = false; }

void CsvParsesWriter::DropUnfinishedReport() {
  if (reportOpen_) out_.TruncateTo(reportStart_);
  reportOpen_ = false;
}

}  // namespace marvolen
