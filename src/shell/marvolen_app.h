// The Marvolen application: the workbench's QApplication and its start-up in
// the current directory, with config.ini there as the only settings store.
#ifndef MARVOLEN_SHELL_MARVOLEN_APP_H_
#define MARVOLEN_SHELL_MARVOLEN_APP_H_

#include <QApplication>
#include <QTranslator>
#include <memory>
#include <string>

#include "shell/dialogs.h"
#include "shell/recent_file_list.h"

namespace marvolen {

class CMainFrame;

class CMarvolenApp : public QApplication {
  Q_OBJECT

 public:
  // `dialogs` replaces Qt's dialogs (tests); null keeps them.
  CMarvolenApp(int& argc, char** argv, std::unique_ptr<DialogProvider> dialogs = nullptr);
  ~CMarvolenApp() override;

  // Read the recent-file list, make the main window and open the file named
  // by RULES in section [DATA] of config.ini, whatever the command line
  // says. False (after a message) when the program cannot start.
  bool InitInstance();
  // Write the recent-file list back if it changed, close the main window;
  // the exit code.
  int ExitInstance();

  CMainFrame* mainFrame() const { return mainFrame_.get(); }
  RecentFileList& recentFiles() { return recentFiles_; }
  DialogProvider& dialogs() { return *dialogs_; }

  std::string m_strStartupDir;  // the current directory at start-up

 private:
  // The rules file to open, or "" after telling the person why there is none.
  QString FindRulesFile();

  std::unique_ptr<DialogProvider> dialogs_;
  QTranslator translator_;
  std::string profileName_;
  RecentFileList recentFiles_;
  std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_APP_H_
