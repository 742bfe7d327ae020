// The workbench application.
#include "shell/workbench.h"

#include <QtWidgets>

#include "ini/profile.h"
#include "platform/file_system.h"
#include "run/run.h"
#include "shell/document_manager.h"
#include "shell/file_io.h"
#include "shell/images.h"
#include "shell/main_window.h"
#include "shell/start_folder.h"

namespace marvolen {

namespace {

// Paths from the platform layer are UTF-8 text on every system.
QString FromLocal(const std::string& path) { return QString::fromStdString(path); }
QString Shown(const std::string& path) { return QDir::toNativeSeparators(FromLocal(path)); }

}  // namespace

Workbench::Workbench(int& argc, char** argv, std::unique_ptr<DialogProvider> dialogs)
    : QApplication(argc, argv),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<DialogProvider>()) {
  setApplicationName(QStringLiteral("Marvolen"));
  setWindowIcon(AppIcon());  // the windows without a parent too
  SetLanguage(EnvironmentLanguage());
}

void Workbench::SetLanguage(Language language) {
  removeTranslator(&qtTexts_);
  removeTranslator(&ownTexts_);
  language_ = language;
  if (language == Language::kChinese) {
    // The workbench's texts are written in Chinese; Qt's own dialogs and
    // buttons speak Simplified Chinese like them. Their texts are qtbase's
    // (qt_zh_CN also needs the catalogues of modules not used here, which
    // the Windows zip does not carry).
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtTexts_.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_", translations))
      installTranslator(&qtTexts_);
  } else if (ownTexts_.load(QStringLiteral(":/i18n/marvolen_en.qm"))) {
    // The English translation is built into the program; Qt's own texts
    // are English already.
    installTranslator(&ownTexts_);
  }
}

Workbench::~Workbench() = default;

bool Workbench::Start(const QString& folder) {
  if (!folder.isEmpty() && !QDir::setCurrent(folder)) {
    dialogs_->ShowMessage(nullptr,
                          QCoreApplication::translate("Workbench", "无法进入文件夹 %1。")
                              .arg(QDir::toNativeSeparators(folder)),
                          MessageIcon::kWarning);
  }
  for (;;) {
    bool quiet = false;
    const QString problem = StartIn(&quiet);
    if (problem.isEmpty()) {
      RememberDataFolder(FromLocal(startupDir_));
      return true;
    }
    // What the person may do instead of ending.
    if (!quiet) dialogs_->ShowMessage(nullptr, problem, MessageIcon::kWarning);
    const StartChoice choice = dialogs_->AskStart(problem, RecentDataFolders());
    if (choice.action == StartAction::kQuit) return false;
    QString error;
    if (choice.action == StartAction::kNewFolder &&
        !CreateDataFolder(choice.folder, BundledExamples(), &error)) {
      dialogs_->ShowMessage(nullptr, error, MessageIcon::kWarning);
    } else if (!QDir::setCurrent(choice.folder)) {
      dialogs_->ShowMessage(nullptr,
                            QCoreApplication::translate("Workbench", "无法进入文件夹 %1。")
                                .arg(QDir::toNativeSeparators(choice.folder)),
                            MessageIcon::kWarning);
    }
  }
}

QString Workbench::StartIn(bool* quiet) {
  startupDir_ = CurrentDirectory();
  profileName_ = ProfilePathFor(startupDir_);
  recentFiles_ = RecentFileList();
  shown_ = false;
  QString problem;
  const QString rules = FindRulesFile(&problem, quiet);
  if (rules.isEmpty()) return problem;
  recentFiles_.ReadList(profileName_);
  settings_.Read(profileName_);
  mainWindow_ =
      std::make_unique<MainWindow>(startupDir_, *dialogs_, recentFiles_, settings_.layout);
  // Where it was, when that is still on a screen.
  const QRect place = settings_.layout.mainWindow;
  if (place.isValid() && QGuiApplication::screenAt(place.center()) != nullptr)
    mainWindow_->setGeometry(place);
  if (!mainWindow_->documents()->OpenFile(rules)) {
    // The opening said why; the start dialog says it again in short.
    mainWindow_.reset();
    *quiet = true;
    return QCoreApplication::translate("Workbench", "无法打开规则文件 %1。").arg(rules);
  }
  settings_.layout.mainWindowMaximized ? mainWindow_->showMaximized() : mainWindow_->show();
  shown_ = true;
  return QString();
}

QString Workbench::FindRulesFile(QString* problem, bool* quiet) {
  const QFileInfo info(FromLocal(profileName_));
  const Profile config = info.isFile() ? Profile::Load(profileName_) : Profile();
  const std::string rules = config.GetString("DATA", "RULES");
  *quiet = false;
  if (!info.exists()) {
    // Not a data folder: the start dialog says so, with no message before.
    *quiet = true;
    *problem =
        QCoreApplication::translate("Workbench", "无法启动：在文件夹 %1 中找不到 config.ini。")
            .arg(Shown(startupDir_));
  } else if (!info.isFile()) {  // a FIFO would block the reader, a device feed it without end
    *problem = QCoreApplication::translate("Workbench", "无法读取 %1：这不是一个普通文件。")
                   .arg(Shown(profileName_));
  } else if (!config.loaded()) {
    *problem = QCoreApplication::translate("Workbench", "无法读取 %1。").arg(Shown(profileName_));
  } else if (rules.empty()) {
    *problem = QCoreApplication::translate("Workbench",
                                           "无法打开规则文件：%1 的 [DATA] 节中没有 RULES 项。")
                   .arg(Shown(profileName_));
  } else {
    return ConfiguredPath(startupDir_, rules);
  }
  return QString();
}

int Workbench::Finish() {
  std::string error;
  // The layout is written only when the list could be: a second message
  // about the same file would say nothing new.
  if (!recentFiles_.WriteList(profileName_, &error)) {
    dialogs_->ShowMessage(mainWindow_.get(),
                          QCoreApplication::translate("Workbench", "最近文件列表无法写入 %1。\n%2")
                              .arg(Shown(profileName_), QString::fromStdString(error)),
                          MessageIcon::kWarning);
  } else if (shown_) {
    mainWindow_->SaveLayout();
    if (!settings_.Write(profileName_, &error))
      dialogs_->ShowMessage(mainWindow_.get(),
                            QCoreApplication::translate("Workbench", "窗口布局无法写入 %1。\n%2")
                                .arg(Shown(profileName_), QString::fromStdString(error)),
                            MessageIcon::kWarning);
  }
  mainWindow_.reset();
  shown_ = false;
  return 0;
}

}  // namespace marvolen
