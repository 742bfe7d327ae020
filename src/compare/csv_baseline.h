// A baseline read from the table of permutations an earlier run wrote with
// --csv, so that a run compares with any earlier run without keeping its
// grammar.
//
// The table is read as its writer writes it: a byte-order mark (a table
// without one is taken too), the header
//   source,items,judgement,parses,roots,trees
// (columns after these are ignored), records ended by CR LF (a lone LF is
// taken too), fields quoted as RFC 4180 quotes them, and the single quote
// the writer puts before a cell that a spreadsheet would take for a formula
// removed again. The whole table is checked when it is opened, so that a
// table that is not one of ours ends the run before anything is written.
//
// Only the items of each row and its place in the file are kept (an index):
// a row's judgement, number of parses and parses are read from the file
// again when the current run gives its pattern. Memory grows with the
// number of rows, never with their parses.
//
// A pattern of the current run is matched with the row of the same source
// and items; a sequences file may hold a line twice, so the k-th pattern
// with given items is matched with the k-th row with them. A row whose
// trees cell was cut at the cell limit, or whose parses were more than its
// run listed, gives a pattern without listed parses (only its judgement and
// number of parses are compared).
//
// The rules a parse of the table uses can only be named by the current
// rules file: a rule it no longer has is named without a title.
#ifndef MARVOLEN_COMPARE_CSV_BASELINE_H_
#define MARVOLEN_COMPARE_CSV_BASELINE_H_

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "compare/comparison.h"
#include "platform/file_system.h"

namespace marvolen {

class CsvRecordReader;
class CsvRowParser;

// Why a table could not be taken as a baseline.
struct CsvBaselineError {
  enum class Kind {
    kCannotOpen,  // the file could not be opened
    kNotATable,   // not a table of permutations written by --csv
    kStopped,     // the stop was requested while it was read
  };
  Kind kind = Kind::kCannotOpen;
  int line = 0;        // kNotATable: the line of the fault (1 for the first)
  std::string reason;  // kNotATable: what is wrong there (UTF-8)
};

class CsvBaseline {
 public:
  // Read and check the table at `path` (a native path); null with `error`
  // filled when it cannot be taken.
  static std::unique_ptr<CsvBaseline> Open(const std::string& path, const std::stop_token& stop,
                                           CsvBaselineError* error);

  CsvBaseline(const CsvBaseline&) = delete;
  CsvBaseline& operator=(const CsvBaseline&) = delete;
  ~CsvBaseline();

  // Whether the table has rows of `source`.
  bool Has(ReportKind source) const { return !Rows(source).empty(); }
  // The average degrees of the rows of `source`.
  const SideAverages& Averages(ReportKind source) const { return averages_[SourceIndex(source)]; }

  // The next row of `source` with `items` (GBK) not yet taken, read into
  // `pattern`; false when there is none. `readFailed` is set when the row
  // could not be read again (the file changed since it was opened).
  bool Take(ReportKind source, const std::string& items, PatternResult& pattern, bool& readFailed);
  // Every row of `source` not taken, in file order, handed to `each`; false
  // when one could not be read again.
  bool TakeRest(ReportKind source, const std::function<void(PatternResult&)>& each);

 private:
  struct Row {
    std::uint64_t offset = 0;  // where its record begins
    int line = 0;
    std::uint32_t next = kNone;  // the next row of the source with the same items
    std::uint32_t itemsAt = 0;   // its items in items_
    std::uint32_t itemsSize = 0;
    bool taken = false;
  };
  // A slot of the table of distinct items (open addressing): the first row
  // with them, which names them, and the first of them not taken.
  struct Slot {
    std::uint32_t first = kNone;
    std::uint32_t next = kNone;
  };
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  static std::size_t SourceIndex(ReportKind source) {
    return source == ReportKind::kTagSet ? 0 : 1;
  }
  const std::vector<Row>& Rows(ReportKind source) const { return rows_[SourceIndex(source)]; }

  explicit CsvBaseline(UniqueFile file);
  bool ReadRow(const Row& row, PatternResult& pattern);
  std::string_view ItemsOf(std::size_t side, std::uint32_t row) const {
    const Row& r = rows_[side][row];
    return std::string_view(items_[side]).substr(r.itemsAt, r.itemsSize);
  }
  // The slot of `items`, or the empty slot where they would go.
  Slot& SlotOf(std::size_t side, std::string_view items);
  void MakeSlots(std::size_t side);

  UniqueFile file_;
  std::array<std::vector<Row>, 2> rows_;
  // Per source: the items of every row one after another (GBK); the table
  // of distinct items, made when a pattern first comes out of file order;
  // the row after the last taken.
  std::array<std::string, 2> items_;
  std::array<std::vector<Slot>, 2> slots_;
  std::array<std::uint32_t, 2> cursor_{};
  std::unique_ptr<CsvRecordReader> reader_;
  std::unique_ptr<CsvRowParser> parser_;
  std::vector<std::string> fields_;
  std::array<SideAverages, 2> averages_;
};

// The observer of the current run's reports that compares each pattern with
// the baseline's row as it comes. Rows of the baseline that the run does not
// give are removed patterns: those of a source the run reports when its
// report ends, those of a source it does not report at Finish.
class CsvBaselineComparison : public PatternCollector {
 public:
  // Both must outlive it.
  CsvBaselineComparison(Comparison& comparison, CsvBaseline& baseline);

  // After the current run's reports. True when every row of the baseline
  // could be read again.
  bool Finish();

 protected:
  void SourceBegun(ReportKind kind) override;
  void PatternDone(ReportKind kind, PatternResult& pattern) override;
  void SourceEnded(ReportKind kind, const SideAverages& averages) override;

 private:
  void RemoveRest(ReportKind kind);

  Comparison& comparison_;
  CsvBaseline& baseline_;
  std::array<bool, 2> reported_{};
  PatternResult old_;
  bool failed_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_COMPARE_CSV_BASELINE_H_
