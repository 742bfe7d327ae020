// Counting parses over the spans of a permutation.
#include "grammar/parse_counter.h"

#include <algorithm>

namespace marvolen {

namespace {

constexpr int kNoSymbol = CompiledGrammar::kNoSymbol;

}  // namespace

ParseCounter::Tally* ParseCounter::Find(int start, int length, int symbol) {
  const Range& r = spans_[start][length];
  for (int t = r.begin; t < r.end; ++t) {
    if (tallies_[t].symbol == symbol) return &tallies_[t];
  }
  return nullptr;
}

const ParseCounter::Tally* ParseCounter::Find(int start, int length, int symbol) const {
  return const_cast<ParseCounter*>(this)->Find(start, length, symbol);
}

template <typename Visit>
void ParseCounter::ForEachJoin(int i, int j, Visit visit) {
  // Two parts: [i, m) [m, j).
  for (int m = i + 1; m < j; ++m) {
    const Range left = spans_[i][m - i], right = spans_[m][j - m];
    for (int a = left.begin; a < left.end; ++a) {
      const int sa = tallies_[a].symbol;
      if (sa == kNoSymbol || !grammar_.BeginsBinary(sa)) continue;
      for (int b = right.begin; b < right.end; ++b) {
        const int sb = tallies_[b].symbol;
        if (sb == kNoSymbol) continue;
        const int parts[3] = {a, b, -1};
        for (const int c : grammar_.BinaryOver(sa, sb)) visit(c, parts);
      }
    }
  }
  // Three parts: [i, m1) [m1, m2) [m2, j).
  for (int m1 = i + 1; m1 + 1 < j; ++m1) {
    for (int m2 = m1 + 1; m2 < j; ++m2) {
      const Range first = spans_[i][m1 - i], second = spans_[m1][m2 - m1],
                  third = spans_[m2][j - m2];
      for (int a = first.begin; a < first.end; ++a) {
        const int sa = tallies_[a].symbol;
        if (sa == kNoSymbol || !grammar_.BeginsTernary(sa)) continue;
        for (int b = second.begin; b < second.end; ++b) {
          const int sb = tallies_[b].symbol;
          if (sb == kNoSymbol) continue;
          for (int d = third.begin; d < third.end; ++d) {
            const int sd = tallies_[d].symbol;
            if (sd == kNoSymbol) continue;
            const int parts[3] = {a, b, d};
            for (const int c : grammar_.TernaryOver(sa, sb, sd)) visit(c, parts);
          }
        }
      }
    }
  }
}

void ParseCounter::CountSpan(int i, int j) {
  // The base trees by root symbol.
  scratch_.clear();
  auto addBase = [this](int symbol, std::uint64_t count) {
    for (Tally& t : scratch_) {
      if (t.symbol == symbol) {
        t.base = AddCounts(t.base, count);
        return;
      }
    }
    Tally t{symbol};
    t.base = count;
    scratch_.push_back(t);
  };
  if (j - i == 1) addBase(symbols_[i], 1);
  ForEachJoin(i, j, [&](int c, const int parts[3]) {
    std::uint64_t count = 1;
    for (int k = 0; k < 3 && parts[k] >= 0; ++k) {
      count = MultiplyCounts(count, tallies_[parts[k]].all);
    }
    addBase(grammar_.Class(c).left, count);
  });

  // Every tree: the base trees under the chains of one-item rules.
  Range& range = spans_[i][j - i];
  range.begin = static_cast<int>(tallies_.size());
  for (const Tally& base : scratch_) {
    Tally t{base.symbol};
    t.base = base.base;
    tallies_.push_back(t);
  }
  range.end = static_cast<int>(tallies_.size());
  for (const Tally& base : scratch_) {
    if (base.symbol == kNoSymbol) {
      Find(i, j - i, kNoSymbol)->all = base.base;
      continue;
    }
    for (const CompiledGrammar::UnaryChains& chains : grammar_.UnaryChainsFrom(base.symbol)) {
      Tally* t = Find(i, j - i, chains.symbol);
      if (t == nullptr) {
        tallies_.push_back(Tally{chains.symbol});
        range.end = static_cast<int>(tallies_.size());
        t = &tallies_.back();
      }
      t->all = AddCounts(t->all, MultiplyCounts(base.base, chains.count));
    }
  }
}

ParseSummary ParseCounter::Count(const Permutation& permutation) {
  items_ = std::clamp(permutation.currentItemCount, 0, kMaxItems);
  tallies_.clear();
  ParseSummary summary;
  if (items_ == 0) return summary;
  for (int k = 0; k < items_; ++k) symbols_[k] = grammar_.SymbolOf(permutation.items[k]);
  // Spans in order of their end, each end from the longest down, as the
  // chart search builds them.
  for (int j = 1; j <= items_; ++j) {
    for (int i = j - 1; i >= 0; --i) CountSpan(i, j);
  }
  const Range whole = spans_[0][items_];
  int roots = 0;
  for (int t = whole.begin; t < whole.end; ++t) {
    if (tallies_[t].all == 0) continue;
    summary.count = AddCounts(summary.count, tallies_[t].all);
    ++roots;
  }
  summary.rootsDiffer = roots > 1;
  return summary;
}

void ParseCounter::MarkUsed() {
  if (items_ == 0) return;
  for (int t = spans_[0][items_].begin; t < spans_[0][items_].end; ++t) {
    tallies_[t].allUsed = tallies_[t].all > 0;
  }
  for (int length = items_; length >= 1; --length) {
    for (int i = 0; i + length <= items_; ++i) {
      const Range r = spans_[i][length];
      // The base trees below a used group through a chain.
      for (int u = r.begin; u < r.end; ++u) {
        Tally& base = tallies_[u];
        if (base.base == 0) continue;
        for (int t = r.begin; t < r.end && !base.baseUsed; ++t) {
          const Tally& used = tallies_[t];
          if (!used.allUsed) continue;
          base.baseUsed =
              base.symbol == used.symbol ||
              (base.symbol != kNoSymbol && grammar_.UnaryReaches(base.symbol, used.symbol));
        }
      }
      // The parts joined into a used base tree.
      if (length < 2) continue;
      ForEachJoin(i, i + length, [&](int c, const int parts[3]) {
        const Tally* made = Find(i, length, grammar_.Class(c).left);
        if (made == nullptr || !made->baseUsed) return;
        for (int k = 0; k < 3 && parts[k] >= 0; ++k) tallies_[parts[k]].allUsed = true;
      });
    }
  }
}

bool ParseCounter::BaseUsed(int start, int length, int symbol) const {
  const Tally* t = Find(start, length, symbol);
  return t != nullptr && t->baseUsed;
}

bool ParseCounter::LeadsToUsed(int start, int length, int symbol) const {
  const Range& r = spans_[start][length];
  for (int t = r.begin; t < r.end; ++t) {
    if (tallies_[t].allUsed &&
        (tallies_[t].symbol == symbol || grammar_.UnaryReaches(symbol, tallies_[t].symbol))) {
      return true;
    }
  }
  return false;
}

}  // namespace marvolen
