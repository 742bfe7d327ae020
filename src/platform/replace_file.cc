// What every system's file replacement shares: writing bytes held in memory
// and naming the temporary file.
#include "platform/replace_file.h"

#include <cerrno>
#include <cstring>
#include <random>

namespace marvolen {

std::string RandomNamePart() {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::string part;
  for (int k = 0; k < 6; ++k) part += kAlphabet[device() % (sizeof kAlphabet - 1)];
  return part;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string* error) {
  std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(path, error);
  if (replacement == nullptr) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), replacement->file()) != bytes.size()) {
    const std::string temporary = replacement->temporary();
    const int cause = errno;
    replacement->Abandon();
    if (error != nullptr) *error = temporary + ": write failed: " + std::strerror(cause);
    return false;
  }
  return replacement->Commit(error);
}

}  // namespace marvolen
