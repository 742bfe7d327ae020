// Comparing the patterns of two analyses.
#include "compare/comparison.h"

#include <algorithm>
#include <utility>

#include "analysis/degree_records.h"

namespace marvolen {

namespace {

constexpr char kKeySeparator = '\x01';

std::string RuleKey(std::string_view leftTag, std::string_view title,
                    const std::vector<std::string_view>& items) {
  std::string key(leftTag);
  key += kKeySeparator;
  key += title;
  key += kKeySeparator;
  for (std::size_t k = 0; k < items.size(); ++k) {
    if (k > 0) key += ' ';
    key += items[k];
  }
  return key;
}

// Reads a bracketed parse: node = label [":" title] ["(" node {"," node} ")"].
class TreeReader {
 public:
  TreeReader(std::string_view text, std::set<std::string>& keys) : text_(text), keys_(keys) {}

  // The report writes a tree in parentheses: "(" node ")"; a node alone
  // is taken too.
  bool ReadWhole() {
    std::string_view label;
    if (!text_.empty() && text_.front() == '(') {
      ++at_;
      return Node(label, 0) && at_ + 1 == text_.size() && text_[at_] == ')';
    }
    return Node(label, 0) && at_ == text_.size();
  }

 private:
  static bool Special(char c) { return c == ':' || c == '(' || c == ')' || c == ','; }

  std::string_view Word() {
    const std::size_t start = at_;
    while (at_ < text_.size() && !Special(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }

  bool Node(std::string_view& label, int depth) {
    // Trees are as deep as their items allow; a text nested deeper is no
    // tree of ours.
    if (depth > 64) return false;
    label = Word();
    if (label.empty()) return false;
    std::string_view title;
    const bool titled = at_ < text_.size() && text_[at_] == ':';
    if (titled) {
      ++at_;
      title = Word();
    }
    if (at_ >= text_.size() || text_[at_] != '(') return !titled;
    ++at_;
    std::vector<std::string_view> children;
    for (;;) {
      std::string_view child;
      if (!Node(child, depth + 1)) return false;
      children.push_back(child);
      if (at_ >= text_.size()) return false;
      if (text_[at_] == ',') {
        ++at_;
        continue;
      }
      if (text_[at_] != ')') return false;
      ++at_;
      break;
    }
    keys_.insert(RuleKey(label, title, children));
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::set<std::string>& keys_;
};

int ClassIndex(PermutationClass cls) { return static_cast<int>(cls); }

}  // namespace

const char* SourceName(ReportKind source) {
  return source == ReportKind::kTagSet ? "tagset" : "sequences";
}

SideAverages AveragesOf(const ReportSummary& summary) {
  return {AverageDegree(summary.overtRecords).average,
          AverageDegree(summary.covertRecords).average};
}

void PatternCollector::BeginReport(ReportKind kind, std::int64_t) {
  EndPattern();
  kind_ = kind;
  SourceBegun(kind);
}

void PatternCollector::BeginPermutation(const ListedPermutation& p) {
  EndPattern();
  pattern_.items.clear();
  for (int k = 0; k < p.permutation->currentItemCount && k < kMaxItems; ++k) {
    if (k > 0) pattern_.items += ' ';
    pattern_.items += p.permutation->items[static_cast<std::size_t>(k)];
  }
  pattern_.cls = p.cls;
  pattern_.count = p.count;
  pattern_.listed = p.listed;
  pattern_.parses.clear();
  open_ = true;
}

void PatternCollector::Parse(std::string_view bracketed, std::string_view) {
  pattern_.parses.emplace_back(bracketed);
}

void PatternCollector::EndReport(const ReportSummary& summary) {
  EndPattern();
  SourceEnded(summary.kind, AveragesOf(summary));
}

void PatternCollector::EndPattern() {
  if (!open_) return;
  open_ = false;
  PatternDone(kind_, pattern_);
}

std::string RuleKeyOf(const CfgRule& rule) {
  const std::vector<std::string_view> items(rule.items().begin(), rule.items().end());
  return RuleKey(rule.leftTag(), rule.treeTitle(), items);
}

RuleIndex::RuleIndex(const RuleSet& rules) {
  for (std::size_t k = 0; k < rules.rules.size(); ++k) {
    const CfgRule& rule = rules.rules[k];
    rules_.emplace(RuleKeyOf(rule), Entry{k, rule.title()});
  }
}

std::size_t RuleIndex::Order(const std::string& key) const {
  const auto found = rules_.find(key);
  return found == rules_.end() ? rules_.size() : found->second.order;
}

bool RuleIndex::AddRulesOf(std::string_view bracketed, std::set<std::string>& keys) const {
  std::set<std::string> found;
  TreeReader reader(bracketed, found);
  if (!reader.ReadWhole()) return false;
  keys.merge(found);
  return true;
}

std::string RuleIndex::Describe(const std::string& key) const {
  const std::size_t first = key.find(kKeySeparator);
  const std::size_t second = key.find(kKeySeparator, first + 1);
  std::string text;
  if (const auto found = rules_.find(key); found != rules_.end()) {
    text = found->second.title + " ";
  }
  text += key.substr(0, first);
  text += " -> ";
  text += key.substr(second + 1);
  return text;
}

Comparison::Comparison(const RuleSet& oldRules, const RuleSet& newRules)
    : oldRules_(oldRules), newRules_(newRules) {}

std::vector<std::string> Comparison::RulesOnlyIn(const RuleIndex& index,
                                                 const std::vector<std::string>& parses,
                                                 const std::vector<std::string>& others) const {
  std::set<std::string> used, elsewhere;
  for (const std::string& parse : parses) index.AddRulesOf(parse, used);
  if (used.empty()) return {};
  for (const std::string& parse : others) index.AddRulesOf(parse, elsewhere);
  std::vector<std::pair<std::size_t, std::string>> found;
  for (const std::string& key : used) {
    if (elsewhere.count(key) == 0) found.emplace_back(index.Order(key), index.Describe(key));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (auto& [order, name] : found) names.push_back(std::move(name));
  return names;
}

void Comparison::Compare(ReportKind source, const PatternResult* old, const PatternResult* now) {
  if (old == nullptr && now == nullptr) return;
  SourceComparison& side = Source(source);
  side.present = true;
  ++side.patterns;
  const int from = old ? ClassIndex(old->cls) : SourceComparison::kAbsent;
  const int to = now ? ClassIndex(now->cls) : SourceComparison::kAbsent;
  ++side.transitions[static_cast<std::size_t>(from)][static_cast<std::size_t>(to)];

  PatternChange change;
  change.source = source;
  change.old = old;
  change.now = now;
  change.judgementChanged = from != to;
  change.parsesComparable =
      (!old || (old->listed && !old->partial)) && (!now || (now->listed && !now->partial));
  static const std::vector<std::string> kNone;
  const std::vector<std::string>& oldParses = old ? old->parses : kNone;
  const std::vector<std::string>& newParses = now ? now->parses : kNone;
  bool parsesDiffer = false;
  if (change.parsesComparable && oldParses == newParses) {
    // The same parses in the same order: the common case, without sorting.
  } else if (change.parsesComparable) {
    std::vector<std::string_view> oldSorted(oldParses.begin(), oldParses.end());
    std::vector<std::string_view> newSorted(newParses.begin(), newParses.end());
    std::sort(oldSorted.begin(), oldSorted.end());
    std::sort(newSorted.begin(), newSorted.end());
    parsesDiffer = oldSorted != newSorted;
    if (parsesDiffer) {
      for (const std::string& parse : newParses) {
        if (!std::binary_search(oldSorted.begin(), oldSorted.end(), std::string_view(parse)))
          change.gained.push_back(parse);
      }
      for (const std::string& parse : oldParses) {
        if (!std::binary_search(newSorted.begin(), newSorted.end(), std::string_view(parse)))
          change.lost.push_back(parse);
      }
    }
  } else {
    parsesDiffer = !old || !now || old->count != now->count || old->listed != now->listed;
  }
  if (!change.judgementChanged && !parsesDiffer) return;
  ++side.changed;
  change.rulesGained = RulesOnlyIn(newRules_, change.gained, oldParses);
  change.rulesLost = RulesOnlyIn(oldRules_, change.lost, newParses);
  for (ChangeSink* sink : sinks_) sink->Changed(change);
}

void Comparison::SetAverages(ReportKind source, const SideAverages& old, const SideAverages& now) {
  SourceComparison& side = Source(source);
  side.present = true;
  side.oldAverages = old;
  side.newAverages = now;
}

}  // namespace marvolen
