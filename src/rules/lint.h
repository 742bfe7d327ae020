// Checking the three data files against each other without analysing
// anything: rules that can never apply, rules that repeat or shadow each
// other, cycles of one-item rules, tags no rule uses and sequences with items
// the tag set does not hold. Each finding names its file and line.
#ifndef MARVOLEN_RULES_LINT_H_
#define MARVOLEN_RULES_LINT_H_

#include <string>
#include <vector>

#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "grammar/cfg_rule.h"

namespace marvolen {

enum class DataFile { kTags, kRules, kSequences };

enum class FindingKind {
  kUnknownItem,          // a right-side item nothing can give: the rule never applies
  kUnreachableItem,      // an item given only by rules that never apply
  kNeverAppliedLength,   // a right side of no item or of more than three
  kDuplicate,            // same left tag, right side and tree title as an earlier rule
  kSameRightSide,        // same right side as an earlier rule, another left tag
  kOtherTreeTitle,       // same left tag and right side, another tree title
  kUnaryCycle,           // one-item rules that rewrite into each other
  kUnusedTag,            // a tag of the tag set that no rule names
  kSequenceUnknownItem,  // a sequence item that is not in the tag set
};

struct Finding {
  DataFile file = DataFile::kRules;
  int line = 0;  // 1 for the first; 0 when the reader did not give one
  FindingKind kind = FindingKind::kDuplicate;
  std::string text;  // UTF-8, without the file and line
};

// The findings, by file (tags, rules, sequences), then by line, then in the
// order they were found. `threeItemsOnly` is the run's mode: in long mode
// the patterns hold "u<的>" and "c<和>" whether the tag set does or not.
std::vector<Finding> LintDataFiles(const TagSet& tagSet, const RuleSet& ruleSet,
                                   const SequenceList& sequences, bool threeItemsOnly);

// "FILE:LINE: TEXT\n" per finding (":LINE" left out when 0), with the file
// names given (UTF-8) in the order tags, rules, sequences.
std::string FormatFindings(const std::vector<Finding>& findings, const std::string& tagsName,
                           const std::string& rulesName, const std::string& sequencesName);

}  // namespace marvolen

#endif  // MARVOLEN_RULES_LINT_H_
