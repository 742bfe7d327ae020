// The HTML report of a run: one self-contained UTF-8 page (its style and
// script inline, nothing loaded from elsewhere) with the summary of both
// reports, their permutations by judgement with the parses of each drawn as
// trees, the degree rankings as sortable tables, a search box and filters.
//
// The page carries compact data, not markup: a table of the strings met
// (items, labels, titles), then one short record per permutation (its
// judgement, its items and its trees in the code of tree_code.h, with the
// marks of what differs between its parses), written in blocks as the
// permutations come, and the summary of each report at its end. Its script
// draws what is shown when it is shown: a page of a section, the trees of
// the permutations on it (with the tree layout of src/drawing, ported to the
// script). So the page stays far smaller than the text report and opens at
// once, however many permutations there are.
//
// The trees come from a search of the writer's own, made again for each
// permutation that combines, so that what differs between the parses can be
// marked; their bracketed texts are checked against those of the report. A
// permutation with more parses than kHtmlParses has the first kHtmlParses of
// its bracketed parses in the page, and no trees; one with more than the
// run lists has its number only, as in the text report.
//
// The section 规则 has a block of its own (see WriteRules); the section
// 变化 of a comparison has blocks made by the comparison's writer
// (WriteSectionData).
//
// Data block format (each a JSON object in a <script type="application/json"
// class="mv-data"> element; every "<", ">" and "&" in a string escaped):
//   {"k":"i", "tags":[...], "limit":N}      the page: the tag set and the
//                                            run's listing limit
//   {"k":"b", "r":R, "kind":"tagset"|"sequences", "n":N}   report R begins
//   {"k":"p", "r":R, "s":[...], "x":[...], "p":"..."}      permutations: new
//       strings of the table, new bracketed texts, records, a blank
//       between two:
//       record := J items ["#" count] ["!"] ["@" points] {"|" tree}
//       J "0" cannot combine, "1" one way, "2" overt, "3" covert; items the
//       table numbers of the items, "." between two; count given when it is
//       not the number of trees; "!" for parses more than the run lists;
//       points the divergence points (analysis/divergences.h), ";" between
//       two, each first "-" last item (from 1) ":" the table numbers of its
//       competing rules ("R07 NP -> n NP"), "." between two; tree a tree
//       code, or "~" and the number of a bracketed text
//   {"k":"e", "r":R, "c":[7 counts], "a":[covert, overt average or null],
//    "rc":"n,c;n,c...", "ro":"...",                 report R's summary and
//    "src":[{"t":"R07|R08", "g":["R07 NP -> n NP",...], ranked degree records,
//            "o":N, "c":N, "a":"2.000000", "x":[n,...]}]}   and its sources of
//                                                    ambiguity: competing rules
//       (short, then each), overt and covert patterns, their average degree
//       and the report numbers of the first three; the most patterns first
#ifndef MARVOLEN_EXPORT_HTML_REPORT_H_
#define MARVOLEN_EXPORT_HTML_REPORT_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/divergences.h"
#include "analysis/parse_differences.h"
#include "analysis/report_observer.h"
#include "analysis/reports.h"
#include "encoding/gbk.h"
#include "export/tree_code.h"
#include "grammar/cfg_rule.h"
#include "grammar/parse_engine.h"
#include "platform/text_stream.h"
#include "rules/rule_effects.h"

namespace marvolen {

// Parses of one permutation that the page holds at most.
inline constexpr std::uint64_t kHtmlParses = 1000;

// What the page shows besides the reports.
struct HtmlReportInfo {
  std::vector<std::string> tags;  // the tag set, GBK
};

// Append `utf8` to `out` as a JSON string, safe inside an HTML script
// element: quotes, backslashes, control characters, "<", ">", "&", U+2028
// and U+2029 escaped.
void AppendJsonString(std::string_view utf8, std::string& out);

class HtmlReportWriter : public ReportObserver {
 public:
  // Write the head of the page to `out` (made with
  // OutputStream::LineEnds::kAsGiven). The writer searches `rules` with the
  // options' engine and stops with them (SearchStopped); `rules` and `out`
  // must outlive it.
  HtmlReportWriter(OutputStream& out, const RuleSet& rules, const ReportOptions& options,
                   const HtmlReportInfo& info);
  ~HtmlReportWriter() override;

  HtmlReportWriter(const HtmlReportWriter&) = delete;
  HtmlReportWriter& operator=(const HtmlReportWriter&) = delete;

  void BeginReport(ReportKind kind, std::int64_t permutations) override;
  void BeginPermutation(const ListedPermutation& permutation) override;
  void Parse(std::string_view bracketed, std::string_view rootLabel) override;
  void EndReport(const ReportSummary& summary) override;
  // Their records, from the source's item codes where it has them.
  void CannotCombine(const PermutationSource& source, std::int64_t first, std::int64_t last,
                     std::string_view prepared) override;
  // The trees of each permutation and the marks of what differs between
  // them are made on the analysing threads.
  const PermutationPreparer* Preparer() const override { return preparer_.get(); }

  // Remove from the page a report that began and did not end (it stopped on
  // an error of its own, and the text report holds none of it either).
  void DropUnfinishedReport();

  // Write the data of the section 规则: per rule its file place, usage and
  // what the run would give without it, and the findings of the data files'
  // checks (FormatFindings' lines), as the block
  //   {"k":"rules", "rows":[[rule, place, usage, without, usage, without,
  //    used]], "lint":[finding...]}
  // (UTF-8; tag set then sequences, null for a source the run had not).
  // Call after the reports, before Finish.
  void WriteRules(const RuleSet& rules, const std::vector<RuleEffect>& effects,
                  const std::string& rulesName, const std::string& findings);

  // Write the rest of the page; the caller closes the stream.
  void Finish();

  // Write a data block of a section made elsewhere (its JSON object, every
  // string written with AppendJsonString), between the reports' blocks. The
  // blocks of the section 变化 (compare/html_changes.h) come this way.
  void WriteSectionData(const std::string& json) { WriteData(json); }

 private:
  void EndPermutation();
  // Append the table numbers of the items to record_, "." between two.
  void AppendItemNumbers(const Permutation& permutation);
  // Add record_ to the block, and write the block when it is full.
  void AddRecord();
  void WriteBlock();
  void WriteData(const std::string& json);
  // The report's sources of ambiguity as a JSON array.
  void AppendSources(std::string& json);

  OutputStream& out_;
  Utf8Converter utf8_;
  std::unique_ptr<ParseEngine> engine_;  // for permutations given without their trees
  std::unique_ptr<PermutationPreparer> preparer_;
  std::unique_ptr<PermutationPreparer::Run> ownRun_;
  StringTable table_;
  int report_ = -1;
  bool reportOpen_ = false;
  std::uint64_t reportStart_ = 0;
  std::size_t tableAtReportStart_ = 0;
  std::size_t textsAtReportStart_ = 0;

  // The permutation being taken.
  bool permutationOpen_ = false;
  ListedPermutation permutation_;
  // Its trees in the code of tree_code.h with their strings in place (see
  // AppendTreeCodes in html_report.cc), when they are drawn; empty else.
  std::string trees_;
  std::uint64_t parsesSeen_ = 0;
  std::vector<std::string> texts_;  // the first kHtmlParses bracketed parses (GBK)
  std::vector<int> numbers_;        // of the strings of trees_, as met
  // The last permutation's items and their numbers in the table, and the
  // numbers of the rule groups met (-1: not yet).
  std::vector<std::pair<std::string, int>> lastItems_;
  std::vector<int> groupNumbers_;
  // The numbers in the table of the report's item codes, in decimal (empty:
  // not yet).
  std::vector<std::string> codeNumbers_;
  std::string record_;
  std::string points_;  // the record's points, from "@"

  // The sources of ambiguity of the report being taken, and the groups of
  // rules its points name.
  AmbiguitySources sources_;
  const RuleGroups* groups_ = nullptr;

  // The block being gathered.
  std::string records_;
  std::vector<std::string> newTexts_;  // bracketed texts, UTF-8
  std::size_t textCount_ = 0;          // bracketed texts in the page
  int recordsInBlock_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_EXPORT_HTML_REPORT_H_
