// Reading the table of permutations back as a baseline.
#include "compare/csv_baseline.h"

#include <charconv>
#include <utility>

#include "analysis/degree_records.h"
#include "encoding/gbk.h"
#include "encoding/gbk_converter.h"
#include "export/csv_report.h"

namespace marvolen {

namespace {

constexpr std::size_t kColumns = 6;
constexpr const char* kHeader[kColumns] = {"source", "items", "judgement",
                                           "parses", "roots", "trees"};
constexpr const char* kParsesHeader[kColumns] = {"source", "items", "judgement",
                                                 "parse",  "root",  "tree"};
// The end of a cell cut at the cell limit: " … [cut: N parses in all]".
constexpr std::string_view kCutBegins = " \xE2\x80\xA6 [cut: ";
constexpr std::string_view kCutEnds = " parses in all]";
// How often reading the table looks at the stop.
constexpr std::uint64_t kRowsBetweenStops = 1024;

}  // namespace

// Records of a CSV file, read through a buffer of its own so that a record
// can be read again from its offset: a record still in the buffer is read
// from there.
class CsvRecordReader {
 public:
  explicit CsvRecordReader(std::FILE* file) : file_(file) {}

  enum class Result { kRecord, kEnd, kBroken };

  std::uint64_t offset() const { return offset_; }
  int line() const { return line_; }

  bool Seek(std::uint64_t offset, int line) {
    line_ = line;
    const std::uint64_t bufferStart = offset_ - begin_;
    if (offset >= bufferStart && offset <= bufferStart + end_) {
      begin_ = static_cast<std::size_t>(offset - bufferStart);
      offset_ = offset;
      return true;
    }
    begin_ = end_ = 0;
    offset_ = offset;
    failed_ = false;
    return SeekOpenFile(file_, offset);
  }

  // The next record's fields. kBroken with `reason` when the file ends
  // within a record or a quoted field is not closed as RFC 4180 closes it.
  Result Next(std::vector<std::string>& fields, std::string& reason) {
    fields.clear();
    std::string field;
    int c = Get();
    if (c < 0) return failed_ ? Broken(reason, "the file could not be read") : Result::kEnd;
    for (;;) {
      if (c == '"' && field.empty()) {
        for (;;) {
          c = Get();
          if (c < 0) return Broken(reason, "the file ends within a quoted field");
          if (c == '"') {
            c = Get();
            if (c != '"') break;
          } else if (c == '\n') {
            ++line_;
          }
          field += static_cast<char>(c);
        }
        if (c != ',' && c != '\r' && c != '\n' && c >= 0)
          return Broken(reason, "a character follows a closing double quote");
      }
      if (c == ',') {
        fields.push_back(std::move(field));
        field.clear();
        c = Get();
        continue;
      }
      if (c == '\r') {
        c = Get();
        if (c != '\n') return Broken(reason, "a CR not followed by LF");
      }
      if (c == '\n') {
        ++line_;
        fields.push_back(std::move(field));
        return Result::kRecord;
      }
      if (c < 0)
        return Broken(reason, "the file ends within a row (its last line has no line end)");
      if (c == '"') return Broken(reason, "a double quote within a field that is not quoted");
      field += static_cast<char>(c);
      c = Get();
    }
  }

 private:
  Result Broken(std::string& reason, const char* text) {
    reason = failed_ ? "the file could not be read" : text;
    return Result::kBroken;
  }

  int Get() {
    if (begin_ == end_) {
      if (failed_) return -1;
      begin_ = 0;
      end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
      if (end_ == 0) {
        failed_ = std::ferror(file_) != 0;
        return -1;
      }
    }
    ++offset_;
    return static_cast<unsigned char>(buffer_[begin_++]);
  }

  std::FILE* file_;
  std::array<char, 65536> buffer_{};
  std::size_t begin_ = 0, end_ = 0;
  std::uint64_t offset_ = 0;  // of the next byte Get returns
  int line_ = 1;
  bool failed_ = false;
};

namespace {

// A cell as written, without the quote put before a formula's first
// character.
std::string_view CellText(std::string_view cell) {
  if (cell.size() >= 2 && cell[0] == '\'') {
    const char c = cell[1];
    if (c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r')
      return cell.substr(1);
  }
  return cell;
}

std::optional<PermutationClass> JudgementNamed(std::string_view name) {
  for (PermutationClass cls : {PermutationClass::CannotCombine, PermutationClass::OneWay,
                               PermutationClass::Overt, PermutationClass::Covert}) {
    if (name == CsvJudgement(cls)) return cls;
  }
  return std::nullopt;
}

bool CountFits(PermutationClass cls, std::uint64_t count) {
  switch (cls) {
    case PermutationClass::CannotCombine:
      return count == 0;
    case PermutationClass::OneWay:
      return count == 1;
    default:
      return count >= 2;
  }
}

bool IsHeader(const std::vector<std::string>& fields, const char* const (&names)[kColumns]) {
  if (fields.size() < kColumns) return false;
  for (std::size_t k = 0; k < kColumns; ++k) {
    if (fields[k] != names[k]) return false;
  }
  return true;
}

}  // namespace

// Rows read into patterns, with one converter for every text.
class CsvRowParser {
 public:
  // One row read into `pattern` and its source; the reason it cannot be
  // when it cannot (UTF-8).
  std::string Parse(const std::vector<std::string>& fields, std::size_t columns, ReportKind& source,
                    PatternResult& pattern);

 private:
  bool ToGbk(std::string_view utf8, std::string& out) {
    return IsValidUtf8(utf8) && gbk_.FromUtf8(utf8, out);
  }

  GbkConverter gbk_;
  std::string trees_;
};

std::string CsvRowParser::Parse(const std::vector<std::string>& fields, std::size_t columns,
                                ReportKind& source, PatternResult& pattern) {
  if (fields.size() != columns) {
    return "the row has " + std::to_string(fields.size()) + " fields, the header " +
           std::to_string(columns);
  }
  for (std::size_t k = 0; k < 4; ++k) {
    if (!IsValidUtf8(fields[k])) return "the row is not UTF-8";
  }
  if (fields[0] == "tagset") {
    source = ReportKind::kTagSet;
  } else if (fields[0] == "sequences") {
    source = ReportKind::kSequences;
  } else {
    return "the source is neither tagset nor sequences";
  }
  if (!ToGbk(CellText(fields[1]), pattern.items) || pattern.items.empty())
    return "the items are missing, not UTF-8 or no GBK text";
  const auto cls = JudgementNamed(fields[2]);
  if (!cls) return "the judgement is none of cannot_combine, one_way, overt, covert";
  pattern.cls = *cls;
  const std::string& parses = fields[3];
  const auto [end, error] =
      std::from_chars(parses.data(), parses.data() + parses.size(), pattern.count);
  if (parses.empty() || error != std::errc() || end != parses.data() + parses.size())
    return "the number of parses is not a whole number";
  if (!CountFits(pattern.cls, pattern.count))
    return "the number of parses does not fit the judgement";

  pattern.parses.clear();
  pattern.partial = false;
  if (!IsValidUtf8(fields[4])) return "the row is not UTF-8";
  std::string_view trees = CellText(fields[5]);
  if (!IsValidUtf8(trees)) return "the row is not UTF-8";
  if (trees.ends_with(kCutEnds) && trees.find(kCutBegins) != std::string_view::npos) {
    // The parses were listed, but not all of them fit the cell.
    pattern.listed = true;
    pattern.partial = true;
    return "";
  }
  // A pattern with parses and no trees had more than its run listed.
  pattern.listed = !(trees.empty() && pattern.count > 0);
  if (trees.empty()) return "";
  // " | " is the same in GBK: no GBK character has a blank or a bar as its
  // second byte after a blank.
  if (!ToGbk(trees, trees_)) return "a parse is no GBK text";
  for (std::string_view rest = trees_;;) {
    const std::size_t bar = rest.find(" | ");
    if (bar == 0 || rest.empty()) return "a parse is empty";
    pattern.parses.emplace_back(rest.substr(0, bar));
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 3);
  }
  if (pattern.parses.size() != pattern.count) return "the trees are not as many as the parses";
  return "";
}

CsvBaseline::CsvBaseline(UniqueFile file)
    : file_(std::move(file)),
      reader_(std::make_unique<CsvRecordReader>(file_.get())),
      parser_(std::make_unique<CsvRowParser>()) {}
CsvBaseline::~CsvBaseline() = default;

std::unique_ptr<CsvBaseline> CsvBaseline::Open(const std::string& path, const std::stop_token& stop,
                                               CsvBaselineError* error) {
  auto fail = [&](CsvBaselineError::Kind kind, int line,
                  std::string reason) -> std::unique_ptr<CsvBaseline> {
    *error = {kind, line, std::move(reason)};
    return nullptr;
  };
  UniqueFile file = OpenPlainFileForReading(path);
  if (!file) return fail(CsvBaselineError::Kind::kCannotOpen, 0, "");
  std::unique_ptr<CsvBaseline> baseline(new CsvBaseline(std::move(file)));
  CsvRecordReader& reader = *baseline->reader_;

  std::vector<std::string> fields;
  std::string reason;
  auto next = [&]() {
    const int line = reader.line();
    const CsvRecordReader::Result result = reader.Next(fields, reason);
    if (result == CsvRecordReader::Result::kBroken) {
      *error = {CsvBaselineError::Kind::kNotATable, line, reason};
    }
    return result;
  };
  CsvRecordReader::Result result = next();
  if (result == CsvRecordReader::Result::kBroken) return nullptr;
  if (result == CsvRecordReader::Result::kEnd) {
    return fail(CsvBaselineError::Kind::kNotATable, 1, "the file is empty");
  }
  if (fields[0].starts_with("\xEF\xBB\xBF")) fields[0].erase(0, 3);
  if (IsHeader(fields, kParsesHeader)) {
    return fail(CsvBaselineError::Kind::kNotATable, 1,
                "this is the table of parses (--csv-parses); the baseline is the table of "
                "permutations a run writes with --csv");
  }
  if (!IsHeader(fields, kHeader)) {
    return fail(CsvBaselineError::Kind::kNotATable, 1,
                "the header is not source,items,judgement,parses,roots,trees");
  }
  const std::size_t columns = fields.size();

  std::array<DegreeLists, 2> degrees;
  PatternResult pattern;
  for (std::uint64_t rows = 0;; ++rows) {
    if (rows % kRowsBetweenStops == 0 && stop.stop_requested()) {
      return fail(CsvBaselineError::Kind::kStopped, 0, "");
    }
    const std::uint64_t offset = reader.offset();
    const int line = reader.line();
    result = next();
    if (result == CsvRecordReader::Result::kBroken) return nullptr;
    if (result == CsvRecordReader::Result::kEnd) break;
    ReportKind source = ReportKind::kTagSet;
    reason = baseline->parser_->Parse(fields, columns, source, pattern);
    if (!reason.empty()) return fail(CsvBaselineError::Kind::kNotATable, line, reason);
    const std::size_t side = SourceIndex(source);
    std::vector<Row>& sideRows = baseline->rows_[side];
    if (sideRows.size() >= kNone) {
      return fail(CsvBaselineError::Kind::kNotATable, line, "the table has too many rows");
    }
    std::string& items = baseline->items_[side];
    if (items.size() + pattern.items.size() >= kNone) {
      return fail(CsvBaselineError::Kind::kNotATable, line, "the table has too many rows");
    }
    const auto number = static_cast<std::uint32_t>(sideRows.size());
    sideRows.push_back({offset, line, kNone, static_cast<std::uint32_t>(items.size()),
                        static_cast<std::uint32_t>(pattern.items.size()), false});
    items += pattern.items;
    RecordDegree(degrees[side], pattern.cls, number, pattern.count);
  }
  for (std::size_t side = 0; side < 2; ++side) {
    baseline->averages_[side] = {AverageDegree(degrees[side].overtRecords).average,
                                 AverageDegree(degrees[side].covertRecords).average};
  }
  return baseline;
}

bool CsvBaseline::ReadRow(const Row& row, PatternResult& pattern) {
  if (!reader_->Seek(row.offset, row.line)) return false;
  std::string reason;
  if (reader_->Next(fields_, reason) != CsvRecordReader::Result::kRecord) return false;
  ReportKind source = ReportKind::kTagSet;
  // The number of columns was checked when the table was opened.
  return parser_->Parse(fields_, fields_.size(), source, pattern).empty();
}

CsvBaseline::Slot& CsvBaseline::SlotOf(std::size_t side, std::string_view items) {
  std::vector<Slot>& slots = slots_[side];
  // The table has a power of two slots, at least twice as many as rows.
  const std::size_t mask = slots.size() - 1;
  for (std::size_t at = std::hash<std::string_view>()(items) & mask;; at = (at + 1) & mask) {
    Slot& slot = slots[at];
    if (slot.first == kNone || ItemsOf(side, slot.first) == items) return slot;
  }
}

void CsvBaseline::MakeSlots(std::size_t side) {
  std::size_t size = 2;
  while (size < 2 * rows_[side].size()) size *= 2;
  slots_[side].assign(size, Slot{});
  // Rows are chained from the last to the first, so that each chain is in
  // file order.
  for (std::size_t k = rows_[side].size(); k-- > 0;) {
    const auto row = static_cast<std::uint32_t>(k);
    Slot& slot = SlotOf(side, ItemsOf(side, row));
    rows_[side][row].next = slot.next;
    slot.first = slot.next = row;
  }
}

// Patterns mostly come in the order of the rows (the same data, another
// grammar): the row after the last taken is tried first, and the table of
// distinct items is made only when a pattern comes out of that order. Rows
// with the same items hold the same analysis (one run analyses the same
// items alike), so which of them a pattern takes does not change the
// comparison; a chain of the table skips the rows taken in order.
bool CsvBaseline::Take(ReportKind source, const std::string& items, PatternResult& pattern,
                       bool& readFailed) {
  const std::size_t side = SourceIndex(source);
  std::vector<Row>& rows = rows_[side];
  std::uint32_t taken = cursor_[side];
  if (taken >= rows.size() || rows[taken].taken || ItemsOf(side, taken) != items) {
    if (slots_[side].empty()) MakeSlots(side);
    Slot& slot = SlotOf(side, items);
    while (slot.next != kNone && rows[slot.next].taken) slot.next = rows[slot.next].next;
    if (slot.next == kNone) return false;
    taken = slot.next;
    slot.next = rows[taken].next;
  }
  Row& row = rows[taken];
  row.taken = true;
  cursor_[side] = taken + 1;
  if (!ReadRow(row, pattern)) readFailed = true;
  return !readFailed;
}

bool CsvBaseline::TakeRest(ReportKind source, const std::function<void(PatternResult&)>& each) {
  const std::size_t side = SourceIndex(source);
  PatternResult pattern;
  for (Row& row : rows_[side]) {
    if (row.taken) continue;
    row.taken = true;
    if (!ReadRow(row, pattern)) return false;
    each(pattern);
  }
  cursor_[side] = static_cast<std::uint32_t>(rows_[side].size());
  return true;
}

CsvBaselineComparison::CsvBaselineComparison(Comparison& comparison, CsvBaseline& baseline)
    : comparison_(comparison), baseline_(baseline) {}

void CsvBaselineComparison::SourceBegun(ReportKind kind) {
  reported_[kind == ReportKind::kTagSet ? 0 : 1] = true;
}

void CsvBaselineComparison::PatternDone(ReportKind kind, PatternResult& pattern) {
  if (failed_) return;
  bool readFailed = false;
  const bool found = baseline_.Take(kind, pattern.items, old_, readFailed);
  if (readFailed) {
    failed_ = true;
    return;
  }
  comparison_.Compare(kind, found ? &old_ : nullptr, &pattern);
}

void CsvBaselineComparison::SourceEnded(ReportKind kind, const SideAverages& averages) {
  RemoveRest(kind);
  comparison_.SetAverages(kind, baseline_.Averages(kind), averages);
}

void CsvBaselineComparison::RemoveRest(ReportKind kind) {
  if (failed_) return;
  const bool read = baseline_.TakeRest(
      kind, [&](PatternResult& old) { comparison_.Compare(kind, &old, nullptr); });
  if (!read) failed_ = true;
}

bool CsvBaselineComparison::Finish() {
  for (ReportKind kind : {ReportKind::kTagSet, ReportKind::kSequences}) {
    if (reported_[kind == ReportKind::kTagSet ? 0 : 1] || !baseline_.Has(kind)) continue;
    RemoveRest(kind);
    comparison_.SetAverages(kind, baseline_.Averages(kind), {});
  }
  return !failed_;
}

}  // namespace marvolen
