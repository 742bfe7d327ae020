// Permutations: the short sequences of tags that the analysis parses.
#ifndef MARVOLEN_GRAMMAR_PERMUTATION_H_
#define MARVOLEN_GRAMMAR_PERMUTATION_H_

#include <array>
#include <string>
#include <vector>

namespace marvolen {

inline constexpr int kMaxItems = 5;
// Width of an item text (a tag, possibly with a bracketed word), in bytes.
inline constexpr std::size_t kItemWidth = 19;

// The particle and the conjunction that the long-mode patterns insert (GBK).
extern const char kParticleDe[];     // "u<的>"
extern const char kConjunctionHe[];  // "c<和>"

// One permutation under analysis. items[0] is slot 1, ..., items[4] slot 5.
// currentItemCount is the number of items taking part in the analysis; it is
// kept with the permutation (rather than in one process-wide variable) so
// that several permutations can be analysed at once on different threads.
struct Permutation {
  std::array<std::string, kMaxItems> items;
  int currentItemCount = 3;
};

// Slot 1 = tag x, slot 2 = tag y, slot 3 = tag z, slots 4 and 5 empty;
// currentItemCount = 3.
void BuildThreeItemPermutation(int x, int y, int z, const std::vector<std::string>& tags,
                               Permutation& out);

// What pattern `code` (0 to 7) puts in `slot` (0 to 4): 1, 2, 3 for the tags
// x, y, z, 'u' for "u<的>", 'c' for "c<和>", 0 for an empty slot.
char PatternSlot(int code, int slot);

// Fill all five slots by pattern `code` (0 to 7) from tags x, y, z, inserting
// "u<的>" and "c<和>", and set currentItemCount to 4 (codes 0-3) or 5 (4-7).
// Any other code leaves `out` unchanged.
void BuildPatternPermutation(int code, int x, int y, int z, const std::vector<std::string>& tags,
                             Permutation& out);

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_PERMUTATION_H_
