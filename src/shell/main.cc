// marvolen: the workbench. Starts in the current directory, which must hold
// config.ini naming the rules file to open.
#include <cstdio>
#include <cstring>

#include "marvolen_version.h"
#include "shell/workbench.h"

int main(int argc, char** argv) {
  // Answered before Qt starts, so they need no display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("marvolen %s\n", MARVOLEN_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf(
          "usage: marvolen [options]\n"
          "\n"
          "Starts the Marvolen workbench in the current directory, a data folder\n"
          "whose config.ini names the rules file to open.\n"
          "\n"
          "options:\n"
          "  --version   print marvolen's version (\"%s\")\n"
          "  -h, --help  print this help and exit\n",
          MARVOLEN_VERSION);
      return 0;
    }
  }
  marvolen::Workbench app(argc, argv);
  const int code = app.Start() ? marvolen::Workbench::exec() : 1;
  const int exitCode = app.Finish();
  return code != 0 ? code : exitCode;
}
