// Test support: a global operator new that can be told to fail once, and
// that measures how much of the heap a piece of code holds at most.
//
// Linking heap.cc into a test program (marvolen_test's REPLACING_HEAP)
// replaces the global operator new. While a failure is armed, allocations
// are counted and the chosen one throws; every other allocation behaves as
// usual. The counts are per thread: only the thread that arms a failure or
// starts a measurement sees it.
#ifndef MARVOLEN_TESTING_HEAP_H_
#define MARVOLEN_TESTING_HEAP_H_

#include <cstddef>

namespace marvolen {

// Make the allocation number `n` (0 = the next one) throw std::bad_alloc, once.
void FailAllocationAfter(int n);
// Disarm; returns true when the armed failure has been thrown.
bool DisarmAllocationFailure();

// Start measuring: from now on the bytes allocated by this thread and not
// yet released are counted, and HeapPeakBytes gives the most they came to.
void ResetHeapPeak();
std::size_t HeapPeakBytes();

}  // namespace marvolen

#endif  // MARVOLEN_TESTING_HEAP_H_
