// What a report hands on besides its text: every analysed permutation in
// report order with its judgement and its parses, then the report's counts
// and degree rankings. Other outputs of the same run (a table, a web page)
// are made from these, from the very judgements the text report shows.
//
// Parses come one at a time, so that a permutation with very many of them
// is never held whole; a permutation with more parses than the run's limit
// comes with its count and without parses, as in the text report.
#ifndef MARVOLEN_ANALYSIS_REPORT_OBSERVER_H_
#define MARVOLEN_ANALYSIS_REPORT_OBSERVER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/classification.h"
#include "analysis/degree_records.h"
#include "analysis/divergences.h"
#include "grammar/parse_engine.h"
#include "grammar/permutation.h"

namespace marvolen {

class PermutationSource;

// One permutation of a report, as analysed.
struct ListedPermutation {
  std::int64_t number = 0;                   // in report order, from 0
  const Permutation* permutation = nullptr;  // its items
  // The report's permutations (for the item codes of this one), when the
  // analysing threads list it; null otherwise.
  const PermutationSource* source = nullptr;
  PermutationClass cls = PermutationClass::CannotCombine;
  std::uint64_t count = 0;  // distinct parses (kManyParses: at least that)
  bool listed = true;       // false: more than the limit, no parses follow
  // False when the listing left out the texts of its parses, as every
  // observer's preparer had made all it needed of them (then `count` says
  // how many there are).
  bool parsesFollow = true;
  // Its divergence points, found with `groups`, when the report looks for
  // them (ReportOptions::divergences) and the permutation is ambiguous and
  // listed; null otherwise. Valid during BeginPermutation only.
  const DivergencePoints* points = nullptr;
  const RuleGroups* groups = nullptr;
  // Its parses as trees in list order, when the listing built them all (to
  // find its points); null otherwise. Valid during BeginPermutation and
  // PermutationPreparer::Run::Prepare only.
  const ParseList* trees = nullptr;
  // What the observer's preparer (ReportObserver::Preparer) made of it on
  // an analysing thread; empty without one. Valid during BeginPermutation
  // only.
  std::string_view prepared;
  bool hasPrepared = false;  // a preparer made `prepared`
  // Internal to the report writer: what every observer's preparer made, by
  // observer, before each observer is given its own as `prepared`.
  const std::vector<std::string_view>* preparedByObserver = nullptr;
};

// Work that an observer taking the permutations in report order has done
// for it on the analysing threads, beside their search, so that the thread
// that writes the reports only puts the results in place.
class PermutationPreparer {
 public:
  // One analysing thread's preparing of a run of permutations; its state
  // (caches, buffers) is its own.
  class Run {
   public:
    virtual ~Run() = default;
    // Append what the observer needs of `permutation` to `out`. `engine`
    // has just counted the permutation's parses when it is listed and
    // combines, and may then print, visit or build them; null otherwise.
    // The permutation's points, when the report looks for them, are set.
    // True when the observer still needs the texts of its parses (Parse);
    // when no observer does, the listing leaves them out.
    virtual bool Prepare(const ListedPermutation& permutation, ParseEngine* engine,
                         std::string& out) = 0;
  };
  virtual ~PermutationPreparer() = default;
  // May be called on several threads at once.
  virtual std::unique_ptr<Run> Begin() const = 0;
};

// Receives the permutations of a report and their parses, one at a time.
class ParseSink {
 public:
  virtual ~ParseSink() = default;
  // A permutation; its parses, when listed, follow before the next one.
  virtual void BeginPermutation(const ListedPermutation& permutation) = 0;
  // One parse: its bracketed text and its root label.
  virtual void Parse(std::string_view bracketed, std::string_view rootLabel) = 0;
};

enum class ReportKind {
  kTagSet,     // the tag-set permutation report
  kSequences,  // the sequences report
};

// The end of a report: its counts and its ranked degree records.
struct ReportSummary {
  ReportKind kind = ReportKind::kTagSet;
  const PermutationSource* source = nullptr;  // the items of a record's permutation
  ClassCounters counters;
  // Ranked: the greatest count first, equal counts in report order.
  std::vector<DegreeRecord> covertRecords;
  std::vector<DegreeRecord> overtRecords;
};

// Observes the reports of a run. Calls come on the thread that builds the
// reports, in report order.
class ReportObserver : public ParseSink {
 public:
  virtual void BeginReport(ReportKind kind, std::int64_t permutations) = 0;
  virtual void EndReport(const ReportSummary& summary) = 0;

  // False for an observer that takes the permutations that combine in any
  // order, each whole with its parses, and none of those that cannot
  // combine (the summary counts them): it is then given them as the report
  // lists them by judgement, which costs no search of its own.
  virtual bool InReportOrder() const { return true; }

  // For an observer in report order: what prepares its permutations on the
  // analysing threads (each then comes with ListedPermutation::prepared), or
  // null. It must live as long as the observer. Its Begin is called after
  // the observer's BeginReport, for that report.
  virtual const PermutationPreparer* Preparer() const { return nullptr; }

  // For an observer in report order: the permutations first to last - 1 of
  // `source`, one after another, none of which can combine (listed, no
  // parses), in place of a BeginPermutation for each. `prepared` is what
  // the preparer made of each of them, one after another. Most permutations
  // of a tag-set report come so, many at a time. By default each is given
  // to BeginPermutation without what was prepared: an observer with a
  // preparer overrides it.
  virtual void CannotCombine(const PermutationSource& source, std::int64_t first, std::int64_t last,
                             std::string_view prepared);
};

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORT_OBSERVER_H_
