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
#include "platform/text_stream.h"
#include "platform/user_interface.h"

namespace marvolen {

void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui);

void BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                          OutputStream& report, ReportSections& sections, UserInterface& ui);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORTS_H_
