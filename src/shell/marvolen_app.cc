// The Marvolen application.
#include "shell/marvolen_app.h"

#include <QDir>

#include "platform/file_system.h"
#include "platform/profile.h"
#include "run/run.h"
#include "shell/about_dialog.h"
#include "shell/child_frame.h"
#include "shell/command_ids.h"
#include "shell/doc_template.h"
#include "shell/main_frame.h"
#include "shell/marvolen_doc.h"
#include "shell/marvolen_view.h"

namespace marvolen {

CMarvolenApp::CMarvolenApp(QStringList arguments, std::unique_ptr<DialogProvider> dialogs)
    : Application(std::move(dialogs)), arguments_(std::move(arguments)) {
  OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
  OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
  OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
  OnCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
}

bool CMarvolenApp::InitInstance() {
  // The start-up directory, and config.ini in it as the profile file.
  m_strStartupDir = CurrentDirectory();
  SetProfileName(ProfilePathFor(m_strStartupDir));
  LoadStdProfileSettings(4);

  AddDocTemplate(std::make_unique<DocTemplate>(
      this, IDR_MARVOTYPE, [] { return new CMarvolenDoc; }, [this] { return new CChildFrame(this); },
      [] { return new CMarvolenView; }));

  auto* frame = new CMainFrame(this);
  SetMainWindow(frame);
  if (!frame->LoadFrame(IDR_MAINFRAME, kMainFrameStyle)) return false;

  // Whatever the command line says, the rules file is opened, and only it.
  CommandLineInfo info = ParseCommandLine(arguments_);
  const std::string rules = Profile::Load(profileName()).GetString("DATA", "RULES");
  if (rules.empty()) {
    ShowMessage(QStringLiteral("无法打开规则文件：%1 的 [DATA] 节中没有 RULES 项。")
                    .arg(QDir::toNativeSeparators(QString::fromStdString(profileName()))));
    return false;
  }
  const QString rulesPath = QString::fromStdString(NativePath(rules));
  const QDir startupDir(QString::fromStdString(m_strStartupDir));
  info.fileName = QDir::cleanPath(startupDir.absoluteFilePath(rulesPath));
  info.action = CommandLineInfo::Action::kFileOpen;
  if (!ProcessShellCommand(info)) return false;

  frame->show();
  return true;
}

void CMarvolenApp::OnAppAbout() {
  AboutDialog dialog(mainWindow());
  dialogs().RunModal(&dialog);
}

}  // namespace marvolen
