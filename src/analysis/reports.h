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
#include "platform/text_stream.h"
#include "platform/user_interface.h"

namespace marvolen {

// Analyse every ordered triple of the tags (`threeItemsOnly`), or else the
// eight four- and five-item patterns over every triple, and write the
// tag-set report. Stops without writing when memory runs out.
void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui);

// Analyse every line of the sequences file and write the sequences report.
// Stops without writing on a line of more than five items, or when memory
// runs out.
void BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                          OutputStream& report, ReportSections& sections, UserInterface& ui);

// The same with the search `engine` in place of the literal reduction search.
void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui,
                       ParseEngine& engine);
void BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                          OutputStream& report, ReportSections& sections, UserInterface& ui,
                          ParseEngine& engine);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORTS_H_
