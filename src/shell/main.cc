// marvolen: the workbench. Starts in the folder given, or the current one: a
// data folder, whose config.ini names the rules file to open; without one,
// the start dialog offers another.
#include <cstdio>
#include <cstring>

#include <QStringList>

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
          "usage: marvolen [options] [DIR]\n"
          "\n"
          "Starts the Marvolen workbench in DIR (or the current directory), a data\n"
          "folder whose config.ini names the rules file to open. Without one, it\n"
          "offers to open another data folder or to make one from the examples.\n"
          "\n"
          "options:\n"
          "  --version   print marvolen's version (\"%s\")\n"
          "  -h, --help  print this help and exit\n",
          MARVOLEN_VERSION);
      return 0;
    }
  }
  marvolen::Workbench app(argc, argv);
  // Qt has taken its own options out.
  const QStringList args = QCoreApplication::arguments().mid(1);
  if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith(QLatin1Char('-')))) {
    std::fprintf(stderr, "usage: marvolen [options] [DIR] (marvolen --help tells more)\n");
    return 64;
  }
  const int code = app.Start(args.value(0)) ? marvolen::Workbench::exec() : 1;
  const int exitCode = app.Finish();
  return code != 0 ? code : exitCode;
}
