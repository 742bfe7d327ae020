// The rules of a rule set in the form the chart search reads them: every
// text interned as a small integer, rules that would build equal tree nodes
// merged into one rule class, and the classes indexed by their right sides.
//
// A compiled grammar is immutable once made and may be read from several
// threads at once.
#ifndef MARVOLEN_GRAMMAR_COMPILED_GRAMMAR_H_
#define MARVOLEN_GRAMMAR_COMPILED_GRAMMAR_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "grammar/cfg_rule.h"
#include "grammar/parse_count.h"

namespace marvolen {

class CompiledGrammar {
 public:
  // Right sides longer than this are never applied.
  static constexpr int kMaxAppliedLength = 3;
  // The chains of one-item rules walked from one symbol at most, when they
  // are counted; beyond, they count as too many.
  static constexpr std::int64_t kUnaryChainBudget = 1 << 20;
  // The symbol of a text that no applicable rule mentions.
  static constexpr int kNoSymbol = -1;

  // The rules of one length (1 to 3) with the same left tag, the same right
  // side and the same tree title build equal nodes; they form one class.
  struct RuleClass {
    int left = kNoSymbol;  // the left tag's symbol
    int length = 0;        // items of the right side, 1 to 3
    // The greatest table index among the class's rules: the rule through
    // which the literal search builds the class's node last.
    int lastIndex = 0;
    std::string leftTag;
    std::string treeTitle;
  };

  explicit CompiledGrammar(const RuleSet& rules);

  CompiledGrammar(const CompiledGrammar&) = delete;
  CompiledGrammar& operator=(const CompiledGrammar&) = delete;

  // The symbol of `text`, or kNoSymbol when no applicable rule has it as
  // its left tag or as an item.
  int SymbolOf(std::string_view text) const;

  const RuleClass& Class(int c) const { return classes_[c]; }
  int ClassCount() const { return static_cast<int>(classes_.size()); }

  // The classes of one-item rules over `item`, of two-item rules over
  // `first second`, of three-item rules over `first second third`.
  std::span<const int> UnaryOver(int item) const;
  std::span<const int> BinaryOver(int first, int second) const;
  std::span<const int> TernaryOver(int first, int second, int third) const;

  // The chains of one-item rules that the one-item-cycle guard allows above
  // a tree whose root is `symbol` (a leaf or a node of two or three
  // children): chains that repeat no symbol, the root's included. Each
  // entry is a symbol such a chain ends at and how many chains end there
  // (kManyParses: too many to count). The empty chain is the entry
  // {symbol, 1}. Ordered by symbol.
  struct UnaryChains {
    int symbol;
    std::uint64_t count;
  };
  std::span<const UnaryChains> UnaryChainsFrom(int symbol) const;

  // Whether some chain of one-item rules leads from `from` to `to` (or
  // `to` is `from`).
  bool UnaryReaches(int from, int to) const;

  // Quick tests that spare a look-up: whether `symbol` begins the right side
  // of some two-item, or some three-item, rule.
  bool BeginsBinary(int symbol) const { return (flags_[symbol] & kBeginsBinary) != 0; }
  bool BeginsTernary(int symbol) const { return (flags_[symbol] & kBeginsTernary) != 0; }

 private:
  static constexpr std::uint8_t kBeginsBinary = 1;
  static constexpr std::uint8_t kBeginsTernary = 2;

  struct Range {
    std::uint32_t begin = 0, end = 0;
  };

  // Ranges by 64-bit key: open addressing with linear probing, so that a
  // look-up is a multiplication and, mostly, one probe.
  class RangeIndex {
   public:
    void Build(const std::vector<std::pair<std::uint64_t, Range>>& entries);
    const Range* Find(std::uint64_t key) const {
      if (slots_.empty()) return nullptr;
      for (std::size_t at = Hash(key);; at = (at + 1) & mask_) {
        const Slot& slot = slots_[at];
        if (slot.key == key) return &slot.range;
        if (slot.key == kEmpty) return nullptr;
      }
    }

   private:
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    struct Slot {
      std::uint64_t key = kEmpty;
      Range range;
    };
    std::size_t Hash(std::uint64_t key) const {
      return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
    }
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    int shift_ = 64;
  };

  // Hashing that accepts std::string_view for std::string keys.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>()(text);
    }
  };

  int Intern(const std::string& text);
  void CountUnaryChains();
  std::uint64_t Key(int first, int second, int third) const;
  std::span<const int> Lookup(const RangeIndex& index, std::uint64_t key) const;

  std::unordered_map<std::string, int, TextHash, std::equal_to<>> symbols_;
  std::vector<std::uint8_t> flags_;  // by symbol
  std::vector<RuleClass> classes_;
  std::vector<Range> unary_;  // by symbol
  RangeIndex binary_;
  RangeIndex ternary_;
  std::vector<int> classIds_;              // the ranges above point into this
  std::vector<UnaryChains> chains_;        // by symbol, each symbol's run ordered
  std::vector<std::uint32_t> chainBegin_;  // by symbol, plus one
};

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_COMPILED_GRAMMAR_H_
