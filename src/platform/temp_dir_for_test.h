// Test support: a new, empty folder of one's own under the system's
// temporary folder, as mkdtemp makes one, on every system.
#ifndef MARVOLEN_PLATFORM_TEMP_DIR_FOR_TEST_H_
#define MARVOLEN_PLATFORM_TEMP_DIR_FOR_TEST_H_

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/replace_file.h"

namespace marvolen {

// The folder "<prefix><six random characters>", just created; the empty
// path when no folder could be made.
inline std::filesystem::path MakeTempDirForTest(const std::string& prefix) {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return {};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path dir = base / (prefix + RandomNamePart());
    if (std::filesystem::create_directory(dir, ec)) return dir;
  }
  return {};
}

}  // namespace marvolen

#endif  // MARVOLEN_PLATFORM_TEMP_DIR_FOR_TEST_H_
