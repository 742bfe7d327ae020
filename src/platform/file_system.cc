// How a configured path reaches the file system and the person: the same
// rule on every system.
#include "platform/file_system.h"

#include "encoding/gbk.h"

namespace marvolen {

std::string NativePath(std::string_view configured) {
  if (IsValidUtf8(configured) || !IsValidGbk(configured)) return std::string(configured);
  return GbkToUtf8(configured);
}

std::string DisplayPath(std::string_view path) {
  if (IsValidUtf8(path)) return std::string(path);
  return GbkToUtf8(path);
}

}  // namespace marvolen
