// Test support: make one chosen heap allocation fail with std::bad_alloc.
//
// Linking allocation_failure_for_test.cc into a test program replaces the
// global operator new. While a failure is armed, allocations are counted and
// the chosen one throws; every other allocation behaves as usual.
#ifndef MARVOLEN_DATAFILES_ALLOCATION_FAILURE_FOR_TEST_H_
#define MARVOLEN_DATAFILES_ALLOCATION_FAILURE_FOR_TEST_H_

namespace marvolen {

// Make the allocation number `n` (0 = the next one) throw std::bad_alloc, once.
void FailAllocationAfter(int n);
// Disarm; returns true when the armed failure has been thrown.
bool DisarmAllocationFailure();

}  // namespace marvolen

#endif  // MARVOLEN_DATAFILES_ALLOCATION_FAILURE_FOR_TEST_H_
