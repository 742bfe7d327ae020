// The outline of a report: where its sections begin, to jump to them. Each
// of the two reports (the tag set's permutations, the sequences) has its
// summary, the lists of all, cannot combine, combinable, one way, overt and
// covert permutations, and its degree statistics with the covert and overt
// rankings and their averages. Headings are the report's own lines that
// start at the line's beginning (entries and counts are indented).
#ifndef MARVOLEN_SHELL_REPORT_OUTLINE_H_
#define MARVOLEN_SHELL_REPORT_OUTLINE_H_

#include <QString>
#include <string_view>
#include <vector>

namespace marvolen {

struct OutlineEntry {
  int depth;      // 0: a report, 1: a section, 2: a ranking, 3: its average
  QString title;  // short, in the report's words
  qint64 line;    // where it begins, 1 for the first line
  // The patterns a list or a ranking holds (its indented lines but the
  // "none" line); -1 for the other entries.
  qint64 count = -1;
  bool operator==(const OutlineEntry&) const = default;
};

// The outline of the report `bytes` (GBK, as in the file), in order.
std::vector<OutlineEntry> BuildReportOutline(std::string_view bytes);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_REPORT_OUTLINE_H_
