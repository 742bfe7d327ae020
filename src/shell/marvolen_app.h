// The Marvolen application: start-up (start-up directory, config.ini as the
// profile file, the recent-file list, the document template, the main
// window, the rules file opened), and the About command.
#ifndef MARVOLEN_SHELL_MARVOLEN_APP_H_
#define MARVOLEN_SHELL_MARVOLEN_APP_H_

#include <QStringList>
#include <string>

#include "shell/application.h"

namespace marvolen {

class CMarvolenApp : public Application {
 public:
  // `arguments` is the command line (program name first).
  explicit CMarvolenApp(QStringList arguments, std::unique_ptr<DialogProvider> dialogs = nullptr);

  bool InitInstance() override;

  // Show the About box.
  void OnAppAbout();

  // The current directory when the program started; the analysis runs there
  // and finds config.ini there.
  std::string m_strStartupDir;

  // The window style of the main window: an overlapped window with caption,
  // system menu, sizing border, minimise and maximise boxes, and the active
  // document's name in its title.
  static constexpr unsigned kMainFrameStyle = 0x00CF8000;

 private:
  QStringList arguments_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_APP_H_
