// The tag-set report: every ordered triple of the tags, or in long mode the
// eight four- and five-item patterns over every triple, judged.
#include <new>

#include "analysis/report_builder.h"
#include "analysis/reports.h"
#include "grammar/reduction_search.h"
#include "platform/gbk.h"

namespace marvolen {

namespace {

// The texts of one mode of the tag-set report, GBK.
struct TagSetTexts {
  explicit TagSetTexts(bool threeItemsOnly);

  SectionHeadings headings;
  std::string covertTitle = Gbk("\n全部标记全排列——内含型歧义:\n");
  TextPattern covertAverage{"\n--------全部标记全排列——内含型歧义格式平均歧义个数：%f--------\n"};
  std::string covertNone = Gbk("\t无内含型歧义格式!!!");
  std::string overtTitle = Gbk("\n全部标记全排列——外显型歧义:\n");
  TextPattern overtAverage{"\n--------全部标记全排列——外显型歧义格式平均歧义个数：%f--------\n"};
  std::string overtNone = Gbk("\t无外显型歧义格式!!!\n");
  TextPattern tagCount{"\n\n全部标记共有 %d 个: \n\t"};
  TextPattern summary[7] = {
      TextPattern("\n\n全部标记全排列——共有排列:%d个\n"),
      TextPattern("\n\n无组合关系的排列:%d个\n"),
      TextPattern("\n\n有组合关系的排列:%d个\n"),
      TextPattern("\n\n\t其中只有一种组合关系的排列:%d个\n"),
      TextPattern("\n\n\t其中有两种以上组合关系的排列:%d个\n"),
      TextPattern("\n\n\t\t其中有外显型歧义的排列:%d个\n"),
      TextPattern("\n\n\t\t其中有内含型歧义的排列:%d个\n"),
  };
};

TagSetTexts::TagSetTexts(bool threeItemsOnly) {
  if (threeItemsOnly) {
    headings = {
        Gbk("\n\n全部标记全排列——3项词类或短语类标记的全部排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——3项词类或短语类标记不能组合的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——3项词类或短语类标记能组合的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——3项词类或短语类标记只有一种组合方式(无歧义)的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——3项词类或短语类标记外显型歧义的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——3项词类或短语类标记内含型歧义的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——3项排列的歧义程度统计:\n\n"),
    };
  } else {
    headings = {
        Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记的全部排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记不能组合的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记能组合的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记只有一种组合方式(无歧义)的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记外显型歧义的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——4项及5项词类或短语类标记内含型歧义的排列如下:\n\n"),
        Gbk("\n\n全部标记全排列——4项及5项排列的歧义程度统计:\n\n"),
    };
  }
}

const TagSetTexts& GetTagSetTexts(bool threeItemsOnly) {
  static const TagSetTexts threeItemTexts(true);
  static const TagSetTexts longTexts(false);
  return threeItemsOnly ? threeItemTexts : longTexts;
}

// "%s %s %s" (three-item mode) or "%s %s %s %s %s" (long mode) with the
// slots; a four-item permutation's empty fifth slot leaves a blank at the end.
void AppendItems(std::string& out, bool threeItemsOnly,
                 const std::array<std::string, kMaxItems>& items) {
  const int slots = threeItemsOnly ? 3 : 5;
  for (int k = 0; k < slots; ++k) {
    if (k > 0) out += ' ';
    out += items[k];
  }
}

void Analyse(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
             ReportSections& sections, UserInterface& ui, ParseEngine& engine) {
  const TagSetTexts& texts = GetTagSetTexts(threeItemsOnly);
  ReplaceWithHeadings(texts.headings, sections);
  ClassCounters counters;
  DegreeLists lists;
  Permutation permutation;

  const int n = tagSet.count();
  const int passes = threeItemsOnly ? 1 : 8;
  const std::int64_t perPass = static_cast<std::int64_t>(n) * n * n;
  ProgressMeter progress(ui, perPass * passes);
  std::int64_t done = 0;

  std::string itemLine, cannotCombineLine;
  for (int code = 0; code < passes; ++code) {
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        for (int k = 0; k < n; ++k) {
          if (threeItemsOnly) {
            BuildThreeItemPermutation(i, j, k, tagSet.tags, permutation);
          } else {
            BuildPatternPermutation(code, i, j, k, tagSet.tags, permutation);
          }
          const ParseList parses = engine.FindDistinctParses(permutation, ruleSet);
          const PermutationClass cls = AnalyseParses(parses, permutation, counters, lists);

          itemLine = '\t';
          AppendItems(itemLine, threeItemsOnly, permutation.items);
          cannotCombineLine = itemLine;
          itemLine += '\n';
          // In three-item mode the cannot-combine list has a blank after the
          // third item.
          cannotCombineLine += threeItemsOnly ? " \n" : "\n";
          AppendCategoryEntries(cls, itemLine, cannotCombineLine, parses, sections);
          sections.allSection += itemLine;
          progress.Done(++done);
        }
      }
    }
  }

  AppendNoneTexts(counters, sections);
  const auto recordLine = [threeItemsOnly](std::string& out, int rank,
                                           const DegreeRecord& record) {
    out += "\t [";
    out += std::to_string(rank);
    out += "] ";
    AppendItems(out, threeItemsOnly, record.items);
    out += threeItemsOnly ? "\t\t" : "\t";
  };
  AppendDegreeList(texts.covertTitle, lists.covertRecords, recordLine, texts.covertAverage,
                   texts.covertNone, sections.degreeSection);
  AppendDegreeList(texts.overtTitle, lists.overtRecords, recordLine, texts.overtAverage,
                   texts.overtNone, sections.degreeSection);

  std::string& summary = sections.summarySection;
  summary.clear();
  texts.tagCount.AppendTo(summary, {std::to_string(n)});
  for (const std::string& tag : tagSet.tags) {
    summary += tag;
    summary += ' ';
  }
  summary += '\n';
  const int values[7] = {
      counters.cannotCombineCount + counters.combinableCount,
      counters.cannotCombineCount,
      counters.combinableCount,
      counters.oneWayCount,
      counters.combinableCount - counters.oneWayCount,
      counters.overtCount,
      counters.covertCount,
  };
  for (int k = 0; k < 7; ++k) texts.summary[k].AppendTo(summary, {std::to_string(values[k])});
}

}  // namespace

void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui,
                       ParseEngine& engine) {
  BusyGuard busy(ui);
  try {
    Analyse(threeItemsOnly, tagSet, ruleSet, sections, ui, engine);
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(kMemoryAllocationError);
    return;
  }
  WriteReportSections(sections, report);
}

void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui) {
  LiteralParseEngine engine;
  BuildTagSetReport(threeItemsOnly, tagSet, ruleSet, report, sections, ui, engine);
}

}  // namespace marvolen
