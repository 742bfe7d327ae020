// Analysing one sequence on its own.
#include "analysis/sequence_analysis.h"

#include <new>

#include "analysis/classification.h"
#include "datafiles/sequences.h"
#include "grammar/permutation.h"

namespace marvolen {

SequenceAnalysis SplitSequence(std::string_view line) {
  SequenceAnalysis result;
  Permutation permutation;
  SplitSequenceLine(result.itemCount, line, permutation);
  const int stored = result.itemCount < kMaxItems ? result.itemCount : kMaxItems;
  result.items.assign(permutation.items.begin(), permutation.items.begin() + stored);
  if (result.itemCount > kMaxItems) {
    result.problem = SequenceProblem::kTooManyItems;
    return result;
  }
  for (const std::string& item : result.items) {
    if (item.size() > kItemWidth) {
      result.problem = SequenceProblem::kItemTooLong;
      result.overlongItem = item;
      return result;
    }
  }
  return result;
}

SequenceAnalyser::SequenceAnalyser(RuleSet rules, SearchEngine engine, std::uint64_t maxParses)
    : rules_(std::move(rules)),
      maxParses_(maxParses),
      engine_(std::move(MakeParseEngines(engine, rules_, 1).front())) {}

SequenceAnalyser::~SequenceAnalyser() = default;

SequenceAnalysis SequenceAnalyser::Analyse(std::string_view line) {
  SequenceAnalysis result = SplitSequence(line);
  if (result.problem != SequenceProblem::kNone) return result;
  Permutation permutation;
  for (std::size_t k = 0; k < result.items.size(); ++k) permutation.items[k] = result.items[k];
  permutation.currentItemCount = result.itemCount;
  try {
    // Counting first keeps a line of millions of parses from building them.
    const ParseSummary summary = engine_->CountDistinctParses(permutation, maxParses_);
    result.parseCount = summary.count;
    if (summary.count > maxParses_) {
      result.judgement = summary.rootsDiffer ? PermutationClass::Overt : PermutationClass::Covert;
      return result;
    }
    result.parses = engine_->FindDistinctParses(permutation);
  } catch (const std::bad_alloc&) {
    result.parses.clear();
    result.problem = SequenceProblem::kOutOfMemory;
    return result;
  }
  result.parseCount = result.parses.size();
  result.judgement = ClassifyParses(result.parses);
  return result;
}

const char* JudgementWords(PermutationClass judgement) {
  switch (judgement) {
    case PermutationClass::CannotCombine:
      return "不能组合";
    case PermutationClass::OneWay:
      return "只有一种组合方式(无歧义)";
    case PermutationClass::Overt:
      return "外显型歧义";
    case PermutationClass::Covert:
      return "内含型歧义";
  }
  return "";
}

}  // namespace marvolen
