// Test support: a new, empty folder of one's own under the system's
// temporary folder, as mkdtemp makes one, on every system.
#ifndef MARVOLEN_TESTING_TEMP_DIR_H_
#define MARVOLEN_TESTING_TEMP_DIR_H_

#include <filesystem>
#include <string>

namespace marvolen {

// The folder "<prefix><six random characters>", just created; the empty
// path when no folder could be made.
std::filesystem::path MakeTempDirForTest(const std::string& prefix);

}  // namespace marvolen

#endif  // MARVOLEN_TESTING_TEMP_DIR_H_
