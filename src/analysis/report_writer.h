// Writing one report, tag-set or sequences: the permutations come from a
// PermutationSource, the texts from a ReportTexts, and both reports are
// written by the same steps.
//
// 1. Judge: every permutation is searched (on every thread, in chunks, the
//    results taken in report order) and only its judgement is kept: one
//    byte per permutation, and a record of number and count for each
//    ambiguous one. Messages (a line of too many items, parses too many to
//    list) come here, in report order. The observers that take every
//    permutation in report order are given each here, with its parses, from
//    the search that judged it: what they need of it is made on the
//    analysing threads (ReportObserver::Preparer) and handed on by the
//    calling thread; those that cannot combine, most of a tag-set report,
//    come many at a time (ReportObserver::CannotCombine), what is made of
//    them in one piece.
// 2. Write, in report order: the summary; the all, cannot-combine and
//    combinable sections from the judgements; the one-way, overt and covert
//    sections, for each of which its permutations are searched again and
//    their parses printed one at a time (in chunks on every thread, or, for
//    a permutation with very many parses, by the calling thread straight
//    into the report), and the other observers given them as listed there;
//    the degree statistics from the ranked records.
// 3. Hand the summary to the observers, when there are any.
// Memory thus stays small whatever the size of the report.
#ifndef MARVOLEN_ANALYSIS_REPORT_WRITER_H_
#define MARVOLEN_ANALYSIS_REPORT_WRITER_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_observer.h"
#include "analysis/reports.h"
#include "analysis/text_pattern.h"
#include "datafiles/user_interface.h"
#include "grammar/parse_engine.h"
#include "grammar/permutation.h"
#include "platform/text_stream.h"

namespace marvolen {

// The permutations of one report, by their number in report order.
class PermutationSource {
 public:
  virtual ~PermutationSource() = default;

  virtual std::int64_t count() const = 0;

  // Fill `permutation` with permutation `number`. False when it has more
  // items than a permutation holds, which stops the report.
  virtual bool Build(std::int64_t number, Permutation& permutation) const = 0;

  // Append its items as the report's lines show them.
  virtual void AppendItems(std::int64_t number, std::string& out) const = 0;

  // Its items as codes into `codes`, each code standing for one text
  // (ItemText; two codes may stand for the same text), and their count; 0
  // when the source does not code its items (then Build gives them).
  virtual int ItemCodes(std::int64_t /*number*/, std::array<int, kMaxItems>& /*codes*/) const {
    return 0;
  }
  // The text (GBK) of an item code that ItemCodes gave.
  virtual std::string_view ItemText(int /*code*/) const { return {}; }
};

// The headings of the seven sections that a report gives its own (all but
// the summary), GBK.
struct SectionHeadings {
  std::string all, cannotCombine, combinable, oneWay, overt, covert, degree;
};

// The texts of one report, GBK; both reports have texts of this shape.
struct ReportTexts {
  SectionHeadings headings;
  // What ends an item line in the cannot-combine section, after the items.
  std::string cannotCombineLineEnd = "\n";
  // What follows the items in a line of the degree statistics.
  std::string recordItemsEnd = "\t";
  std::string covertTitle;
  TextPattern covertAverage;
  std::string covertNone;
  std::string overtTitle;
  TextPattern overtAverage;
  std::string overtNone;
  // The first three counts of the summary: analysed, cannot combine,
  // combinable. The other four (one way, two or more ways, overt, covert)
  // read the same in both reports.
  TextPattern summary[3];
};

// What a report is made of.
struct ReportPlan {
  ReportKind kind = ReportKind::kTagSet;
  const PermutationSource* source = nullptr;
  const ReportTexts* texts = nullptr;
  // Written before the seven counts of the summary (the tag-set report's
  // list of tags), GBK.
  std::string summaryHead;
};

// Judge and write the report with `engines`: one per analysing thread and,
// when there are several, the last for the calling thread. The options'
// chunk sizes, limit, stop and observers apply; the caller shows the busy
// state.
ReportEnd WriteReport(const ReportPlan& plan, const std::vector<ParseEngine*>& engines,
                      OutputStream& out, UserInterface& ui, const ReportOptions& options);

// The line that stands in an ambiguous permutation's entry for parses too
// many to list, GBK: "\t\t共有N种组合方式，超出上限M种，未逐一列出\n".
std::string UnlistedParsesLine(std::uint64_t count, std::uint64_t limit);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORT_WRITER_H_
