// The section 变化 of the HTML report: what a comparison found, written
// into the page as data blocks (see export/html_report.h) for its script to
// show: per source the judgement transition table, and each changed pattern
// with its old and new parses, which of them were lost and gained, and the
// rules only they use.
//
// The changed patterns are written as they come, in blocks, so that the
// writer holds one block at a time, never the report. Blocks (UTF-8):
//   {"k":"c", "c":[change...]}    changed patterns, in the order they came:
//     change := {"s":"tagset"|"sequences", "i":items,
//                "o":[judgement, "parses"] or null (added),
//                "n":[judgement, "parses"] or null (removed),
//                "op":[old parse...], "l":[index in op of each lost parse],
//                "np":[new parse...], "g":[index in np of each gained parse],
//                "rg":[rule gained...], "rl":[rule lost...],
//                "cmp":false when a side's parses were not all known}
//     judgement 0-3 as the records of the reports; parses bracketed as in
//     the report, at most kHtmlParses of each side ("o"/"n" give the
//     counts, as decimal text); rules as "R14 NP -> VP u<的>".
//   {"k":"ct", "base":"...", "src":[{"s":"tagset", "t":[[5 counts] x 5],
//     "n":patterns, "ch":changed, "oa":[covert, overt], "na":[...]}]}
//     the tables, old judgement by row, new by column, the last row the
//     patterns added, the last column those removed; averages as text or
//     null. Written once the comparison is complete; a page without it
//     shows no section 变化 (its changes, if any, are of a comparison that
//     could not be made).
#ifndef MARVOLEN_COMPARE_HTML_CHANGES_H_
#define MARVOLEN_COMPARE_HTML_CHANGES_H_

#include <string>

#include "compare/comparison.h"
#include "encoding/gbk.h"
#include "export/html_report.h"

namespace marvolen {

class HtmlChangesWriter : public ChangeSink {
 public:
  // `page` must outlive the writer.
  explicit HtmlChangesWriter(HtmlReportWriter& page) : page_(page) {}
  HtmlChangesWriter(const HtmlChangesWriter&) = delete;
  HtmlChangesWriter& operator=(const HtmlChangesWriter&) = delete;

  void Changed(const PatternChange& change) override;

  // Write the changes gathered and then the tables of `comparison`, named
  // by `baseline` (UTF-8); without a comparison (it could not be made) the
  // changes gathered are dropped. Call before the page's Finish.
  void Finish(const Comparison* comparison, const std::string& baseline);

 private:
  void WriteBlock();

  HtmlReportWriter& page_;
  Utf8Converter utf8_;
  std::string block_;
  int changesInBlock_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_COMPARE_HTML_CHANGES_H_
