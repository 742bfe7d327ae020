// The tag-set report: every ordered triple of the tags, or in long mode the
// eight four- and five-item patterns over every triple, judged.
#include <memory>
#include <new>

#include "analysis/report_builder.h"
#include "analysis/report_writer.h"
#include "analysis/reports.h"
#include "encoding/gbk.h"

namespace marvolen {

namespace {

// The tag-set report's mode, made once: its passes over the triples, its
// item slots, its texts and line forms.
struct TagSetMode {
  explicit TagSetMode(bool threeItemsOnly);

  int passes;  // 1 (every triple), or 8 (the pattern codes 0 to 7)
  int slots;   // the slots an item line shows: 3, or 5
  ReportTexts texts;
};

TagSetMode::TagSetMode(bool threeItemsOnly)
    : passes(threeItemsOnly ? 1 : 8), slots(threeItemsOnly ? 3 : 5) {
  // "3项" or "4项及5项" in every heading.
  const std::string items = threeItemsOnly ? "3项" : "4项及5项";
  const std::string lead = "\n\n全部标记全排列——" + items;
  texts.headings = {
      Gbk(lead + "词类或短语类标记的全部排列如下:\n\n"),
      Gbk(lead + "词类或短语类标记不能组合的排列如下:\n\n"),
      Gbk(lead + "词类或短语类标记能组合的排列如下:\n\n"),
      Gbk(lead + "词类或短语类标记只有一种组合方式(无歧义)的排列如下:\n\n"),
      Gbk(lead + "词类或短语类标记外显型歧义的排列如下:\n\n"),
      Gbk(lead + "词类或短语类标记内含型歧义的排列如下:\n\n"),
      Gbk(lead + "排列的歧义程度统计:\n\n"),
  };
  // In three-item mode a permutation that cannot combine has a blank after
  // its third item, and a degree line two tabs after the items.
  texts.cannotCombineLineEnd = threeItemsOnly ? " \n" : "\n";
  texts.recordItemsEnd = threeItemsOnly ? "\t\t" : "\t";
  texts.covertTitle = Gbk("\n全部标记全排列——内含型歧义:\n");
  texts.covertAverage =
      TextPattern("\n--------全部标记全排列——内含型歧义格式平均歧义个数：%f--------\n");
  texts.covertNone = Gbk("\t无内含型歧义格式!!!");
  texts.overtTitle = Gbk("\n全部标记全排列——外显型歧义:\n");
  texts.overtAverage =
      TextPattern("\n--------全部标记全排列——外显型歧义格式平均歧义个数：%f--------\n");
  texts.overtNone = Gbk("\t无外显型歧义格式!!!\n");
  texts.summary[0] = TextPattern("\n\n全部标记全排列——共有排列:%d个\n");
  texts.summary[1] = TextPattern("\n\n无组合关系的排列:%d个\n");
  texts.summary[2] = TextPattern("\n\n有组合关系的排列:%d个\n");
}

const TagSetMode& TagSetModeFor(bool threeItemsOnly) {
  static const TagSetMode threeItems(true);
  static const TagSetMode longMode(false);
  return threeItemsOnly ? threeItems : longMode;
}

// The permutations of the report, numbered in enumeration order: pass by
// pass, and in each for i, j, k over the tags with k changing fastest.
class TagSetPermutations : public PermutationSource {
 public:
  TagSetPermutations(const TagSetMode& mode, const TagSet& tagSet)
      : mode_(mode),
        tags_(tagSet.tags),
        n_(tagSet.count()),
        perPass_(static_cast<std::int64_t>(n_) * n_ * n_) {}

  std::int64_t count() const override { return perPass_ * mode_.passes; }

  bool Build(std::int64_t number, Permutation& permutation) const override {
    const Triple t = TripleOf(number);
    if (mode_.passes == 1) {
      BuildThreeItemPermutation(t.i, t.j, t.k, tags_, permutation);
    } else {
      BuildPatternPermutation(t.code, t.i, t.j, t.k, tags_, permutation);
    }
    return true;
  }

  // "%s %s %s" with the slots, or "%s %s %s %s %s" in long mode, where a
  // four-item permutation's empty fifth slot leaves a blank at the end.
  void AppendItems(std::int64_t number, std::string& out) const override {
    const Triple t = TripleOf(number);
    const int tag[4] = {0, t.i, t.j, t.k};
    for (int slot = 0; slot < mode_.slots; ++slot) {
      if (slot > 0) out += ' ';
      const char what = mode_.passes == 1 ? static_cast<char>(slot + 1) : PatternSlot(t.code, slot);
      if (what == 'u') {
        out += kParticleDe;
      } else if (what == 'c') {
        out += kConjunctionHe;
      } else if (what != 0) {
        out += tags_[tag[static_cast<int>(what)]];
      }
    }
  }

  // The tags' indexes, then the particle and the conjunction.
  int ItemCodes(std::int64_t number, std::array<int, kMaxItems>& codes) const override {
    const Triple t = TripleOf(number);
    const int tag[4] = {0, t.i, t.j, t.k};
    int count = 0;
    for (int slot = 0; slot < kMaxItems; ++slot) {
      const char what = mode_.passes == 1 ? (slot < 3 ? static_cast<char>(slot + 1) : '\0')
                                          : PatternSlot(t.code, slot);
      if (what == 0) break;
      codes[static_cast<std::size_t>(count++)] = what == 'u'   ? n_
                                                 : what == 'c' ? n_ + 1
                                                               : tag[static_cast<int>(what)];
    }
    return count;
  }
  std::string_view ItemText(int code) const override {
    if (code == n_) return kParticleDe;
    if (code == n_ + 1) return kConjunctionHe;
    return tags_[static_cast<std::size_t>(code)];
  }

 private:
  struct Triple {
    int code, i, j, k;
  };
  Triple TripleOf(std::int64_t number) const {
    const std::int64_t rest = number % perPass_;
    return {static_cast<int>(number / perPass_), static_cast<int>(rest / (std::int64_t{n_} * n_)),
            static_cast<int>(rest / n_ % n_), static_cast<int>(rest % n_)};
  }

  const TagSetMode& mode_;
  const std::vector<std::string>& tags_;
  int n_;
  std::int64_t perPass_;
};

ReportEnd Build(bool threeItemsOnly, const TagSet& tagSet, OutputStream& report, UserInterface& ui,
                const std::vector<ParseEngine*>& engines, const ReportOptions& options) {
  const TagSetMode& mode = TagSetModeFor(threeItemsOnly);
  const TagSetPermutations permutations(mode, tagSet);
  ReportPlan plan;
  plan.kind = ReportKind::kTagSet;
  plan.source = &permutations;
  plan.texts = &mode.texts;
  // The summary begins with the number of tags and every tag.
  static const TextPattern tagCount("\n\n全部标记共有 %d 个: \n\t");
  tagCount.AppendTo(plan.summaryHead, {std::to_string(tagSet.count())});
  for (const std::string& tag : tagSet.tags) {
    plan.summaryHead += tag;
    plan.summaryHead += ' ';
  }
  plan.summaryHead += '\n';
  return WriteReport(plan, engines, report, ui, options);
}

}  // namespace

ReportEnd BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, OutputStream& report,
                            UserInterface& ui, ParseEngine& engine, const ReportOptions& options) {
  BusyGuard busy(ui);
  try {
    return Build(threeItemsOnly, tagSet, report, ui, {&engine}, options);
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(kMemoryAllocationError);
    return ReportEnd::kStoppedOnError;
  }
}

ReportEnd BuildTagSetReport(bool threeItemsOnly, const TagSet& tagSet, const RuleSet& ruleSet,
                            OutputStream& report, UserInterface& ui, const ReportOptions& options) {
  BusyGuard busy(ui);
  try {
    const auto engines = MakeReportEngines(ruleSet, options);
    return Build(threeItemsOnly, tagSet, report, ui, Pointers(engines), options);
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(kMemoryAllocationError);
    return ReportEnd::kStoppedOnError;
  }
}

}  // namespace marvolen
