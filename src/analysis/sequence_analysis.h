// Analysing one sequence on its own, as the sequences report analyses each
// line: split into items, every distinct parse found, and judged. The parse
// pane of the workbench and marvolen-report --parse both go through here.
#ifndef MARVOLEN_ANALYSIS_SEQUENCE_ANALYSIS_H_
#define MARVOLEN_ANALYSIS_SEQUENCE_ANALYSIS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/permutation_class.h"
#include "analysis/reports.h"
#include "grammar/cfg_rule.h"
#include "grammar/parse_engine.h"
#include "grammar/search_engines.h"

namespace marvolen {

// Why a sequence was not analysed.
enum class SequenceProblem {
  kNone,          // analysed
  kTooManyItems,  // more than five items
  kItemTooLong,   // an item longer than an item slot (19 bytes)
  kOutOfMemory,   // the search ran out of memory
};

struct SequenceAnalysis {
  SequenceProblem problem = SequenceProblem::kNone;
  // The number of items of the line (it may be more than five).
  int itemCount = 0;
  // The first five items at most, in order (GBK).
  std::vector<std::string> items;
  // kItemTooLong: the first item that is too long.
  std::string overlongItem;
  // The number of distinct parses (saturating at kManyParses).
  std::uint64_t parseCount = 0;
  // The distinct parses in the report's order; empty unless analysed, and
  // empty when there are more than the analyser's limit (parseCount says
  // how many).
  ParseList parses;
  PermutationClass judgement = PermutationClass::CannotCombine;
};

// The items of a GBK line, split as a line of the sequences file is (items
// separated by blanks, CR and LF), and whether it can be analysed: problem
// kNone, or kTooManyItems, or kItemTooLong. Nothing is searched.
SequenceAnalysis SplitSequence(std::string_view line);

// Analyses lines against one rule set, which it keeps: the search is
// prepared once and serves every line. One analyser serves one thread at a
// time.
class SequenceAnalyser {
 public:
  // Parses are built only for a line with at most `maxParses` of them; a
  // line with more is judged and counted without them. Throws
  // std::bad_alloc when memory runs out.
  explicit SequenceAnalyser(RuleSet rules, SearchEngine engine = SearchEngine::kChart,
                            std::uint64_t maxParses = kDefaultMaxParses);
  ~SequenceAnalyser();

  SequenceAnalyser(const SequenceAnalyser&) = delete;
  SequenceAnalyser& operator=(const SequenceAnalyser&) = delete;

  // Split one line of GBK text (SplitSequence) and, when it can be
  // analysed, find its parses and judge them. A line without items cannot
  // combine.
  SequenceAnalysis Analyse(std::string_view line);

  const RuleSet& rules() const { return rules_; }
  std::uint64_t maxParses() const { return maxParses_; }

 private:
  RuleSet rules_;
  std::uint64_t maxParses_;
  std::unique_ptr<ParseEngine> engine_;
};

// The report's words for a judgement, UTF-8: "不能组合",
// "只有一种组合方式(无歧义)", "外显型歧义", "内含型歧义".
const char* JudgementWords(PermutationClass judgement);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_SEQUENCE_ANALYSIS_H_
