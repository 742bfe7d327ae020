// The tag-set report: every ordered triple of the tags, or in long mode the
// eight four- and five-item patterns over every triple, judged.
//
// The permutations are analysed in chunks on every core; the chunks' entries
// are taken in enumeration order, so the report is the same byte for byte as
// when one thread analyses them one after the other.
#include <algorithm>
#include <memory>
#include <new>

#include "analysis/ordered_jobs.h"
#include "analysis/report_builder.h"
#include "analysis/reports.h"
#include "grammar/search_engines.h"
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

// Permutations are analysed in chunks of this many, in enumeration order,
// unless told otherwise.
constexpr std::int64_t kChunkPermutations = 2048;

// The permutations of one report, numbered in enumeration order: pass by
// pass (one pass in three-item mode, the pattern codes 0 to 7 in long mode),
// and in each for i, j, k over the tags with k changing fastest.
class Enumeration {
 public:
  Enumeration(bool threeItemsOnly, const TagSet& tagSet)
      : threeItemsOnly_(threeItemsOnly),
        tagSet_(tagSet),
        n_(tagSet.count()),
        perPass_(static_cast<std::int64_t>(n_) * n_ * n_) {}

  std::int64_t count() const { return perPass_ * (threeItemsOnly_ ? 1 : 8); }

  void Build(std::int64_t number, Permutation& permutation) const {
    const int code = static_cast<int>(number / perPass_);
    const std::int64_t rest = number % perPass_;
    const int i = static_cast<int>(rest / (static_cast<std::int64_t>(n_) * n_));
    const int j = static_cast<int>(rest / n_ % n_);
    const int k = static_cast<int>(rest % n_);
    if (threeItemsOnly_) {
      BuildThreeItemPermutation(i, j, k, tagSet_.tags, permutation);
    } else {
      BuildPatternPermutation(code, i, j, k, tagSet_.tags, permutation);
    }
  }

 private:
  bool threeItemsOnly_;
  const TagSet& tagSet_;
  int n_;
  std::int64_t perPass_;
};

// The item line of a permutation ("\t%s %s %s\n" or "\t%s %s %s %s %s\n"),
// and the form of the cannot-combine list, which in three-item mode has a
// blank after the third item.
void MakeItemLines(bool threeItemsOnly, const Permutation& permutation, std::string& itemLine,
                   std::string& cannotCombineLine) {
  itemLine = '\t';
  AppendItems(itemLine, threeItemsOnly, permutation.items);
  cannotCombineLine = itemLine;
  itemLine += '\n';
  cannotCombineLine += threeItemsOnly ? " \n" : "\n";
}

// What the permutations of one chunk add to the report, in enumeration
// order: their judgements, the entries with parses (one way, overt,
// covert), the degree records, and the bytes their item lines take in the
// sections that list only item lines (all, cannot combine, combinable).
struct ChunkResult {
  std::vector<std::uint8_t> classes;  // PermutationClass by permutation
  std::string oneWay, overt, covert;
  ClassCounters counters;
  DegreeLists lists;
  std::size_t allBytes = 0, cannotCombineBytes = 0, combinableBytes = 0;
};

// Analyse the permutations [first, last) with `engine`.
ChunkResult AnalyseChunk(bool threeItemsOnly, const Enumeration& enumeration,
                         const RuleSet& ruleSet, ParseEngine& engine, std::int64_t first,
                         std::int64_t last) {
  ChunkResult out;
  out.classes.reserve(static_cast<std::size_t>(last - first));
  ReportSections entries;  // only the one-way, overt and covert sections
  Permutation permutation;
  std::string itemLine, cannotCombineLine;
  for (std::int64_t number = first; number < last; ++number) {
    enumeration.Build(number, permutation);
    const ParseList parses = engine.FindDistinctParses(permutation, ruleSet);
    const PermutationClass cls = AnalyseParses(parses, permutation, out.counters, out.lists);
    out.classes.push_back(static_cast<std::uint8_t>(cls));
    MakeItemLines(threeItemsOnly, permutation, itemLine, cannotCombineLine);
    out.allBytes += itemLine.size();
    if (cls == PermutationClass::CannotCombine) {
      out.cannotCombineBytes += cannotCombineLine.size();
    } else {
      out.combinableBytes += itemLine.size();
      AppendParseEntry(cls, itemLine, parses, *ParseSectionFor(cls, entries));
    }
  }
  // Held until merged: no more room than the text needs.
  auto keep = [](std::string& from, std::string& to) {
    from.shrink_to_fit();
    to = std::move(from);
  };
  keep(entries.oneWaySection, out.oneWay);
  keep(entries.overtSection, out.overt);
  keep(entries.covertSection, out.covert);
  return out;
}

// The chunks' results in enumeration order, and the sections made from them
// once all are in, each allocated at its final size: the report is held
// about once in memory, not in buffers that grow by doubling. The sections
// that list only item lines are written from the judgements then, not kept
// as text meanwhile.
class ChunkMerger {
 public:
  void Take(ChunkResult&& chunk) {
    classes_.insert(classes_.end(), chunk.classes.begin(), chunk.classes.end());
    pieces_[0].push_back(std::move(chunk.oneWay));
    pieces_[1].push_back(std::move(chunk.overt));
    pieces_[2].push_back(std::move(chunk.covert));
    counters_.cannotCombineCount += chunk.counters.cannotCombineCount;
    counters_.combinableCount += chunk.counters.combinableCount;
    counters_.oneWayCount += chunk.counters.oneWayCount;
    counters_.overtCount += chunk.counters.overtCount;
    counters_.covertCount += chunk.counters.covertCount;
    Append(chunk.lists.overtRecords, lists_.overtRecords);
    Append(chunk.lists.covertRecords, lists_.covertRecords);
    allBytes_ += chunk.allBytes;
    cannotCombineBytes_ += chunk.cannotCombineBytes;
    combinableBytes_ += chunk.combinableBytes;
  }

  // Append the entries of every permutation to the sections, which hold
  // their headings.
  void AppendTo(bool threeItemsOnly, const Enumeration& enumeration, ReportSections& sections) {
    std::string* withParses[3] = {&sections.oneWaySection, &sections.overtSection,
                                  &sections.covertSection};
    for (int s = 0; s < 3; ++s) {
      std::size_t size = withParses[s]->size();
      for (const std::string& piece : pieces_[s]) size += piece.size();
      withParses[s]->reserve(size);
      for (std::string& piece : pieces_[s]) {
        *withParses[s] += piece;
        std::string().swap(piece);
      }
      std::vector<std::string>().swap(pieces_[s]);
    }
    sections.allSection.reserve(sections.allSection.size() + allBytes_);
    sections.cannotCombineSection.reserve(sections.cannotCombineSection.size() +
                                          cannotCombineBytes_);
    sections.combinableSection.reserve(sections.combinableSection.size() + combinableBytes_);
    Permutation permutation;
    std::string itemLine, cannotCombineLine;
    for (std::size_t number = 0; number < classes_.size(); ++number) {
      enumeration.Build(static_cast<std::int64_t>(number), permutation);
      MakeItemLines(threeItemsOnly, permutation, itemLine, cannotCombineLine);
      if (static_cast<PermutationClass>(classes_[number]) == PermutationClass::CannotCombine) {
        sections.cannotCombineSection += cannotCombineLine;
      } else {
        sections.combinableSection += itemLine;
      }
      sections.allSection += itemLine;
    }
    std::vector<std::uint8_t>().swap(classes_);
  }

  const ClassCounters& counters() const { return counters_; }
  DegreeLists& lists() { return lists_; }

 private:
  static void Append(std::vector<DegreeRecord>& from, std::vector<DegreeRecord>& to) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
  }

  std::vector<std::uint8_t> classes_;
  std::vector<std::string> pieces_[3];
  ClassCounters counters_;
  DegreeLists lists_;
  std::size_t allBytes_ = 0, cannotCombineBytes_ = 0, combinableBytes_ = 0;
};

// Analyse every permutation with the engines, one thread per engine, and
// fill the sections.
void Analyse(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
             ReportSections& sections, UserInterface& ui,
             const std::vector<ParseEngine*>& engines, std::int64_t chunkPermutations) {
  const TagSetTexts& texts = GetTagSetTexts(threeItemsOnly);
  ReplaceWithHeadings(texts.headings, sections);

  const Enumeration enumeration(threeItemsOnly, tagSet);
  const std::int64_t total = enumeration.count();
  const std::int64_t chunks = (total + chunkPermutations - 1) / chunkPermutations;
  const int workers = static_cast<int>(engines.size());
  ProgressMeter progress(ui, total);
  ChunkMerger merger;
  // Progress is reported here, on the calling thread, as chunks are taken in
  // order: the counts only grow and end at the total.
  RunJobsInOrder<ChunkResult>(
      chunks, workers, 2 * workers,
      [&](std::int64_t chunk, int worker) {
        const std::int64_t first = chunk * chunkPermutations;
        return AnalyseChunk(threeItemsOnly, enumeration, ruleSet, *engines[worker], first,
                            std::min(total, first + chunkPermutations));
      },
      [&](std::int64_t chunk, ChunkResult result) {
        merger.Take(std::move(result));
        progress.Done(std::min(total, (chunk + 1) * chunkPermutations));
      });
  merger.AppendTo(threeItemsOnly, enumeration, sections);
  const ClassCounters& counters = merger.counters();
  DegreeLists& lists = merger.lists();

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

  const int n = tagSet.count();
  std::string& summary = sections.summarySection;
  summary.clear();
  texts.tagCount.AppendTo(summary, {std::to_string(n)});
  for (const std::string& tag : tagSet.tags) {
    summary += tag;
    summary += ' ';
  }
  summary += '\n';
  const std::array<int, 7> values = SummaryValues(counters);
  for (int k = 0; k < 7; ++k) texts.summary[k].AppendTo(summary, {std::to_string(values[k])});
}

std::vector<ParseEngine*> Pointers(const std::vector<std::unique_ptr<ParseEngine>>& engines) {
  std::vector<ParseEngine*> pointers;
  for (const auto& engine : engines) pointers.push_back(engine.get());
  return pointers;
}

}  // namespace

void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui,
                       ParseEngine& engine) {
  BusyGuard busy(ui);
  try {
    Analyse(threeItemsOnly, tagSet, ruleSet, sections, ui, {&engine}, kChunkPermutations);
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(kMemoryAllocationError);
    return;
  }
  WriteReportSections(sections, report);
}

void BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                       OutputStream& report, ReportSections& sections, UserInterface& ui,
                       const ReportOptions& options) {
  BusyGuard busy(ui);
  try {
    const auto engines = MakeParseEngines(options.engine, ruleSet, AnalysisThreads(options));
    Analyse(threeItemsOnly, tagSet, ruleSet, sections, ui, Pointers(engines),
            options.chunkPermutations > 0 ? options.chunkPermutations : kChunkPermutations);
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(kMemoryAllocationError);
    return;
  }
  WriteReportSections(sections, report);
}

}  // namespace marvolen
