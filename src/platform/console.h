// What a command-line program needs of its console: its arguments as UTF-8,
// text written for the person, and whether a line can be drawn over.
//
// On Windows the arguments come from the wide-character command line and a
// console is written in wide characters, so that Chinese text and paths
// work whatever the console's code page; text that goes to a file or a pipe
// is UTF-8 bytes on every system.
#ifndef MARVOLEN_PLATFORM_CONSOLE_H_
#define MARVOLEN_PLATFORM_CONSOLE_H_

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace marvolen {

// The arguments of main as UTF-8 text: argv as it is off Windows (file
// names are bytes there), the wide-character command line on Windows.
class Utf8Arguments {
 public:
  Utf8Arguments(int argc, char** argv);
  Utf8Arguments(const Utf8Arguments&) = delete;
  Utf8Arguments& operator=(const Utf8Arguments&) = delete;

  int argc() const { return static_cast<int>(args_.size()); }
  // The arguments as main takes them, ending in a null pointer; they live
  // as long as this object.
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> args_;
  std::vector<char*> pointers_;
};

// Write UTF-8 text to `stream` (stdout or stderr). True when all of it was
// written.
bool WriteText(std::FILE* stream, std::string_view utf8);

// True when `stream` is a terminal on which a line can be drawn over with
// CR: a terminal whose TERM is set and is not "dumb", or a Windows console.
bool CanDrawOverLine(std::FILE* stream);

}  // namespace marvolen

#endif  // MARVOLEN_PLATFORM_CONSOLE_H_
