// The workbench application: its QApplication and its start-up in the
// current directory, with config.ini there as the only settings store.
#ifndef MARVOLEN_SHELL_WORKBENCH_H_
#define MARVOLEN_SHELL_WORKBENCH_H_

#include <QApplication>
#include <QTranslator>
#include <memory>
#include <string>

#include "shell/dialogs.h"
#include "shell/language.h"
#include "shell/recent_file_list.h"
#include "shell/workbench_settings.h"

namespace marvolen {

class MainWindow;

class Workbench : public QApplication {
  Q_OBJECT

 public:
  // `dialogs` replaces Qt's dialogs (tests); null keeps them.
  Workbench(int& argc, char** argv, std::unique_ptr<DialogProvider> dialogs = nullptr);
  ~Workbench() override;

  // Speak `language` from now on: the workbench's own texts in it, and Qt's
  // own dialogs and buttons too. Windows made before keep their texts. The
  // constructor chooses the environment's language (EnvironmentLanguage).
  void SetLanguage(Language language);
  Language language() const { return language_; }

  // Start a session in `folder` (the current directory when ""): read the
  // recent-file list and the layout, make the main window where it was and
  // open the file named by RULES in section [DATA] of config.ini. When the
  // folder is no data folder, or its rules file cannot be opened, the
  // start dialog offers another data folder, a new one made from the
  // examples, or the end. False when the person chose to end.
  bool Start(const QString& folder = QString());
  // End the session: write the recent-file list and the layout back if they
  // changed, close the main window; the exit code.
  int Finish();

  RecentFileList& recentFiles() { return recentFiles_; }
  WorkbenchSettings& settings() { return settings_; }
  DialogProvider& dialogs() { return *dialogs_; }
  // The current directory when the session started.
  const std::string& startupDir() const { return startupDir_; }

 private:
  // Start in the current directory: "" when the main window shows, else why
  // not, with `quiet` when no message should say it before the start
  // dialog does (it was said already, or the dialog alone says it).
  QString StartIn(bool* quiet);
  // The rules file to open, or "" with `problem` telling why there is none
  // (`quiet` when the start dialog alone should say it).
  QString FindRulesFile(QString* problem, bool* quiet);

  std::unique_ptr<DialogProvider> dialogs_;
  std::string startupDir_;
  Language language_ = Language::kChinese;
  QTranslator qtTexts_;   // Qt's own, in Chinese
  QTranslator ownTexts_;  // the workbench's, in English
  std::string profileName_;
  RecentFileList recentFiles_;
  WorkbenchSettings settings_;
  std::unique_ptr<MainWindow> mainWindow_;
  bool shown_ = false;  // the main window was shown: its layout is worth keeping
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_WORKBENCH_H_
