// Checks for the fuzz targets: a failed check prints what broke and aborts,
// which libFuzzer reports as a crash and saves the input.
#ifndef MARVOLEN_FUZZ_FUZZ_CHECK_H_
#define MARVOLEN_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gbk.h"

namespace marvolen {

inline void FuzzCheck(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// Every message reaches the person as UTF-8 text.
inline void CheckMessagesAreUtf8(const std::vector<std::string>& messages) {
  for (const std::string& m : messages) FuzzCheck(IsValidUtf8(m), "message is not UTF-8");
}

}  // namespace marvolen

#endif  // MARVOLEN_FUZZ_FUZZ_CHECK_H_
