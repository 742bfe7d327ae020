// marvolen: the workbench. Starts in the current directory, which must hold
// config.ini naming the rules file to open.
#include "shell/marvolen_app.h"

int main(int argc, char** argv) {
  marvolen::CMarvolenApp app(argc, argv);
  const int code = app.InitInstance() ? marvolen::CMarvolenApp::exec() : 1;
  const int exitCode = app.ExitInstance();
  return code != 0 ? code : exitCode;
}
