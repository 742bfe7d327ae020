// The eight text buffers in which a report is gathered before it is written.
#ifndef MARVOLEN_ANALYSIS_REPORT_SECTIONS_H_
#define MARVOLEN_ANALYSIS_REPORT_SECTIONS_H_

#include <string>

namespace marvolen {

// Passed between the run and the report builders in this order of members;
// written to the report file in the order summary, all, cannot combine,
// combinable, one way, overt, covert, degree.
struct ReportSections {
  std::string allSection;
  std::string cannotCombineSection;
  std::string combinableSection;
  std::string summarySection;
  std::string oneWaySection;
  std::string overtSection;
  std::string covertSection;
  std::string degreeSection;
};

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_REPORT_SECTIONS_H_
