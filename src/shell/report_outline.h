// The outline of a report: where its sections begin, to jump to them. Each
// of the two reports (the tag set's permutations, the sequences) has its
// summary, the lists of all, cannot combine, combinable, one way, overt and
// covert permutations, and its degree statistics with the covert and overt
// rankings and their averages. Headings are the report's own lines that
// start at the line's beginning (entries and counts are indented).
#ifndef MARVOLEN_SHELL_REPORT_OUTLINE_H_
#define MARVOLEN_SHELL_REPORT_OUTLINE_H_

#include <QString>
#include <algorithm>
#include <string_view>
#include <vector>

namespace marvolen {

struct OutlineEntry {
  int depth;      // 0: a report, 1: a section, 2: a ranking, 3: its average
  QString title;  // short, in the workbench's language
  qint64 line;    // where it begins, 1 for the first line
  // The patterns a list or a ranking holds (its indented lines but the
  // "none" line); -1 for the other entries.
  qint64 count = -1;
  bool operator==(const OutlineEntry&) const = default;
};

// The outline of the report `bytes` (GBK, as in the file), in order.
std::vector<OutlineEntry> BuildReportOutline(std::string_view bytes);

// The same outline built as the report is read, piece by piece: each piece
// fed must end at a line end, but for the report's last line. After every
// piece the outline holds the entries of the lines fed so far; only the
// last list's count may still grow.
class ReportOutliner {
 public:
  void Feed(std::string_view lines);
  const std::vector<OutlineEntry>& outline() const { return outline_; }
  // The first entry the next piece may change: the list being counted, or
  // the first entry still to come.
  std::size_t firstOpen() const { return std::min(counted_, outline_.size()); }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::vector<OutlineEntry> outline_;
  std::size_t counted_ = kNone;  // the entry whose patterns are being counted
  qint64 number_ = 1;            // the number of the next line
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_REPORT_OUTLINE_H_
