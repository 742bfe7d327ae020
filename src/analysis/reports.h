// The two report builders: the tag-set permutation report and the sequences
// report. Each replaces the content of the sections, analyses its
// permutations, and writes the eight sections to the report at its end
// (nothing when it stops on an error of its own).
#ifndef MARVOLEN_ANALYSIS_REPORTS_H_
#define MARVOLEN_ANALYSIS_REPORTS_H_

#include "analysis/report_sections.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "grammar/cfg_rule.h"
#include "grammar/parse_engine.h"
#include "grammar/search_engines.h"
#include "platform/text_stream.h"
#include "platform/user_interface.h"

namespace marvolen {

// How the builders search. Whatever the choice, the report is the same.
struct ReportOptions {
  SearchEngine engine = SearchEngine::kChart;
  // The threads that analyse the tag-set report's permutations; 0 for one
  // per core.
  int threads = 0;
  // The permutations that a thread analyses at a time; 0 for the default.
  int chunkPermutations = 0;
};

// Analyse every ordered triple of the tags (`threeItemsOnly`), or else the
// eight four- and five-item patterns over every triple, and write the
// tag-set report. Stops without writing when memory runs out. Progress is
// reported on the calling thread, whatever the number of threads.
void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui,
                       const ReportOptions& options = {});

// Analyse every line of the sequences file and write the sequences report.
// Stops without writing on a line of more than five items, or when memory
// runs out. The lines are analysed on the calling thread.
void BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                          OutputStream& report, ReportSections& sections, UserInterface& ui,
                          const ReportOptions& options = {});

// The same with the one search `engine`, on the calling thread.
void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui,
                       ParseEngine& engine);
void BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                          OutputStream& report, ReportSections& sections, UserInterface& ui,
                          ParseEngine& engine);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORTS_H_
