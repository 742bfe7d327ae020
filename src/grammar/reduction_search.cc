// The literal breadth-first reduction search.
#include "grammar/reduction_search.h"

#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace marvolen {

namespace {

// Right sides longer than this are never applied.
constexpr int kMaxAppliedRuleLength = 3;

// True when `label` stands on the unary spine of `tree`: the root, then the
// only child, and so on down to the first leaf or node with several children.
bool LabelOnUnarySpine(const ParseTreeNode* tree, std::string_view label) {
  for (const ParseTreeNode* node = tree; node != nullptr;) {
    if (node->label == label) return true;
    const ParseTreeNode* child = node->firstChild.get();
    if (child == nullptr || child->nextSibling != nullptr) return false;
    node = child;
  }
  return false;
}

}  // namespace

// The rules that the search can apply, grouped by the length of their right
// side (1 to 3) and by their first item; each group keeps table order, so
// looking up the group of a symbol gives exactly the rules, in table order,
// that a scan of the whole table would try on it.
class LiteralRuleIndex {
 public:
  explicit LiteralRuleIndex(const RuleSet& rules) {
    for (const CfgRule& rule : rules.rules) {
      const int length = CountRuleItems(rule);
      if (length < 1 || length > kMaxAppliedRuleLength) continue;
      groups_[length - 1][RuleItemAt(rule, 1)].push_back(&rule);
    }
  }

  // The rules of `length` items whose first item is `first`, in table order.
  const std::vector<const CfgRule*>& Find(int length, std::string_view first) const {
    const auto& group = groups_[length - 1];
    const auto it = group.find(first);
    return it == group.end() ? none_ : it->second;
  }

 private:
  std::unordered_map<std::string_view, std::vector<const CfgRule*>> groups_[kMaxAppliedRuleLength];
  std::vector<const CfgRule*> none_;
};

namespace {

using RuleIndex = LiteralRuleIndex;

// True when the rule's items equal the texts of the symbols from `start` on.
bool RuleMatches(const CfgRule& rule, const SymbolNode* start) {
  const SymbolNode* s = start;
  for (const std::string& item : rule.items()) {
    if (s == nullptr || item != s->text) return false;
    s = s->next.get();
  }
  return true;
}

// Append to `queue` the successors of `state` at the 1-based `position`, which
// lies in 1 to currentItemCount; a position past the state's end adds none.
void ExpandAt(int position, const ReductionState& state, const RuleIndex& rules,
              std::deque<ReductionState>& queue, UnaryCycleGuard guard) {
  const int symbolCount = CountSymbols(state.symbols.get());
  if (position > symbolCount) return;
  const SymbolNode* start = state.symbols.get();
  for (int k = 1; k < position; ++k) start = start->next.get();
  const int available = symbolCount - position + 1;

  for (int length = 1; length <= kMaxAppliedRuleLength && length <= available; ++length) {
    const SymbolNode* last = start;
    for (int k = 1; k < length; ++k) last = last->next.get();
    for (const CfgRule* rule : rules.Find(length, start->text)) {
      if (!RuleMatches(*rule, start)) continue;
      if (length == 1 && guard == UnaryCycleGuard::kOn &&
          LabelOnUnarySpine(start->tree.get(), rule->leftTag())) {
        continue;
      }
      auto node = std::make_unique<SymbolNode>();
      node->text = rule->leftTag();
      node->tree = std::make_unique<ParseTreeNode>(rule->leftTag(), rule->treeTitle());
      ReductionState successor;
      successor.symbols = BuildSuccessor(state.symbols.get(), start, std::move(node), last);
      queue.push_back(std::move(successor));
    }
  }
}

// The states a search expands between two looks at the stop token.
constexpr int kStatesBetweenStopChecks = 256;

// Every distinct parse of the permutation: the states are expanded first in,
// first out; each state of one symbol is a complete parse.
ParseList Search(const Permutation& permutation, const RuleIndex& index, UnaryCycleGuard guard,
                 const std::stop_token& stop) {
  ReductionState initial;
  initial.symbols = BuildInitialSymbols(permutation);
  for (SymbolNode* s = initial.symbols.get(); s != nullptr; s = s->next.get()) {
    s->tree = std::make_unique<ParseTreeNode>(s->text, "");
  }
  // Positions past the initial length never reach a symbol: states only
  // get shorter.
  const int positions = CountSymbols(initial.symbols.get());

  std::deque<ReductionState> queue;
  queue.push_back(std::move(initial));
  ParseList completed;  // in the order of completion
  int sinceCheck = 0;
  while (!queue.empty()) {
    if (++sinceCheck == kStatesBetweenStopChecks) {
      sinceCheck = 0;
      if (stop.stop_requested()) throw SearchStopped();
    }
    for (int n = 1; n <= positions; ++n) ExpandAt(n, queue.front(), index, queue, guard);
    ReductionState s = std::move(queue.front());
    queue.pop_front();
    if (s.symbols != nullptr && s.symbols->next == nullptr) {
      completed.push_back(std::move(s.symbols->tree));
    }
  }

  // The list runs from the most recent completion to the earliest; of each
  // group of equal trees the one nearest the front stays.
  ParseList distinct;
  for (auto it = completed.rbegin(); it != completed.rend(); ++it) {
    bool repeated = false;
    for (const auto& kept : distinct) {
      if (TreesEqual(kept.get(), it->get())) {
        repeated = true;
        break;
      }
    }
    if (!repeated) distinct.push_back(std::move(*it));
  }
  return distinct;
}

}  // namespace

ParseList FindDistinctParses(const Permutation& permutation, const RuleSet& rules,
                             UnaryCycleGuard guard) {
  return Search(permutation, RuleIndex(rules), guard, {});
}

LiteralParseEngine::LiteralParseEngine(const RuleSet& rules, UnaryCycleGuard guard,
                                       std::stop_token stop)
    : guard_(guard),
      stop_(std::move(stop)),
      index_(std::make_unique<LiteralRuleIndex>(rules)),
      grammar_(std::make_unique<CompiledGrammar>(rules)),
      counter_(std::make_unique<ParseCounter>(*grammar_)) {}

LiteralParseEngine::~LiteralParseEngine() = default;

ParseSummary LiteralParseEngine::CountDistinctParses(const Permutation& permutation,
                                                     std::uint64_t listLimit) {
  listed_.clear();
  listable_ = false;
  if (stop_.stop_requested()) throw SearchStopped();
  const ParseSummary counted = counter_->Count(permutation);
  if (counted.count > listLimit) return counted;
  listed_ = Search(permutation, *index_, guard_, stop_);
  listable_ = true;
  ParseSummary summary;
  summary.count = listed_.size();
  for (std::size_t k = 1; k < listed_.size() && !summary.rootsDiffer; ++k) {
    summary.rootsDiffer = listed_[k]->label != listed_.front()->label;
  }
  return summary;
}

void LiteralParseEngine::PrintDistinctParses(const PrintedParse& take) {
  if (!listable_) {
    throw std::logic_error("PrintDistinctParses without a permutation counted within its limit");
  }
  std::string text;
  for (const auto& tree : listed_) {
    if (stop_.stop_requested()) throw SearchStopped();
    text.clear();
    PrintTree(tree.get(), text);
    take(text, tree->label);
  }
}

void LiteralParseEngine::VisitDistinctParses(const VisitedParse& take) {
  if (!listable_) {
    throw std::logic_error("VisitDistinctParses without a permutation counted within its limit");
  }
  for (const auto& tree : listed_) {
    if (stop_.stop_requested()) throw SearchStopped();
    take(*tree);
  }
}

ParseList LiteralParseEngine::FirstDistinctParses(std::size_t count) {
  if (!listable_) {
    throw std::logic_error("FirstDistinctParses without a permutation counted within its limit");
  }
  ParseList parses;
  for (const auto& tree : listed_) {
    if (parses.size() >= count) break;
    parses.push_back(CopyTree(tree.get()));
  }
  return parses;
}

ParseList LiteralParseEngine::FindDistinctParses(const Permutation& permutation) {
  return Search(permutation, *index_, guard_, stop_);
}

}  // namespace marvolen
