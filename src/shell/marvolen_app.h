// The Marvolen application: the QApplication of the workbench, and its
// start-up: the start-up directory, config.ini in it as the only settings
// store, the recent-file list kept there, the main window, and the rules
// file named in config.ini opened as the first document.
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
  // `dialogs` replaces the Qt dialogs (tests); null uses them.
  CMarvolenApp(int& argc, char** argv, std::unique_ptr<DialogProvider> dialogs = nullptr);
  ~CMarvolenApp() override;

  // Start-up, in the current directory. Whatever the command line says, the
  // file named by RULES in section [DATA] of config.ini is opened, and only
  // it. False (after a message) when the program cannot start.
  bool InitInstance();
  // Write the recent-file list back when it changed and close the main
  // window; the exit code.
  int ExitInstance();

  CMainFrame* mainFrame() const { return mainFrame_.get(); }
  RecentFileList& recentFiles() { return recentFiles_; }
  DialogProvider& dialogs() { return *dialogs_; }
  const std::string& profileName() const { return profileName_; }

  // The current directory when the program started; the analysis runs there
  // and finds config.ini there.
  std::string m_strStartupDir;

 private:
  // Why the rules file cannot be named: a message, or "" with `rulesPath` set.
  QString FindRulesFile(QString* rulesPath) const;

  std::unique_ptr<DialogProvider> dialogs_;
  QTranslator translator_;
  std::string profileName_;
  RecentFileList recentFiles_;
  std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_APP_H_
