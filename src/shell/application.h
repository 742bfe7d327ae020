// The application object of the multiple-document framework: start-up hook,
// profile file and recent-file list, the document template, the main
// window, the shared printer settings, and the commands the application
// handles (new, open, recent files, printer setup, exit).
//
// It is a plain object, not the QApplication: main() makes the QApplication,
// then the application object, and runs InitInstance.
#ifndef MARVOLEN_SHELL_APPLICATION_H_
#define MARVOLEN_SHELL_APPLICATION_H_

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "shell/command_target.h"
#include "shell/dialogs.h"
#include "shell/mdi_frame_window.h"

class QPrinter;

namespace marvolen {

class DocTemplate;
class Document;
class MdiFrameWindow;
class RecentFileList;

class Application : public CommandTarget {
 public:
  // `dialogs` replaces the Qt dialogs (tests); null uses them.
  explicit Application(std::unique_ptr<DialogProvider> dialogs = nullptr);
  ~Application() override;

  // Start-up: false ends the program.
  virtual bool InitInstance() = 0;
  // Shut-down: saves the profile settings; returns the exit code.
  virtual int ExitInstance();

  // The profile file (config.ini) that replaces every other settings store.
  const std::string& profileName() const { return profileName_; }
  void SetProfileName(const std::string& path) { profileName_ = path; }
  // Read the recent-file list (`recentCount` entries) from the profile file.
  void LoadStdProfileSettings(int recentCount);
  // Write the recent-file list back when it changed.
  void SaveStdProfileSettings();
  RecentFileList* recentFileList() const { return recentFiles_.get(); }
  void AddToRecentFileList(const QString& path);

  void AddDocTemplate(std::unique_ptr<DocTemplate> docTemplate);
  DocTemplate* docTemplate() const { return template_.get(); }

  // The main window; the application owns it.
  void SetMainWindow(MdiFrameWindow* window);
  MdiFrameWindow* mainWindow() const { return mainWindow_; }

  DialogProvider& dialogs() { return *dialogs_; }
  QPrinter& printer();

  // A modal message with caption "Marvolen" on the main window.
  void ShowMessage(const QString& text, MessageIcon icon = MessageIcon::kWarning);

  // Open a document (a new one for an empty path); null on failure.
  Document* OpenDocumentFile(const QString& path);

  // What the command line asks for.
  struct CommandLineInfo {
    enum class Action { kFileNew, kFileOpen, kNothing };
    Action action = Action::kFileNew;
    QString fileName;
  };
  CommandLineInfo ParseCommandLine(const QStringList& arguments) const;
  // Carry out the command line's action; false when it failed.
  bool ProcessShellCommand(const CommandLineInfo& info);

  // Ask to save every modified document; false when the person cancels.
  bool SaveAllModified();

 protected:
  void OnFileNew();
  void OnFileOpen();
  void OnFilePrintSetup();
  void OnAppExit();
  void OnOpenRecentFile(int id);

 private:
  std::unique_ptr<DialogProvider> dialogs_;
  std::string profileName_;
  std::unique_ptr<RecentFileList> recentFiles_;
  std::unique_ptr<DocTemplate> template_;
  QPointer<MdiFrameWindow> mainWindow_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_APPLICATION_H_
