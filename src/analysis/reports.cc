// The report builders. Until the analysis engine lands they produce nothing,
// so a run leaves the report file empty.
#include "analysis/reports.h"

namespace marvolen {

void BuildTagSetReport(bool, const TagSet&, const RuleSet&, OutputStream&, ReportSections&,
                       UserInterface&) {}

void BuildSequencesReport(const SequenceList&, const RuleSet&, OutputStream&, ReportSections&,
                          UserInterface&) {}

}  // namespace marvolen
