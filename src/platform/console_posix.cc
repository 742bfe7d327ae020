// The console of a command-line program on POSIX systems: bytes in, bytes out.
#include "platform/console.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace marvolen {

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) args_.emplace_back(argv[i]);
  for (std::string& arg : args_) pointers_.push_back(arg.data());
  pointers_.push_back(nullptr);
}

bool WriteText(std::FILE* stream, std::string_view utf8) {
  return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

bool CanDrawOverLine(std::FILE* stream) {
  if (!::isatty(::fileno(stream))) return false;
  const char* term = std::getenv("TERM");
  return term != nullptr && std::strcmp(term, "dumb") != 0;
}

}  // namespace marvolen
