// The literal breadth-first reduction search.
#include "grammar/reduction_search.h"

#include <string_view>
#include <utility>

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

// True when the rule's `length` items equal the texts of the symbols from
// `start` on (there must be that many).
bool RuleMatches(const CfgRule& rule, int length, const SymbolNode* start) {
  const SymbolNode* s = start;
  for (int j = 1; j <= length; ++j, s = s->next.get()) {
    if (s == nullptr || RuleItemAt(rule, j) != s->text) return false;
  }
  return true;
}

// ReduceCurrentString for a position known to lie in 1 to currentItemCount.
void ExpandAt(int position, const ReductionState& state, const RuleSet& rules,
              std::deque<ReductionState>& queue, UnaryCycleGuard guard) {
  const int symbolCount = CountSymbols(state.symbols.get());
  if (position > symbolCount) return;
  const SymbolNode* start = state.symbols.get();
  for (int k = 1; k < position; ++k) start = start->next.get();
  const int available = symbolCount - position + 1;

  for (int length = 1; length <= kMaxAppliedRuleLength && length <= available; ++length) {
    const SymbolNode* last = start;
    for (int k = 1; k < length; ++k) last = last->next.get();
    for (const CfgRule& rule : rules.rules) {
      if (CountRuleItems(rule) != length || !RuleMatches(rule, length, start)) continue;
      if (length == 1 && guard == UnaryCycleGuard::kOn &&
          LabelOnUnarySpine(start->tree.get(), rule.leftTag())) {
        continue;
      }
      auto node = std::make_unique<SymbolNode>();
      node->text = rule.leftTag();
      node->tree = std::make_unique<ParseTreeNode>(rule.leftTag(), rule.treeTitle());
      ReductionState successor;
      successor.symbols = BuildSuccessor(state.symbols.get(), start, std::move(node), last);
      queue.push_back(std::move(successor));
    }
  }
}

}  // namespace

int ReduceCurrentString(int position, const ReductionState& state, const RuleSet& rules,
                        int currentItemCount, std::deque<ReductionState>& queue,
                        UserInterface& ui, UnaryCycleGuard guard) {
  if (position > currentItemCount || position < 1) {
    ui.ShowMessage("Invalid start postion in calling ReduceCurrentString");
    return -1;
  }
  ExpandAt(position, state, rules, queue, guard);
  return 1;
}

ParseList FindDistinctParses(const Permutation& permutation, const RuleSet& rules,
                             UnaryCycleGuard guard) {
  ReductionState initial;
  initial.symbols = BuildInitialSymbols(permutation);
  for (SymbolNode* s = initial.symbols.get(); s != nullptr; s = s->next.get()) {
    s->tree = std::make_unique<ParseTreeNode>(s->text, "");
  }
  const int positions = CountSymbols(initial.symbols.get());

  std::deque<ReductionState> queue;
  queue.push_back(std::move(initial));
  ParseList completed;  // in the order of completion
  while (!queue.empty()) {
    for (int n = 1; n <= positions; ++n) ExpandAt(n, queue.front(), rules, queue, guard);
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

ParseList LiteralParseEngine::FindDistinctParses(const Permutation& permutation,
                                                 const RuleSet& rules) {
  return marvolen::FindDistinctParses(permutation, rules, guard_);
}

}  // namespace marvolen
