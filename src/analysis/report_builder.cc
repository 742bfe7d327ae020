// The parts of a report that both builders write alike.
#include "analysis/report_builder.h"

#include <algorithm>
#include <thread>

#include "platform/gbk.h"

namespace marvolen {

namespace {

// The "none" texts of the category sections, GBK.
struct NoneTexts {
  std::string cannotCombine = Gbk("\t没有不能组合的格式!!!");
  std::string combinable = Gbk("\t没有能组合的格式!!!");
  std::string oneWay = Gbk("\t没有[无歧义格式]!!!");
  std::string overt = Gbk("\t没有外显型歧义格式!!!");
  std::string covert = Gbk("\t没有内含型歧义格式!!!");
};

const NoneTexts& GetNoneTexts() {
  static const NoneTexts texts;
  return texts;
}

}  // namespace

ProgressMeter::ProgressMeter(UserInterface& ui, std::int64_t total)
    : ui_(ui), total_(total), step_(std::max<std::int64_t>(1, total / 200)) {}

void ProgressMeter::Done(std::int64_t done) {
  if (done - reported_ >= step_ || (done == total_ && reported_ != total_)) {
    reported_ = done;
    ui_.Progress(done, total_);
  }
}

int AnalysisThreads(const ReportOptions& options) {
  if (options.threads > 0) return options.threads;
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void ReplaceWithHeadings(const SectionHeadings& headings, ReportSections& sections) {
  sections.allSection = headings.all;
  sections.cannotCombineSection = headings.cannotCombine;
  sections.combinableSection = headings.combinable;
  sections.oneWaySection = headings.oneWay;
  sections.overtSection = headings.overt;
  sections.covertSection = headings.covert;
  sections.degreeSection = headings.degree;
}

void AppendParseEntry(PermutationClass cls, const std::string& itemLine, const ParseList& parses,
                      std::string& out) {
  out += itemLine;
  if (cls == PermutationClass::OneWay) {
    out += "\t\t";
    PrintTree(parses.front().get(), out);
    out += '\n';
    return;
  }
  for (std::size_t k = 0; k < parses.size(); ++k) {
    out += "\t\t[";
    out += std::to_string(k + 1);
    out += ']';
    PrintTree(parses[k].get(), out);
    out += '\n';
  }
}

std::string* ParseSectionFor(PermutationClass cls, ReportSections& sections) {
  switch (cls) {
    case PermutationClass::OneWay:
      return &sections.oneWaySection;
    case PermutationClass::Overt:
      return &sections.overtSection;
    case PermutationClass::Covert:
      return &sections.covertSection;
    case PermutationClass::CannotCombine:
      break;
  }
  return nullptr;
}

void AppendCategoryEntries(PermutationClass cls, const std::string& itemLine,
                           const std::string& cannotCombineLine, const ParseList& parses,
                           ReportSections& sections) {
  if (cls == PermutationClass::CannotCombine) {
    sections.cannotCombineSection += cannotCombineLine;
    return;
  }
  sections.combinableSection += itemLine;
  AppendParseEntry(cls, itemLine, parses, *ParseSectionFor(cls, sections));
}

std::array<int, 7> SummaryValues(const ClassCounters& counters) {
  return {counters.cannotCombineCount + counters.combinableCount,
          counters.cannotCombineCount,
          counters.combinableCount,
          counters.oneWayCount,
          counters.combinableCount - counters.oneWayCount,
          counters.overtCount,
          counters.covertCount};
}

void AppendNoneTexts(const ClassCounters& counters, ReportSections& sections) {
  const NoneTexts& none = GetNoneTexts();
  if (counters.cannotCombineCount == 0) sections.cannotCombineSection += none.cannotCombine;
  if (counters.combinableCount == 0) sections.combinableSection += none.combinable;
  if (counters.oneWayCount == 0) sections.oneWaySection += none.oneWay;
  if (counters.overtCount == 0) sections.overtSection += none.overt;
  if (counters.covertCount == 0) sections.covertSection += none.covert;
}

void AppendDegreeList(const std::string& title, std::vector<DegreeRecord>& records,
                      const std::function<void(std::string&, int, const DegreeRecord&)>& recordLine,
                      const TextPattern& averageLine, const std::string& noneText,
                      std::string& out) {
  out += title;
  RankDegreeRecords(records);
  for (std::size_t k = 0; k < records.size(); ++k) {
    recordLine(out, static_cast<int>(k + 1), records[k]);
    out += std::to_string(records[k].count);
    out += '\n';
  }
  const DegreeAverage average = AverageDegree(records);
  if (average.average) {
    averageLine.AppendTo(out, {FormatAverage(*average.average)});
  } else {
    out += noneText;
  }
  records.clear();
  records.shrink_to_fit();
}

void WriteReportSections(const ReportSections& sections, OutputStream& report) {
  report.Write(sections.summarySection);
  report.Write(sections.allSection);
  report.Write(sections.cannotCombineSection);
  report.Write(sections.combinableSection);
  report.Write(sections.oneWaySection);
  report.Write(sections.overtSection);
  report.Write(sections.covertSection);
  report.Write(sections.degreeSection);
}

}  // namespace marvolen
