// Rule usage and the what-if without each rule, counted from a run's parses.
#include "rules/rule_effects.h"

#include <algorithm>
#include <cmath>

#include "analysis/degree_records.h"
#include "encoding/gbk.h"

namespace marvolen {

namespace {

// The longest right side the searches apply.
constexpr std::size_t kMaxAppliedItems = 3;
// Trees are as deep as their items allow; a text nested deeper is no tree of
// ours.
constexpr int kMaxDepth = 64;

int JudgementIndex(PermutationClass cls) { return static_cast<int>(cls); }

bool Special(char c) { return c == ':' || c == '(' || c == ')' || c == ','; }

}  // namespace

int SourceIndex(ReportKind kind) { return kind == ReportKind::kTagSet ? 0 : 1; }

void WideSum::Add(std::uint64_t value) {
  low += value;
  if (low < value) ++high;
}

void WideSum::Add(const WideSum& other) {
  Add(other.low);
  high += other.high;
}

void WideSum::Subtract(const WideSum& other) {
  if (low < other.low) --high;
  low -= other.low;
  high -= other.high;
}

double WideSum::ToDouble() const {
  return std::ldexp(static_cast<double>(high), 64) + static_cast<double>(low);
}

std::uint64_t SourceWithout::Changed() const {
  std::uint64_t changed = 0;
  for (int o = 0; o < kJudgements; ++o) {
    for (int n = 0; n < kJudgements; ++n) {
      if (o != n) changed += transitions[o][n];
    }
  }
  return changed;
}

std::uint64_t RuleEffect::ParsesUsing() const {
  std::uint64_t total = 0;
  for (const JudgementCounts& counts : parses) {
    for (std::uint64_t n : counts) total += n;
  }
  return total;
}

struct RuleEffects::ClassCounts {
  JudgementCounts parses{}, patterns{};
  std::array<JudgementCounts, kJudgements> affected{};  // [old][new], patterns it changes or keeps
  std::uint64_t parsesLost = 0;
  WideSum overtRemoved, overtAdded, covertRemoved, covertAdded;
  std::int64_t overtDelta = 0, covertDelta = 0;  // records gained (lost when negative)
};

struct RuleEffects::SourceState {
  bool present = false;
  JudgementCounts computed{};  // patterns computed, by judgement
  std::uint64_t notComputed = 0;
  WideSum overtSum, covertSum;  // of the patterns computed
  std::uint64_t overtRecords = 0, covertRecords = 0;
  std::optional<double> overtAverage, covertAverage;  // of the report
};

namespace {

constexpr std::uint64_t kFnvStart = 14695981039346656037ull;

// FNV-1a, one byte at a time: the words are short, and hashed as read.
std::uint64_t FnvStep(std::uint64_t hash, char c) {
  return (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
}

std::uint64_t HashText(std::string_view text) {
  std::uint64_t hash = kFnvStart;
  for (char c : text) hash = FnvStep(hash, c);
  return hash;
}

// A word of a parse's text and its hash.
std::string_view HashedWord(std::string_view text, std::size_t& at, std::uint64_t& hash) {
  const std::size_t start = at;
  hash = kFnvStart;
  while (at < text.size() && !Special(text[at])) hash = FnvStep(hash, text[at++]);
  return text.substr(start, at - start);
}

// The slots for `count` entries: a power of two, at least twice as many.
std::size_t SlotsFor(std::size_t count) {
  std::size_t slots = 16;
  while (slots < 2 * count) slots *= 2;
  return slots;
}

}  // namespace

std::uint64_t RuleEffects::HashOf(const Shape& shape) {
  std::uint64_t hash = 0;
  for (int word : shape.words) {
    hash = (hash ^ static_cast<std::uint32_t>(word)) * 0x9E3779B97F4A7C15ull;
  }
  return hash ^ (hash >> 29);
}

int RuleEffects::FindWord(std::string_view text, std::uint64_t hash) const {
  const std::size_t mask = words_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const WordSlot& slot = words_[at];
    if (slot.word < 0) return -1;
    if (slot.hash == hash && slot.text == text) return slot.word;
  }
}

int RuleEffects::AddWord(std::string_view text) {
  const std::uint64_t hash = HashText(text);
  const int found = FindWord(text, hash);
  if (found >= 0) return found;
  const std::size_t mask = words_.size() - 1;
  std::size_t at = hash & mask;
  while (words_[at].word >= 0) at = (at + 1) & mask;
  words_[at] = {hash, text, wordCount_};
  return wordCount_++;
}

int RuleEffects::FindShape(const Shape& shape) const {
  const std::size_t mask = shapes_.size() - 1;
  for (std::size_t at = HashOf(shape) & mask;; at = (at + 1) & mask) {
    const ShapeSlot& slot = shapes_[at];
    if (slot.cls < 0) return -1;
    if (slot.shape == shape) return slot.cls;
  }
}

RuleEffects::RuleEffects(const RuleSet& rules) : rules_(rules) {
  classOfRule_.assign(rules.rules.size(), -1);
  // Every rule brings at most five words and one shape.
  words_.resize(SlotsFor(5 * rules.rules.size() + 1));
  shapes_.resize(SlotsFor(rules.rules.size()));
  for (std::size_t k = 0; k < rules.rules.size(); ++k) {
    const CfgRule& rule = rules.rules[k];
    if (rule.items().empty() || rule.items().size() > kMaxAppliedItems) continue;
    Shape shape;
    shape.words.fill(-1);
    shape.words[0] = AddWord(rule.leftTag());
    shape.words[1] = AddWord(rule.treeTitle());
    for (std::size_t i = 0; i < rule.items().size(); ++i) {
      shape.words[2 + i] = AddWord(rule.items()[i]);
    }
    int cls = FindShape(shape);
    if (cls < 0) {
      cls = static_cast<int>(rulesInClass_.size());
      rulesInClass_.push_back(0);
      const std::size_t mask = shapes_.size() - 1;
      std::size_t at = HashOf(shape) & mask;
      while (shapes_[at].cls >= 0) at = (at + 1) & mask;
      shapes_[at] = {shape, cls};
    }
    ++rulesInClass_[static_cast<std::size_t>(cls)];
    classOfRule_[k] = cls;
  }
  counts_.resize(rulesInClass_.size() * kSources);
  sources_.resize(kSources);
  slotOfClass_.assign(rulesInClass_.size(), -1);
}

RuleEffects::~RuleEffects() = default;

void RuleEffects::BeginReport(ReportKind kind, std::int64_t) {
  EndPattern();
  source_ = SourceIndex(kind);
  sources_[static_cast<std::size_t>(source_)] = SourceState();
  for (std::size_t c = 0; c < rulesInClass_.size(); ++c) {
    counts_[c * kSources + static_cast<std::size_t>(source_)] = ClassCounts();
  }
}

void RuleEffects::DropUnfinishedReport() {
  if (sources_[static_cast<std::size_t>(source_)].present) return;
  EndPattern();
  BeginReport(source_ == 0 ? ReportKind::kTagSet : ReportKind::kSequences, 0);
}

void RuleEffects::BeginPermutation(const ListedPermutation& p) {
  EndPattern();
  open_ = true;
  computed_ = p.listed;
  cls_ = p.cls;
  parsesSeen_ = 0;
  // The count of a listed pattern is the number of its parses.
  expected_ = p.cls == PermutationClass::CannotCombine ? 0 : p.count;
}

bool RuleEffects::ReadNode(std::string_view text, std::size_t& at, int& word, int depth) {
  if (depth > kMaxDepth) return false;
  std::uint64_t hash = 0;
  const std::string_view label = HashedWord(text, at, hash);
  if (label.empty()) return false;
  word = FindWord(label, hash);
  std::string_view title;
  std::uint64_t titleHash = kFnvStart;
  const bool titled = at < text.size() && text[at] == ':';
  if (titled) {
    ++at;
    title = HashedWord(text, at, titleHash);
  }
  if (at >= text.size() || text[at] != '(') return !titled;
  ++at;
  Shape shape;
  shape.words.fill(-1);
  shape.words[0] = word;
  shape.words[1] = FindWord(title, titleHash);
  std::size_t count = 0;
  bool known = word >= 0 && shape.words[1] >= 0;
  for (;;) {
    int child = -1;
    if (!ReadNode(text, at, child, depth + 1)) return false;
    if (count == kMaxAppliedItems) return false;  // no rule has so many items
    shape.words[2 + count++] = child;
    known = known && child >= 0;
    if (at >= text.size()) return false;
    if (text[at] == ',') {
      ++at;
      continue;
    }
    if (text[at] != ')') return false;
    ++at;
    break;
  }
  // A word that no rule has makes a node that no rule makes.
  if (!known) return false;
  const int cls = FindShape(shape);
  if (cls < 0) return false;
  parseClasses_.push_back(cls);
  return true;
}

bool RuleEffects::ReadParse(std::string_view text) {
  // The report writes a tree in parentheses: "(" node ")".
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  std::size_t at = 1;
  int word = -1;
  return ReadNode(text, at, word, 0) && at + 1 == text.size();
}

void RuleEffects::Parse(std::string_view bracketed, std::string_view rootLabel) {
  ++parsesSeen_;
  if (!open_ || !computed_) return;
  parseClasses_.clear();
  if (!ReadParse(bracketed)) {
    computed_ = false;
    return;
  }
  std::size_t r = 0;
  while (r < roots_.size() && roots_[r] != rootLabel) ++r;
  if (r == roots_.size()) {
    roots_.emplace_back(rootLabel);
    parsesByRoot_.push_back(0);
  }
  ++parsesByRoot_[r];
  std::sort(parseClasses_.begin(), parseClasses_.end());
  parseClasses_.erase(std::unique(parseClasses_.begin(), parseClasses_.end()), parseClasses_.end());
  for (int c : parseClasses_) {
    int& slot = slotOfClass_[static_cast<std::size_t>(c)];
    if (slot < 0) {
      slot = static_cast<int>(touched_.size());
      touched_.push_back(c);
      if (byRoot_.size() < touched_.size()) byRoot_.emplace_back();
      byRoot_[static_cast<std::size_t>(slot)].clear();
    }
    std::vector<std::uint64_t>& counts = byRoot_[static_cast<std::size_t>(slot)];
    if (counts.size() <= r) counts.resize(r + 1, 0);
    ++counts[r];
  }
}

void RuleEffects::EndPattern() {
  if (!open_) return;
  open_ = false;
  SourceState& source = sources_[static_cast<std::size_t>(source_)];
  if (cls_ == PermutationClass::CannotCombine) {
    // Counted from the summary: not every order of patterns has them.
  } else if (computed_ && parsesSeen_ == expected_) {
    const int old = JudgementIndex(cls_);
    ++source.computed[static_cast<std::size_t>(old)];
    if (cls_ == PermutationClass::Overt) {
      source.overtSum.Add(parsesSeen_);
      ++source.overtRecords;
    } else if (cls_ == PermutationClass::Covert) {
      source.covertSum.Add(parsesSeen_);
      ++source.covertRecords;
    }
    for (std::size_t slot = 0; slot < touched_.size(); ++slot) {
      const int c = touched_[slot];
      const std::vector<std::uint64_t>& used = byRoot_[slot];
      std::uint64_t usedParses = 0;
      for (std::uint64_t n : used) usedParses += n;
      ClassCounts& counts =
          counts_[static_cast<std::size_t>(c) * kSources + static_cast<std::size_t>(source_)];
      counts.parses[static_cast<std::size_t>(old)] += usedParses;
      ++counts.patterns[static_cast<std::size_t>(old)];
      if (rulesInClass_[static_cast<std::size_t>(c)] > 1) continue;
      // What survives: the parses that do not use the class.
      const std::uint64_t left = parsesSeen_ - usedParses;
      int rootsLeft = 0;
      for (std::size_t r = 0; r < parsesByRoot_.size(); ++r) {
        const std::uint64_t gone = r < used.size() ? used[r] : 0;
        if (parsesByRoot_[r] > gone) ++rootsLeft;
      }
      const PermutationClass now = left == 0       ? PermutationClass::CannotCombine
                                   : left == 1     ? PermutationClass::OneWay
                                   : rootsLeft > 1 ? PermutationClass::Overt
                                                   : PermutationClass::Covert;
      ++counts
            .affected[static_cast<std::size_t>(old)][static_cast<std::size_t>(JudgementIndex(now))];
      counts.parsesLost += usedParses;
      if (cls_ == PermutationClass::Overt) {
        counts.overtRemoved.Add(parsesSeen_);
        --counts.overtDelta;
      } else if (cls_ == PermutationClass::Covert) {
        counts.covertRemoved.Add(parsesSeen_);
        --counts.covertDelta;
      }
      if (now == PermutationClass::Overt) {
        counts.overtAdded.Add(left);
        ++counts.overtDelta;
      } else if (now == PermutationClass::Covert) {
        counts.covertAdded.Add(left);
        ++counts.covertDelta;
      }
    }
  } else {
    ++source.notComputed;
  }
  for (int c : touched_) slotOfClass_[static_cast<std::size_t>(c)] = -1;
  touched_.clear();
  roots_.clear();
  parsesByRoot_.clear();
}

void RuleEffects::EndReport(const ReportSummary& summary) {
  EndPattern();
  SourceState& source = sources_[static_cast<std::size_t>(SourceIndex(summary.kind))];
  source.present = true;
  source.computed[static_cast<std::size_t>(JudgementIndex(PermutationClass::CannotCombine))] =
      static_cast<std::uint64_t>(summary.counters.cannotCombineCount);
  source.overtAverage = AverageDegree(summary.overtRecords).average;
  source.covertAverage = AverageDegree(summary.covertRecords).average;
}

std::vector<RuleEffect> RuleEffects::Effects() const {
  std::vector<RuleEffect> effects(rules_.rules.size());
  for (std::size_t k = 0; k < effects.size(); ++k) {
    RuleEffect& e = effects[k];
    e.rule = static_cast<int>(k);
    const int c = classOfRule_[k];
    e.sharesNodes = c >= 0 && rulesInClass_[static_cast<std::size_t>(c)] > 1;
    for (std::size_t s = 0; s < kSources; ++s) {
      const SourceState& source = sources_[s];
      SourceWithout& w = e.without[s];
      w.present = source.present;
      if (!source.present) continue;
      w.notComputed = source.notComputed;
      w.overtBefore = source.overtAverage;
      w.covertBefore = source.covertAverage;
      for (int j = 0; j < kJudgements; ++j) w.transitions[j][j] = source.computed[j];
      const ClassCounts* counts =
          c >= 0 ? &counts_[static_cast<std::size_t>(c) * kSources + s] : nullptr;
      if (counts != nullptr) {
        e.parses[s] = counts->parses;
        e.patterns[s] = counts->patterns;
      }
      if (counts == nullptr || e.sharesNodes) {
        // Nothing changes, not even in the patterns not computed.
        w.overtAfter = w.overtBefore;
        w.covertAfter = w.covertBefore;
        continue;
      }
      for (int o = 0; o < kJudgements; ++o) {
        for (int n = 0; n < kJudgements; ++n) {
          w.transitions[o][o] -= counts->affected[o][n];
          w.transitions[o][n] += counts->affected[o][n];
        }
      }
      w.parsesLost = counts->parsesLost;
      if (source.notComputed > 0) continue;
      auto average = [](WideSum sum, const WideSum& added, const WideSum& removed,
                        std::uint64_t records, std::int64_t delta) -> std::optional<double> {
        const std::int64_t now = static_cast<std::int64_t>(records) + delta;
        if (now <= 0) return std::nullopt;
        sum.Add(added);
        sum.Subtract(removed);
        return sum.ToDouble() / static_cast<double>(now);
      };
      w.overtAfter = average(source.overtSum, counts->overtAdded, counts->overtRemoved,
                             source.overtRecords, counts->overtDelta);
      w.covertAfter = average(source.covertSum, counts->covertAdded, counts->covertRemoved,
                              source.covertRecords, counts->covertDelta);
    }
  }
  return effects;
}

namespace {

const char* const kJudgementNames[kJudgements] = {"cannot combine", "one way", "overt", "covert"};
const char* const kSourceNames[kSources] = {"tag set", "sequences"};

std::string Average(const std::optional<double>& average) {
  return average ? FormatAverage(*average) : std::string("none");
}

}  // namespace

std::string DescribeRule(const CfgRule& rule) {
  std::string text = GbkForMessage(rule.title()) + " " + GbkForMessage(rule.leftTag()) + " ->";
  for (const std::string& item : rule.items()) text += " " + GbkForMessage(item);
  if (!rule.treeTitle().empty()) text += " :: " + GbkForMessage(rule.treeTitle());
  return text;
}

std::string DescribeUsage(const RuleEffect& effect, int source) {
  const std::size_t s = static_cast<std::size_t>(source);
  std::string text;
  for (int j = 1; j < kJudgements; ++j) {
    const std::size_t k = static_cast<std::size_t>(j);
    if (j > 1) text += ", ";
    text += kJudgementNames[j];
    text += " " + std::to_string(effect.parses[s][k]) + "/" + std::to_string(effect.patterns[s][k]);
  }
  return text;
}

std::string DescribeWithout(const RuleEffect& effect, int source) {
  const SourceWithout& w = effect.without[static_cast<std::size_t>(source)];
  if (effect.sharesNodes) return "no change (another rule makes the same nodes)";
  std::string text;
  for (int o = 0; o < kJudgements; ++o) {
    for (int n = 0; n < kJudgements; ++n) {
      const std::uint64_t count =
          w.transitions[static_cast<std::size_t>(o)][static_cast<std::size_t>(n)];
      if (o == n || count == 0) continue;
      if (!text.empty()) text += ", ";
      text += std::string(kJudgementNames[o]) + " -> " + kJudgementNames[n] + " " +
              std::to_string(count);
    }
  }
  if (text.empty()) text = "no judgement changes";
  text += "; parses lost " + std::to_string(w.parsesLost);
  text += "; average overt " + Average(w.overtBefore) + " -> " + Average(w.overtAfter);
  text += ", covert " + Average(w.covertBefore) + " -> " + Average(w.covertAfter);
  if (w.notComputed > 0) text += "; " + std::to_string(w.notComputed) + " patterns not computed";
  return text;
}

std::string FormatRuleEffects(const RuleSet& rules, const std::vector<RuleEffect>& effects,
                              const std::string& rulesName) {
  std::string text =
      "Rules: usage and the run without each rule\n"
      "(usage: parses/patterns using the rule, by the pattern's judgement)\n";
  std::vector<int> unused;
  for (const RuleEffect& e : effects) {
    const CfgRule& rule = rules.rules[static_cast<std::size_t>(e.rule)];
    text += "\n" + DescribeRule(rule) + " (" + rulesName;
    if (const int line = rules.LineOf(e.rule); line > 0) text += ":" + std::to_string(line);
    text += ")\n";
    if (e.ParsesUsing() == 0) unused.push_back(e.rule);
    for (int s = 0; s < kSources; ++s) {
      if (!e.without[static_cast<std::size_t>(s)].present) continue;
      text += std::string("  ") + kSourceNames[s] + ": used " + DescribeUsage(e, s) + "\n";
      text += "    without it: " + DescribeWithout(e, s) + "\n";
    }
  }
  text += "\nUnused rules (no parse uses them):";
  if (unused.empty()) text += " none";
  text += "\n";
  for (int k : unused) {
    text += "  " + DescribeRule(rules.rules[static_cast<std::size_t>(k)]);
    if (const int line = rules.LineOf(k); line > 0) text += " (line " + std::to_string(line) + ")";
    text += "\n";
  }
  return text;
}

}  // namespace marvolen
