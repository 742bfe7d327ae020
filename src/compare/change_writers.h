// The outputs of a comparison: the text printed on stdout (UTF-8) and the
// CSV table of changed patterns.
//
// The text gives, per source, the judgement transition table and the
// average degrees, then the changed patterns: first those whose judgement
// changed, then those whose parses alone changed, each in report order:
//   sequences  v n u<的> n  overt -> one_way  parses 2 -> 1
//     - NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n)
//     rules lost: R14 NP -> VP u<的>
// ("+" a parse gained, "-" a parse lost). The changed patterns are kept
// outside memory once they are many, so that the text can come in that
// order without holding the report.
//
// The CSV table (UTF-8 with a byte-order mark, RFC 4180 as the run's other
// tables, safe in a spreadsheet) has the header
//   source,items,old_judgement,new_judgement,old_parses,new_parses,gained,
//   lost,rules_gained,rules_lost
// one row per changed pattern in report order; a judgement of a pattern on
// one side only is empty, parses are " | "-separated, rules "; "-separated,
// and a cell cut at the cell limit ends in a mark.
#ifndef MARVOLEN_COMPARE_CHANGE_WRITERS_H_
#define MARVOLEN_COMPARE_CHANGE_WRITERS_H_

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "compare/comparison.h"
#include "encoding/gbk.h"
#include "platform/text_stream.h"

namespace marvolen {

// Text appended in memory until it grows large, then to an unnamed
// temporary file the system removes.
class ScratchText {
 public:
  ScratchText() = default;
  ScratchText(const ScratchText&) = delete;
  ScratchText& operator=(const ScratchText&) = delete;

  void Append(std::string_view text);
  // Hand the whole text to `out` in pieces; false when `out` refused one or
  // the temporary file could not be read back.
  bool CopyTo(const std::function<bool(std::string_view)>& out);
  bool empty() const { return memory_.empty() && !file_; }

 private:
  void Spill();

  std::string memory_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, &std::fclose};
  bool failed_ = false;
};

// Gathers the text of the changed patterns.
class ChangeText : public ChangeSink {
 public:
  void Changed(const PatternChange& change) override;

  // The whole text: the tables of `comparison`, then the changed patterns.
  // `title` is its first line (UTF-8).
  bool WriteTo(const std::string& title, const Comparison& comparison,
               const std::function<bool(std::string_view)>& out);

 private:
  Utf8Converter utf8_;
  ScratchText judgements_, parses_;
  std::string line_;
};

// The text of the tables of one source (UTF-8), as the text above begins.
std::string TransitionTableText(ReportKind source, const SourceComparison& side);

// Writes the CSV table of changed patterns.
class ChangesCsvWriter : public ChangeSink {
 public:
  // Writes the byte-order mark and the header to `out` (made with
  // OutputStream::LineEnds::kAsGiven), which must outlive the writer.
  explicit ChangesCsvWriter(OutputStream& out);
  ChangesCsvWriter(const ChangesCsvWriter&) = delete;
  ChangesCsvWriter& operator=(const ChangesCsvWriter&) = delete;

  void Changed(const PatternChange& change) override;

 private:
  OutputStream& out_;
  Utf8Converter utf8_;
  std::string row_, piece_;
};

}  // namespace marvolen

#endif  // MARVOLEN_COMPARE_CHANGE_WRITERS_H_
