// The two report builders: the tag-set permutation report and the sequences
// report. Each analyses its permutations, then writes its eight sections to
// the report (summary, all, cannot combine, combinable, one way, overt,
// covert, degree), or nothing at all when it stops on an error of its own.
//
// A report is never held in memory: the builder judges every permutation
// first (keeping one byte per permutation and one small record per
// ambiguous one), then writes the sections one after the other, searching
// the combinable permutations again to list their parses. A permutation
// with more parses than the limit is judged and counted but its parses are
// not listed: its entry shows their number instead.
//
// Stopping: `ReportOptions::stop` is checked at every permutation and every
// parse, on every thread; once a stop is requested the builder returns
// ReportEnd::kStopped within moments, leaving in the report nothing of its
// own sections. The workbench and marvolen-report use it to stop a run.
#ifndef MARVOLEN_ANALYSIS_REPORTS_H_
#define MARVOLEN_ANALYSIS_REPORTS_H_

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "analysis/divergences.h"
#include "analysis/report_observer.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "datafiles/user_interface.h"
#include "grammar/cfg_rule.h"
#include "grammar/parse_engine.h"
#include "grammar/search_engines.h"
#include "platform/text_stream.h"

namespace marvolen {

// The parses a permutation may have and still be listed, unless told
// otherwise: a million short trees fit in memory and on disk.
inline constexpr std::uint64_t kDefaultMaxParses = 1000000;

// How the builders search, and what they hand on. Whatever the engine, the
// threads and the chunk sizes, the report is the same.
struct ReportOptions {
  SearchEngine engine = kDefaultSearchEngine;
  // The threads that analyse the permutations; 0 for one per core.
  int threads = 0;
  // The permutations that a thread analyses at a time; 0 for the default.
  int chunkPermutations = 0;
  // The parses a thread lists at a time; 0 for the default. A permutation
  // with more is listed by the calling thread straight into the report.
  int chunkParses = 0;
  // The most parses a permutation may have to be listed (at least 1).
  std::uint64_t maxParses = kDefaultMaxParses;
  // A stop requested here stops the builder (ReportEnd::kStopped).
  std::stop_token stop;
  // Receive every analysed permutation and the summaries, besides the text.
  std::vector<ReportObserver*> observers;
  // When set, the observers receive the divergence points of every listed
  // ambiguous permutation, found with these groups of the run's rules (on
  // the analysing threads). The text report is the same either way.
  const RuleGroups* divergences = nullptr;
};

enum class ReportEnd {
  kWritten,         // the report's sections are written
  kStoppedOnError,  // it stopped on an error of its own, with its message
  kStopped,         // a stop was requested
};

// Analyse every ordered triple of the tags (`threeItemsOnly`), or else the
// eight four- and five-item patterns over every triple, and write the
// tag-set report. Stops without writing when memory runs out. Progress is
// reported on the calling thread, whatever the number of threads.
ReportEnd BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                            OutputStream& report, UserInterface& ui,
                            const ReportOptions& options = {});

// Analyse every line of the sequences file and write the sequences report.
// Stops without writing on a line of more than five items, or when memory
// runs out.
ReportEnd BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                               OutputStream& report, UserInterface& ui,
                               const ReportOptions& options = {});

// The same with the one search `engine`, on the calling thread (the
// options' engine, threads and stop are not used).
ReportEnd BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, OutputStream& report,
                            UserInterface& ui, ParseEngine& engine,
                            const ReportOptions& options = {});
ReportEnd BuildSequencesReport(const SequenceList& sequences, OutputStream& report,
                               UserInterface& ui, ParseEngine& engine,
                               const ReportOptions& options = {});

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORTS_H_
