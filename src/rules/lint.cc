// Checking the data files against each other.
#include "rules/lint.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "encoding/gbk.h"
#include "grammar/permutation.h"
#include "grammar/unary_cycles.h"
#include "rules/rule_effects.h"

namespace marvolen {

namespace {

// The longest right side the searches apply.
constexpr std::size_t kMaxAppliedItems = 3;

std::string Quote(std::string_view gbk) { return GbkForMessage(gbk); }

// " (line N)" for a rule whose line is known, else nothing.
std::string LineNote(const RuleSet& rules, int k) {
  const int line = rules.LineOf(k);
  return line > 0 ? " (line " + std::to_string(line) + ")" : std::string();
}

std::string JoinItems(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += ' ';
    text += item;
  }
  return text;
}

// The items of a sequence line, split as the sequences report splits it.
std::vector<std::string_view> SequenceItems(std::string_view line) {
  std::vector<std::string_view> items;
  std::size_t i = 0;
  auto separator = [](char c) { return c == ' ' || c == '\r' || c == '\n'; };
  while (i < line.size()) {
    while (i < line.size() && separator(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !separator(line[i])) ++i;
    if (i > start) items.push_back(line.substr(start, i - start));
  }
  return items;
}

class Linter {
 public:
  Linter(const TagSet& tagSet, const RuleSet& ruleSet, const SequenceList& sequences,
         bool threeItemsOnly)
      : tagSet_(tagSet), rules_(ruleSet), sequences_(sequences), threeItemsOnly_(threeItemsOnly) {}

  std::vector<Finding> Run() {
    CheckItems();
    CheckRepeats();
    CheckCycles();
    CheckUnusedTags();
    CheckSequences();
    std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
      if (a.file != b.file) return a.file < b.file;
      return a.line < b.line;
    });
    return std::move(findings_);
  }

 private:
  void Add(DataFile file, int line, FindingKind kind, std::string text) {
    findings_.push_back({file, line, kind, std::move(text)});
  }
  void AddRule(int k, FindingKind kind, const std::string& text) {
    Add(DataFile::kRules, rules_.LineOf(k), kind, DescribeRule(rules_.rules[k]) + ": " + text);
  }
  static bool Applied(const CfgRule& rule) {
    return !rule.items().empty() && rule.items().size() <= kMaxAppliedItems;
  }

  // Rules that can never apply: an item that nothing gives, an item given
  // only by such rules, a right side the search never applies.
  void CheckItems() {
    std::unordered_set<std::string_view> given;  // items a pattern can hold
    for (const std::string& tag : tagSet_.tags) given.insert(tag);
    for (const std::string& line : sequences_.lines) {
      for (std::string_view item : SequenceItems(line)) given.insert(item);
    }
    if (!threeItemsOnly_) {
      given.insert(kParticleDe);
      given.insert(kConjunctionHe);
    }
    std::unordered_set<std::string_view> leftTags;
    for (const CfgRule& rule : rules_.rules) leftTags.insert(rule.leftTag());

    // What the rules can make, from what the patterns hold, to a fixed point.
    std::unordered_set<std::string_view> made = given;
    std::vector<bool> applies(rules_.rules.size(), false);
    for (bool grew = true; grew;) {
      grew = false;
      for (std::size_t k = 0; k < rules_.rules.size(); ++k) {
        const CfgRule& rule = rules_.rules[k];
        if (applies[k] || !Applied(rule)) continue;
        const bool all = std::all_of(rule.items().begin(), rule.items().end(),
                                     [&](const std::string& item) { return made.count(item) > 0; });
        if (!all) continue;
        applies[k] = true;
        grew = made.insert(rule.leftTag()).second || grew;
      }
    }

    for (int k = 0; k < rules_.count(); ++k) {
      const CfgRule& rule = rules_.rules[k];
      if (!Applied(rule)) {
        AddRule(k, FindingKind::kNeverAppliedLength,
                rule.items().empty()
                    ? "the right side is empty; the rule never applies"
                    : "the right side has more than three items; the search applies only "
                      "rules of one to three items, so this one never applies");
        continue;
      }
      std::vector<std::string> unknown, unmade;
      for (const std::string& item : rule.items()) {
        if (given.count(item) == 0 && leftTags.count(item) == 0) {
          unknown.push_back(Quote(item));
        } else if (made.count(item) == 0) {
          unmade.push_back(Quote(item));
        }
      }
      if (!unknown.empty()) {
        AddRule(k, FindingKind::kUnknownItem,
                std::string(unknown.size() == 1 ? "item " : "items ") + JoinItems(unknown) +
                    (unknown.size() == 1 ? " is" : " are") +
                    " neither in the tag set nor in a sequence nor the left tag of any rule; "
                    "the rule can never apply");
      } else if (!unmade.empty()) {
        AddRule(k, FindingKind::kUnreachableItem,
                std::string(unmade.size() == 1 ? "item " : "items ") + JoinItems(unmade) +
                    (unmade.size() == 1 ? " is" : " are") +
                    " made only by rules that can never apply; the rule can never apply");
      }
    }
  }

  // Exact repeats, and rules that share a right side with an earlier one.
  void CheckRepeats() {
    std::map<std::tuple<std::string, std::string, std::string>, int> whole;  // left, right, title
    std::map<std::pair<std::string, std::string>, std::vector<int>> sameLeftRight;
    std::map<std::string, std::vector<int>> sameRight;
    for (int k = 0; k < rules_.count(); ++k) {
      const CfgRule& rule = rules_.rules[k];
      const std::string right = JoinItems(rule.items());
      const auto [first, added] =
          whole.emplace(std::make_tuple(rule.leftTag(), right, rule.treeTitle()), k);
      std::vector<int>& leftRight = sameLeftRight[{rule.leftTag(), right}];
      std::vector<int>& rightOnly = sameRight[right];
      if (!added) {
        AddRule(k, FindingKind::kDuplicate,
                "repeats " + DescribeRule(rules_.rules[first->second]) +
                    LineNote(rules_, first->second) +
                    ": the same left tag, right side and tree title");
      } else if (!leftRight.empty()) {
        const int j = leftRight.front();
        AddRule(k, FindingKind::kOtherTreeTitle,
                "has the left tag and right side of " + DescribeRule(rules_.rules[j]) +
                    LineNote(rules_, j) + " with another tree title: a source of covert ambiguity");
      } else if (!rule.items().empty()) {
        const auto other = std::find_if(rightOnly.begin(), rightOnly.end(), [&](int j) {
          return rules_.rules[j].leftTag() != rule.leftTag();
        });
        if (other != rightOnly.end()) {
          AddRule(k, FindingKind::kSameRightSide,
                  "has the right side of " + DescribeRule(rules_.rules[*other]) +
                      LineNote(rules_, *other) +
                      " with another left tag: a source of overt ambiguity");
        }
      }
      leftRight.push_back(k);
      rightOnly.push_back(k);
    }
  }

  void CheckCycles() {
    for (const std::vector<int>& cycle : FindUnaryRuleCycles(rules_)) {
      std::string text = "one-item rules rewrite into each other: ";
      for (std::size_t i = 0; i < cycle.size(); ++i) {
        if (i > 0) text += ", ";
        text += DescribeRule(rules_.rules[cycle[i]]) + LineNote(rules_, cycle[i]);
      }
      text += "; the search never applies them around the cycle";
      Add(DataFile::kRules, rules_.LineOf(cycle.front()), FindingKind::kUnaryCycle, text);
    }
  }

  void CheckUnusedTags() {
    std::unordered_set<std::string_view> named;
    for (const CfgRule& rule : rules_.rules) {
      named.insert(rule.leftTag());
      for (const std::string& item : rule.items()) named.insert(item);
    }
    for (int t = 0; t < tagSet_.count(); ++t) {
      const std::string& tag = tagSet_.tags[t];
      if (named.count(tag) > 0) continue;
      const int line = t < static_cast<int>(tagSet_.lines.size()) ? tagSet_.lines[t] : 0;
      Add(DataFile::kTags, line, FindingKind::kUnusedTag,
          "tag " + Quote(tag) + " occurs in no rule; no pattern with it can combine");
    }
  }

  void CheckSequences() {
    const std::unordered_set<std::string_view> tags(tagSet_.tags.begin(), tagSet_.tags.end());
    for (int s = 0; s < sequences_.count(); ++s) {
      std::vector<std::string> unknown;
      for (std::string_view item : SequenceItems(sequences_.lines[s])) {
        if (tags.count(item) == 0) unknown.push_back(Quote(item));
      }
      if (unknown.empty()) continue;
      const int line =
          s < static_cast<int>(sequences_.fileLines.size()) ? sequences_.fileLines[s] : 0;
      std::string shown;
      for (std::string_view item : SequenceItems(sequences_.lines[s])) {
        if (!shown.empty()) shown += ' ';
        shown += Quote(item);
      }
      Add(DataFile::kSequences, line, FindingKind::kSequenceUnknownItem,
          "sequence " + shown + ": " + (unknown.size() == 1 ? "item " : "items ") +
              JoinItems(unknown) + (unknown.size() == 1 ? " is" : " are") + " not in the tag set");
    }
  }

  const TagSet& tagSet_;
  const RuleSet& rules_;
  const SequenceList& sequences_;
  const bool threeItemsOnly_;
  std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> LintDataFiles(const TagSet& tagSet, const RuleSet& ruleSet,
                                   const SequenceList& sequences, bool threeItemsOnly) {
  return Linter(tagSet, ruleSet, sequences, threeItemsOnly).Run();
}

std::string FormatFindings(const std::vector<Finding>& findings, const std::string& tagsName,
                           const std::string& rulesName, const std::string& sequencesName) {
  std::string text;
  for (const Finding& finding : findings) {
    text += finding.file == DataFile::kTags    ? tagsName
            : finding.file == DataFile::kRules ? rulesName
                                               : sequencesName;
    if (finding.line > 0) text += ":" + std::to_string(finding.line);
    text += ": " + finding.text + "\n";
  }
  return text;
}

}  // namespace marvolen
