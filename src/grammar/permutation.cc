// Building permutations from the tag set.
#include "grammar/permutation.h"

namespace marvolen {

const char kParticleDe[] = "u<\xB5\xC4>";
const char kConjunctionHe[] = "c<\xBA\xCD>";

namespace {

// The slots of each long-mode pattern: 1, 2, 3 stand for the tags x, y, z,
// 'u' for the particle, 'c' for the conjunction, 0 for an empty slot.
constexpr char kPatterns[8][kMaxItems] = {
    {1, 'u', 2, 3, 0},   {1, 2, 'u', 3, 0},   {1, 'c', 2, 3, 0},   {1, 2, 'c', 3, 0},
    {1, 'u', 2, 'c', 3}, {1, 'c', 2, 'u', 3}, {1, 'u', 'c', 2, 3}, {1, 2, 'u', 'c', 3},
};

}  // namespace

char PatternSlot(int code, int slot) { return kPatterns[code][slot]; }

void BuildThreeItemPermutation(int x, int y, int z, const std::vector<std::string>& tags,
                               Permutation& out) {
  out.items[0] = tags.at(x);
  out.items[1] = tags.at(y);
  out.items[2] = tags.at(z);
  out.items[3].clear();
  out.items[4].clear();
  out.currentItemCount = 3;
}

void BuildPatternPermutation(int code, int x, int y, int z, const std::vector<std::string>& tags,
                             Permutation& out) {
  if (code < 0 || code > 7) return;
  const int index[4] = {0, x, y, z};
  for (int slot = 0; slot < kMaxItems; ++slot) {
    const char what = kPatterns[code][slot];
    if (what == 'u') {
      out.items[slot] = kParticleDe;
    } else if (what == 'c') {
      out.items[slot] = kConjunctionHe;
    } else if (what == 0) {
      out.items[slot].clear();
    } else {
      out.items[slot] = tags.at(index[static_cast<int>(what)]);
    }
  }
  out.currentItemCount = code < 4 ? 4 : 5;
}

}  // namespace marvolen
