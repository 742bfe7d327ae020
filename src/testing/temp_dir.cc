// Test support: new temporary folders.
#include "testing/temp_dir.h"

#include <random>
#include <system_error>

namespace marvolen {

std::filesystem::path MakeTempDirForTest(const std::string& prefix) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return {};
  std::random_device device;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (int k = 0; k < 6; ++k) name += kAlphabet[device() % (sizeof kAlphabet - 1)];
    if (std::filesystem::create_directory(base / name, ec)) return base / name;
  }
  return {};
}

}  // namespace marvolen
