// The application object of the multiple-document framework.
#include "shell/application.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrinter>

#include "shell/command_ids.h"
#include "shell/doc_template.h"
#include "shell/document.h"
#include "shell/mdi_frame_window.h"
#include "shell/recent_file_list.h"

namespace marvolen {

Application::Application(std::unique_ptr<DialogProvider> dialogs)
    : dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogProvider>()) {
  OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
  OnCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, [this](int id) { OnOpenRecentFile(id); },
                 [this](int id, CommandState& s) {
                   s.enabled = recentFiles_ != nullptr &&
                               id - ID_FILE_MRU_FILE1 < recentFiles_->entries().size();
                 });
}

Application::~Application() {
  delete mainWindow_.data();
  // Documents whose windows went with the main window are deleted later:
  // do it now, before the template goes.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  template_.reset();
}

int Application::ExitInstance() {
  SaveStdProfileSettings();
  return 0;
}

void Application::LoadStdProfileSettings(int recentCount) {
  recentFiles_ = std::make_unique<RecentFileList>(recentCount);
  recentFiles_->ReadList(profileName_);
}

void Application::SaveStdProfileSettings() {
  if (recentFiles_ == nullptr) return;
  std::string error;
  if (!recentFiles_->WriteList(profileName_, &error))
    ShowMessage(QStringLiteral("最近文件列表无法写入 %1。\n%2")
                    .arg(QString::fromStdString(profileName_), QString::fromStdString(error)));
}

void Application::AddToRecentFileList(const QString& path) {
  if (recentFiles_ != nullptr) recentFiles_->Add(path);
  if (mainWindow_ != nullptr) mainWindow_->RequestUpdateUI();
}

void Application::AddDocTemplate(std::unique_ptr<DocTemplate> docTemplate) {
  template_ = std::move(docTemplate);
}

void Application::SetMainWindow(MdiFrameWindow* window) { mainWindow_ = window; }

QPrinter& Application::printer() {
  if (printer_ == nullptr) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void Application::ShowMessage(const QString& text, MessageIcon icon) {
  dialogs_->ShowMessage(mainWindow_, text, icon);
}

Document* Application::OpenDocumentFile(const QString& path) {
  if (template_ == nullptr || mainWindow_ == nullptr) return nullptr;
  return template_->OpenDocumentFile(path);
}

Application::CommandLineInfo Application::ParseCommandLine(const QStringList& arguments) const {
  CommandLineInfo info;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg.size() > 1 && arg.startsWith(QLatin1Char('-'))) continue;  // a flag
    if (info.fileName.isEmpty()) {
      info.fileName = arg;
      info.action = CommandLineInfo::Action::kFileOpen;
    }
  }
  return info;
}

bool Application::ProcessShellCommand(const CommandLineInfo& info) {
  switch (info.action) {
    case CommandLineInfo::Action::kFileNew:
      return OpenDocumentFile(QString()) != nullptr;
    case CommandLineInfo::Action::kFileOpen:
      if (info.fileName.isEmpty()) {
        ShowMessage(QStringLiteral("打开文档失败：没有给出文件名。"));
        return false;
      }
      return OpenDocumentFile(info.fileName) != nullptr;
    case CommandLineInfo::Action::kNothing:
      return true;
  }
  return false;
}

bool Application::SaveAllModified() {
  if (template_ == nullptr) return true;
  for (Document* doc : template_->documents())
    if (!doc->SaveModified()) return false;
  return true;
}

void Application::OnFileNew() { OpenDocumentFile(QString()); }

void Application::OnFileOpen() {
  const QString path = dialogs_->GetOpenFileName(mainWindow_);
  if (!path.isEmpty()) OpenDocumentFile(path);
}

void Application::OnFilePrintSetup() {
  QPageSetupDialog dialog(&printer(), mainWindow_);
  dialog.setWindowTitle(QStringLiteral("打印设置"));
  dialogs_->RunModal(&dialog);
}

void Application::OnAppExit() {
  if (mainWindow_ != nullptr) mainWindow_->close();
}

void Application::OnOpenRecentFile(int id) {
  const int index = id - ID_FILE_MRU_FILE1;
  if (recentFiles_ == nullptr || index >= recentFiles_->entries().size()) return;
  const QString path = recentFiles_->entries()[index];
  if (OpenDocumentFile(path) == nullptr) {
    // A file that cannot be opened any more leaves the list.
    recentFiles_->Remove(recentFiles_->entries().indexOf(path));
    if (mainWindow_ != nullptr) mainWindow_->RequestUpdateUI();
  }
}

}  // namespace marvolen
