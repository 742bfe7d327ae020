// Interning the texts of the rules and indexing the rule classes.
#include "grammar/compiled_grammar.h"

#include <algorithm>
#include <functional>
#include <map>

namespace marvolen {

namespace {

// A key that tells rule classes apart: every text with its length in front,
// so that no two different lists of texts give the same key.
void AppendKeyPart(std::string& key, std::string_view text) {
  const std::uint32_t size = static_cast<std::uint32_t>(text.size());
  key.append(reinterpret_cast<const char*>(&size), sizeof size);
  key.append(text);
}

}  // namespace

CompiledGrammar::CompiledGrammar(const RuleSet& rules) {
  // The classes with the symbols of their items, in the order of their
  // first rule.
  std::vector<std::vector<int>> classItems;
  std::unordered_map<std::string, int> classOfKey;
  for (int t = 0; t < rules.count(); ++t) {
    const CfgRule& rule = rules.rules[t];
    const int length = CountRuleItems(rule);
    if (length < 1 || length > kMaxAppliedLength) continue;
    std::string key;
    AppendKeyPart(key, rule.leftTag());
    AppendKeyPart(key, rule.treeTitle());
    for (const std::string& item : rule.items()) AppendKeyPart(key, item);
    const auto [it, added] = classOfKey.emplace(std::move(key), ClassCount());
    if (!added) {
      classes_[it->second].lastIndex = t;
      continue;
    }
    RuleClass c;
    c.left = Intern(rule.leftTag());
    c.length = length;
    c.lastIndex = t;
    c.leftTag = rule.leftTag();
    c.treeTitle = rule.treeTitle();
    classes_.push_back(std::move(c));
    std::vector<int> items;
    for (const std::string& item : rule.items()) items.push_back(Intern(item));
    classItems.push_back(std::move(items));
  }

  // Group the class ids by right side; each group becomes one range.
  const int symbolCount = static_cast<int>(symbols_.size());
  flags_.assign(symbolCount, 0);
  unary_.assign(symbolCount, Range());
  std::map<std::pair<int, std::uint64_t>, std::vector<int>> groups;  // (length, key)
  for (int c = 0; c < ClassCount(); ++c) {
    const std::vector<int>& items = classItems[c];
    const int length = classes_[c].length;
    const std::uint64_t key = length == 1   ? static_cast<std::uint64_t>(items[0])
                              : length == 2 ? Key(0, items[0], items[1])
                                            : Key(items[0], items[1], items[2]);
    groups[{length, key}].push_back(c);
    if (length == 2) flags_[items[0]] |= kBeginsBinary;
    if (length == 3) flags_[items[0]] |= kBeginsTernary;
  }
  std::vector<std::pair<std::uint64_t, Range>> binary, ternary;
  for (const auto& [lengthAndKey, ids] : groups) {
    Range range;
    range.begin = static_cast<std::uint32_t>(classIds_.size());
    classIds_.insert(classIds_.end(), ids.begin(), ids.end());
    range.end = static_cast<std::uint32_t>(classIds_.size());
    const auto [length, key] = lengthAndKey;
    if (length == 1) {
      unary_[key] = range;
    } else if (length == 2) {
      binary.emplace_back(key, range);
    } else {
      ternary.emplace_back(key, range);
    }
  }
  binary_.Build(binary);
  ternary_.Build(ternary);
  CountUnaryChains();
}

void CompiledGrammar::CountUnaryChains() {
  const int symbolCount = static_cast<int>(symbols_.size());
  chainBegin_.assign(1, 0);
  std::vector<std::uint64_t> counts(symbolCount, 0);
  std::vector<bool> onChain(symbolCount, false);
  for (int root = 0; root < symbolCount; ++root) {
    // Every chain from the root, depth first. A tangle of one-item rules can
    // have more chains than can be walked: past the budget every symbol
    // reachable from the root counts as reached by too many.
    std::int64_t budget = kUnaryChainBudget;
    std::function<void(int)> climb = [&](int symbol) {
      counts[symbol] = AddCounts(counts[symbol], 1);
      if (--budget < 0) return;
      onChain[symbol] = true;
      for (const int c : UnaryOver(symbol)) {
        const int left = classes_[c].left;
        if (!onChain[left]) climb(left);
      }
      onChain[symbol] = false;
    };
    climb(root);
    if (budget < 0) {
      std::vector<int> reach = {root};
      counts[root] = kManyParses;
      for (std::size_t k = 0; k < reach.size(); ++k) {
        for (const int c : UnaryOver(reach[k])) {
          const int left = classes_[c].left;
          if (counts[left] != kManyParses) {
            counts[left] = kManyParses;
            reach.push_back(left);
          }
        }
      }
      std::fill(onChain.begin(), onChain.end(), false);
    }
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
      if (counts[symbol] == 0) continue;
      chains_.push_back({symbol, counts[symbol]});
      counts[symbol] = 0;
    }
    chainBegin_.push_back(static_cast<std::uint32_t>(chains_.size()));
  }
}

std::span<const CompiledGrammar::UnaryChains> CompiledGrammar::UnaryChainsFrom(int symbol) const {
  return std::span<const UnaryChains>(chains_.data() + chainBegin_[symbol],
                                      chainBegin_[symbol + 1] - chainBegin_[symbol]);
}

bool CompiledGrammar::UnaryReaches(int from, int to) const {
  const std::span<const UnaryChains> chains = UnaryChainsFrom(from);
  const auto it = std::lower_bound(chains.begin(), chains.end(), to,
                                   [](const UnaryChains& c, int s) { return c.symbol < s; });
  return it != chains.end() && it->symbol == to;
}

void CompiledGrammar::RangeIndex::Build(
    const std::vector<std::pair<std::uint64_t, Range>>& entries) {
  if (entries.empty()) return;
  // At most half full.
  int bits = 1;
  while ((std::size_t{1} << bits) < 2 * entries.size()) ++bits;
  slots_.assign(std::size_t{1} << bits, Slot());
  mask_ = slots_.size() - 1;
  shift_ = 64 - bits;
  for (const auto& [key, range] : entries) {
    std::size_t at = Hash(key);
    while (slots_[at].key != kEmpty) at = (at + 1) & mask_;
    slots_[at].key = key;
    slots_[at].range = range;
  }
}

int CompiledGrammar::Intern(const std::string& text) {
  const auto [it, added] = symbols_.emplace(text, static_cast<int>(symbols_.size()));
  return it->second;
}

int CompiledGrammar::SymbolOf(std::string_view text) const {
  const auto it = symbols_.find(text);
  return it == symbols_.end() ? kNoSymbol : it->second;
}

std::uint64_t CompiledGrammar::Key(int first, int second, int third) const {
  const std::uint64_t n = symbols_.size();
  return (static_cast<std::uint64_t>(first) * n + static_cast<std::uint64_t>(second)) * n +
         static_cast<std::uint64_t>(third);
}

std::span<const int> CompiledGrammar::Lookup(const RangeIndex& index, std::uint64_t key) const {
  const Range* range = index.Find(key);
  if (range == nullptr) return {};
  return std::span<const int>(classIds_.data() + range->begin, range->end - range->begin);
}

std::span<const int> CompiledGrammar::UnaryOver(int item) const {
  const Range& range = unary_[item];
  return std::span<const int>(classIds_.data() + range.begin, range.end - range.begin);
}

std::span<const int> CompiledGrammar::BinaryOver(int first, int second) const {
  return Lookup(binary_, Key(0, first, second));
}

std::span<const int> CompiledGrammar::TernaryOver(int first, int second, int third) const {
  return Lookup(ternary_, Key(first, second, third));
}

}  // namespace marvolen
