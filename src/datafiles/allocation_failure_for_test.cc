// Test support: a replacement of the global operator new that can be told to
// fail once. The counter is per thread, so only the thread that armed it sees
// the failure.
#include "datafiles/allocation_failure_for_test.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int allocationsBeforeFailure = -1;  // -1: disarmed
thread_local bool failureThrown = false;

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

}  // namespace marvolen

void* operator new(std::size_t size) {
  if (allocationsBeforeFailure == 0) {
    allocationsBeforeFailure = -1;
    failureThrown = true;
    throw std::bad_alloc();
  }
  if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
