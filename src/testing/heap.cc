// Test support: a replacement of the global operator new that can be told to
// fail once and that counts the bytes it hands out. Each block carries its
// size in a header in front of it, so that its release can be counted too.
#include "testing/heap.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// The header keeps the block aligned as operator new must align it.
constexpr std::size_t kHeader = alignof(std::max_align_t);

thread_local int allocationsBeforeFailure = -1;  // -1: disarmed
thread_local bool failureThrown = false;
// Bytes held since ResetHeapPeak (negative when blocks allocated before it
// are released), and the most they came to.
thread_local std::int64_t heldBytes = 0;
thread_local std::int64_t peakBytes = 0;

}  // namespace

namespace marvolen {

void FailAllocationAfter(int n) {
  allocationsBeforeFailure = n;
  failureThrown = false;
}

bool DisarmAllocationFailure() {
  allocationsBeforeFailure = -1;
  return failureThrown;
}

void ResetHeapPeak() {
  heldBytes = 0;
  peakBytes = 0;
}

std::size_t HeapPeakBytes() { return static_cast<std::size_t>(peakBytes); }

}  // namespace marvolen

void* operator new(std::size_t size) {
  if (allocationsBeforeFailure == 0) {
    allocationsBeforeFailure = -1;
    failureThrown = true;
    throw std::bad_alloc();
  }
  if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
  if (size > SIZE_MAX - kHeader) throw std::bad_alloc();
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (block == nullptr) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  heldBytes += static_cast<std::int64_t>(size);
  if (heldBytes > peakBytes) peakBytes = heldBytes;
  return block + kHeader;
}

void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  heldBytes -= static_cast<std::int64_t>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
