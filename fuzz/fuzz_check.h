// Checks for the fuzz targets: a failed check prints what broke and aborts,
// which libFuzzer reports as a crash and saves the input.
#ifndef MARVOLEN_FUZZ_FUZZ_CHECK_H_
#define MARVOLEN_FUZZ_FUZZ_CHECK_H_

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "encoding/gbk.h"

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

// A reader's message is UTF-8, short whatever the input (it quotes at most
// 40 bytes of the data), and holds no control byte but the tab that ends
// "No sequences defined!\t": data never reaches a terminal raw.
inline void CheckReaderMessages(const std::vector<std::string>& messages) {
  CheckMessagesAreUtf8(messages);
  for (const std::string& m : messages) {
    FuzzCheck(m.size() <= 300, "message too long");
    for (std::size_t i = 0; i < m.size(); ++i) {
      const auto c = static_cast<unsigned char>(m[i]);
      const bool endingTab = c == '\t' && i + 1 == m.size();
      FuzzCheck((c >= 0x20 && c != 0x7F) || endingTab, "raw control byte in a message");
    }
  }
}

}  // namespace marvolen

#endif  // MARVOLEN_FUZZ_FUZZ_CHECK_H_
