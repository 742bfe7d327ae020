// The Marvolen application.
#include "shell/marvolen_app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>

#include "platform/file_system.h"
#include "platform/profile.h"
#include "run/run.h"
#include "shell/main_frame.h"

namespace marvolen {

namespace {

QString FromLocal(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

CMarvolenApp::CMarvolenApp(int& argc, char** argv, std::unique_ptr<DialogProvider> dialogs)
    : QApplication(argc, argv),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogProvider>()) {
  setApplicationName(QStringLiteral("Marvolen"));
  // Qt's own dialogs (file, print) speak Simplified Chinese like the rest.
  if (translator_.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(&translator_);
}

CMarvolenApp::~CMarvolenApp() = default;

bool CMarvolenApp::InitInstance() {
  m_strStartupDir = CurrentDirectory();
  recentFiles_ = RecentFileList();
  profileName_ = ProfilePathFor(m_strStartupDir);
  QString rulesPath;
  const QString problem = FindRulesFile(&rulesPath);
  if (!problem.isEmpty()) {
    dialogs_->ShowMessage(nullptr, problem, MessageIcon::kWarning);
    return false;
  }
  recentFiles_.ReadList(profileName_);
  mainFrame_ = std::make_unique<CMainFrame>(m_strStartupDir, *dialogs_, recentFiles_);
  if (!mainFrame_->OnCreate() || !mainFrame_->OpenFile(rulesPath)) return false;
  mainFrame_->show();
  return true;
}

QString CMarvolenApp::FindRulesFile(QString* rulesPath) const {
  const QString profile = QDir::toNativeSeparators(FromLocal(profileName_));
  const QFileInfo info(FromLocal(profileName_));
  if (!info.exists())
    return QStringLiteral("无法启动：在文件夹 %1 中找不到 config.ini。")
        .arg(QDir::toNativeSeparators(FromLocal(m_strStartupDir)));
  // A FIFO would block the reader, a device feed it without end.
  if (!info.isFile()) return QStringLiteral("无法读取 %1：这不是一个普通文件。").arg(profile);
  const Profile config = Profile::Load(profileName_);
  if (!config.loaded()) return QStringLiteral("无法读取 %1。").arg(profile);
  const std::string rules = config.GetString("DATA", "RULES");
  if (rules.empty()) return QStringLiteral("无法打开规则文件：%1 的 [DATA] 节中没有 RULES 项。").arg(profile);
  const QDir startupDir(FromLocal(m_strStartupDir));
  *rulesPath = QDir::cleanPath(startupDir.absoluteFilePath(FromLocal(NativePath(rules))));
  return QString();
}

int CMarvolenApp::ExitInstance() {
  std::string error;
  if (!recentFiles_.WriteList(profileName_, &error))
    dialogs_->ShowMessage(mainFrame_.get(),
                          QStringLiteral("最近文件列表无法写入 %1。\n%2")
                              .arg(QDir::toNativeSeparators(FromLocal(profileName_)), QString::fromStdString(error)),
                          MessageIcon::kWarning);
  mainFrame_.reset();
  return 0;
}

}  // namespace marvolen
