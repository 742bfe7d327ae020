// The sequences report: every line of the sequences file, judged.
#include <memory>
#include <new>

#include "analysis/report_builder.h"
#include "analysis/report_writer.h"
#include "analysis/reports.h"
#include "encoding/gbk.h"

namespace marvolen {

namespace {

// The texts of the sequences report, GBK. They name "sequences.txt" whatever
// the file is called.
ReportTexts MakeSequencesTexts() {
  ReportTexts texts;
  texts.headings = {
      Gbk("\n\nsequences.txt文件中的全部排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中不能组合的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中能组合的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中只有一种组合方式(无歧义)的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中外显型歧义的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中内含型歧义的排列如下:\n\n"),
      Gbk("\n\nsequences.txt文件中歧义程度统计:\n\n"),
  };
  texts.covertTitle = Gbk("\nsequences.txt文件中的内含型歧义:\n");
  texts.covertAverage =
      TextPattern("\n--------sequences.txt文件中内含型歧义格式平均歧义个数：%f--------\n");
  texts.covertNone = Gbk("\tsequences.txt文件中没有内含型歧义格式!!!\n");
  texts.overtTitle = Gbk("\nsequences.txt文件中的外显型歧义:\n");
  texts.overtAverage =
      TextPattern("\n--------sequences.txt文件中外显型歧义格式平均歧义个数：%f--------\n");
  texts.overtNone = Gbk("\tsequences.txt文件中没有外显型歧义格式!!!\n");
  texts.summary[0] = TextPattern("\n\nsequences.txt文件中共有排列:%d个\n");
  texts.summary[1] = TextPattern("\n\n其中无组合关系的排列:%d个\n");
  texts.summary[2] = TextPattern("\n\n其中有组合关系的排列:%d个\n");
  return texts;
}

const ReportTexts& SequencesTexts() {
  static const ReportTexts texts = MakeSequencesTexts();
  return texts;
}

// The lines of the sequences file, each split into its items.
class SequenceLines : public PermutationSource {
 public:
  explicit SequenceLines(const SequenceList& sequences) : lines_(sequences.lines) {}

  std::int64_t count() const override { return static_cast<std::int64_t>(lines_.size()); }

  bool Build(std::int64_t number, Permutation& permutation) const override {
    int itemCount = 0;
    SplitSequenceLine(itemCount, lines_[number], permutation);
    if (itemCount > kMaxItems) return false;
    permutation.currentItemCount = itemCount;
    return true;
  }

  // Every item followed by one blank.
  void AppendItems(std::int64_t number, std::string& out) const override {
    Permutation permutation;
    if (!Build(number, permutation)) return;
    for (int k = 0; k < permutation.currentItemCount; ++k) {
      out += permutation.items[k];
      out += ' ';
    }
  }

 private:
  const std::vector<std::string>& lines_;
};

ReportEnd Build(const SequenceList& sequences, OutputStream& report, UserInterface& ui,
                const std::vector<ParseEngine*>& engines, const ReportOptions& options) {
  const SequenceLines lines(sequences);
  ReportPlan plan;
  plan.kind = ReportKind::kSequences;
  plan.source = &lines;
  plan.texts = &SequencesTexts();
  return WriteReport(plan, engines, report, ui, options);
}

}  // namespace

ReportEnd BuildSequencesReport(const SequenceList& sequences, OutputStream& report,
                               UserInterface& ui, ParseEngine& engine,
                               const ReportOptions& options) {
  BusyGuard busy(ui);
  try {
    return Build(sequences, report, ui, {&engine}, options);
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(kMemoryAllocationError);
    return ReportEnd::kStoppedOnError;
  }
}

ReportEnd BuildSequencesReport(const SequenceList& sequences, const RuleSet& ruleSet,
                               OutputStream& report, UserInterface& ui,
                               const ReportOptions& options) {
  BusyGuard busy(ui);
  try {
    const auto engines = MakeReportEngines(ruleSet, options);
    return Build(sequences, report, ui, Pointers(engines), options);
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(kMemoryAllocationError);
    return ReportEnd::kStoppedOnError;
  }
}

}  // namespace marvolen
