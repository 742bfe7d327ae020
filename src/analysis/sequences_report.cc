// The sequences report: every line of the sequences file, judged.
#include <memory>
#include <new>

#include "analysis/report_builder.h"
#include "analysis/reports.h"
#include "grammar/search_engines.h"
#include "platform/gbk.h"

namespace marvolen {

namespace {

// The texts of the sequences report, GBK. They name "sequences.txt" whatever
// the file is called.
struct SequencesTexts {
  SectionHeadings headings = {
      Gbk("\n\nsequences.txt文件中的全部排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中不能组合的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中能组合的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中外显型歧义的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中内含型歧义的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中歧义程度统计:\n\n"),
  };
  std::string covertTitle = Gbk("\nsequences.txt文件中的内含型歧义:\n");
  TextPattern covertAverage{"\n--------sequences.txt文件中内含型歧义格式平均歧义个数：%f--------\n"};
  std::string covertNone = Gbk("\tsequences.txt文件中没有内含型歧义格式!!!\n");
  std::string overtTitle = Gbk("\nsequences.txt文件中的外显型歧义:\n");
  TextPattern overtAverage{"\n--------sequences.txt文件中外显型歧义格式平均歧义个数：%f--------\n"};
  std::string overtNone = Gbk("\tsequences.txt文件中没有外显型歧义格式!!!\n");
  TextPattern summary[7] = {
      TextPattern("\n\nsequences.txt文件中共有排列:%d个\n"),
      TextPattern("\n\n其中无组合关系的排列:%d个\n"),
      TextPattern("\n\n其中有组合关系的排列:%d个\n"),
      TextPattern("\n\n\t其中只有一种组合关系的排列:%d个\n"),
      TextPattern("\n\n\t其中有两种以上组合关系的排列:%d个\n"),
      TextPattern("\n\n\t\t其中有外显型歧义的排列:%d个\n"),
      TextPattern("\n\n\t\t其中有内含型歧义的排列:%d个\n"),
  };
};

const SequencesTexts& GetSequencesTexts() {
  static const SequencesTexts texts;
  return texts;
}

// "\t [rank] " and the record's items, each followed by a blank, up to the
// first empty slot; then a tab.
void AppendRecordLine(std::string& out, int rank, const DegreeRecord& record) {
  out += "\t [";
  out += std::to_string(rank);
  out += "] ";
  for (const std::string& item : record.items) {
    if (item.empty()) break;
    out += item;
    out += ' ';
  }
  out += '\t';
}

// Returns false when the builder stopped on a line of too many items.
bool Analyse(const SequenceList& sequences, const RuleSet& ruleSet, ReportSections& sections,
             UserInterface& ui, ParseEngine& engine) {
  const SequencesTexts& texts = GetSequencesTexts();
  ReplaceWithHeadings(texts.headings, sections);
  ClassCounters counters;
  DegreeLists lists;
  Permutation permutation;
  ProgressMeter progress(ui, sequences.count());

  std::string itemLine;
  for (int i = 0; i < sequences.count(); ++i) {
    int itemCount = 0;
    SplitSequenceLine(itemCount, sequences.lines[i], permutation);
    if (itemCount > kMaxItems) {
      ui.ShowMessage("One permutation contains too many tokens");
      return false;
    }
    permutation.currentItemCount = itemCount;
    const ParseList parses = engine.FindDistinctParses(permutation, ruleSet);
    const PermutationClass cls = AnalyseParses(parses, permutation, counters, lists);

    itemLine = '\t';
    for (int k = 0; k < itemCount; ++k) {
      itemLine += permutation.items[k];
      itemLine += ' ';
    }
    itemLine += '\n';
    AppendCategoryEntries(cls, itemLine, itemLine, parses, sections);
    sections.allSection += itemLine;
    progress.Done(i + 1);
  }

  AppendNoneTexts(counters, sections);
  AppendDegreeList(texts.covertTitle, lists.covertRecords, AppendRecordLine, texts.covertAverage,
                   texts.covertNone, sections.degreeSection);
  AppendDegreeList(texts.overtTitle, lists.overtRecords, AppendRecordLine, texts.overtAverage,
                   texts.overtNone, sections.degreeSection);

  const std::array<int, 7> values = SummaryValues(counters);
  sections.summarySection.clear();
  for (int k = 0; k < 7; ++k) {
    texts.summary[k].AppendTo(sections.summarySection, {std::to_string(values[k])});
  }
  return true;
}

}  // namespace

void BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                          OutputStream& report, ReportSections& sections, UserInterface& ui,
                          ParseEngine& engine) {
  BusyGuard busy(ui);
  try {
    if (!Analyse(sequences, ruleSet, sections, ui, engine)) return;
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(kMemoryAllocationError);
    return;
  }
  WriteReportSections(sections, report);
}

void BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                          OutputStream& report, ReportSections& sections, UserInterface& ui,
                          const ReportOptions& options) {
  std::unique_ptr<ParseEngine> engine;
  try {
    engine = std::move(MakeParseEngines(options.engine, ruleSet, 1).front());
  } catch (const std::bad_alloc&) {
    BusyGuard busy(ui);
    ui.ShowMessage(kMemoryAllocationError);
    return;
  }
  BuildSequencesReport(sequences, ruleSet, report, sections, ui, *engine);
}

}  // namespace marvolen
