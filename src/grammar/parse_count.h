// Numbers of parses that saturate instead of overflowing: a count that would
// pass the largest 64-bit value stays at it, read as "this many or more".
#ifndef MARVOLEN_GRAMMAR_PARSE_COUNT_H_
#define MARVOLEN_GRAMMAR_PARSE_COUNT_H_

#include <cstdint>
#include <limits>

namespace marvolen {

// The largest count; a count that reached it may be larger still.
inline constexpr std::uint64_t kManyParses = std::numeric_limits<std::uint64_t>::max();

inline std::uint64_t AddCounts(std::uint64_t a, std::uint64_t b) {
  return a > kManyParses - b ? kManyParses : a + b;
}

inline std::uint64_t MultiplyCounts(std::uint64_t a, std::uint64_t b) {
  if (a == 0 || b == 0) return 0;
  return a > kManyParses / b ? kManyParses : a * b;
}

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_PARSE_COUNT_H_
