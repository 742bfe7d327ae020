// The data folders the workbench starts in, and the start dialog.
#include "shell/start_folder.h"

#include <QtWidgets>
#include <string>

#include "platform/replace_file.h"
#include "shell/file_io.h"
#include "shell/images.h"

namespace marvolen {

namespace {

const char kRecentKey[] = "RecentDataFolders";

// The user's own settings of the workbench (on Linux
// ~/.config/Marvolen/marvolen.ini), apart from every data folder.
QSettings UserSettings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Marvolen"),
                   QStringLiteral("marvolen"));
}

bool IsDataFolder(const QString& folder) {
  return !folder.isEmpty() &&
         QFileInfo(QDir(folder).filePath(QStringLiteral("config.ini"))).isFile();
}

}  // namespace

QStringList RecentDataFolders() {
  QStringList folders;
  for (const QString& folder : UserSettings().value(kRecentKey).toStringList())
    if (IsDataFolder(folder) && !folders.contains(folder)) folders.append(folder);
  return folders.mid(0, kRecentDataFolders);
}

void RememberDataFolder(const QString& folder) {
  const QString shown = QDir::toNativeSeparators(QDir(folder).absolutePath());
  QStringList folders = UserSettings().value(kRecentKey).toStringList();
  folders.removeAll(shown);
  folders.prepend(shown);
  UserSettings().setValue(kRecentKey, folders.mid(0, kRecentDataFolders));
}

QString BundledExamples() {
  const QString program = QCoreApplication::applicationDirPath();
  QStringList candidates = {qEnvironmentVariable("MARVOLEN_EXAMPLES"),
                            program + QStringLiteral("/../share/marvolen/examples"),
                            program + QStringLiteral("/examples")};
#ifdef MARVOLEN_SOURCE_EXAMPLES
  candidates.append(QStringLiteral(MARVOLEN_SOURCE_EXAMPLES));
#endif
  for (const QString& folder : candidates)
    if (IsDataFolder(folder)) return QDir::cleanPath(folder);
  return QString();
}

bool CreateDataFolder(const QString& folder, const QString& examples, QString* error) {
  const QString shown = QDir::toNativeSeparators(folder);
  if (examples.isEmpty()) {
    *error = QObject::tr("找不到随程序附带的示例数据，无法新建数据文件夹。");
    return false;
  }
  QStringList names = QDir(examples).entryList(QDir::Files, QDir::Name);
  // config.ini last: a folder left half made is no data folder.
  names.removeAll(QStringLiteral("config.ini"));
  names.append(QStringLiteral("config.ini"));
  const QDir target(folder);
  if (!QDir().mkpath(folder)) {
    *error = QObject::tr("无法建立文件夹 %1。").arg(shown);
    return false;
  }
  for (const QString& name : names)
    if (QFileInfo::exists(target.filePath(name))) {
      *error = QObject::tr("文件夹 %1 中已有 %2，示例数据不会覆盖它。\n请选择一个空文件夹。")
                   .arg(shown, name);
      return false;
    }
  for (const QString& name : names) {
    std::string bytes;
    if (!ReadFileBytes(QDir(examples).filePath(name), 1 << 24, &bytes, error)) return false;
    std::string failure;
    if (!ReplaceFileContents(QDir::toNativeSeparators(target.filePath(name)).toStdString(), bytes,
                             &failure)) {
      *error = QObject::tr("无法写入 %1：%2")
                   .arg(QDir::toNativeSeparators(target.filePath(name)),
                        QString::fromStdString(failure));
      return false;
    }
  }
  return true;
}

StartDialog::StartDialog(const QString& problem, const QStringList& recentFolders, QWidget* parent)
    : QDialog(parent), recent_(new QListWidget) {
  setWindowTitle(QStringLiteral("Marvolen"));
  setWindowIcon(AppIcon());
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(problem + QLatin1Char('\n') +
                          tr("请打开一个数据文件夹（含有 config.ini），或用示例数据新建一个。"));
  text->setWordWrap(true);
  layout->addWidget(text);
  recent_->setObjectName(QStringLiteral("recentDataFolders"));
  recent_->addItems(recentFolders);
  if (!recentFolders.isEmpty()) {
    layout->addWidget(new QLabel(tr("最近的数据文件夹：")));
    layout->addWidget(recent_);
    recent_->setCurrentRow(0);
  } else {
    recent_->hide();
  }
  connect(recent_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    choice_ = StartAction::kOpenFolder;
    folder_ = item->text();
    accept();
  });
  auto* buttons = new QDialogButtonBox;
  auto* open = buttons->addButton(tr("打开数据文件夹(&O)..."), QDialogButtonBox::AcceptRole);
  auto* create = buttons->addButton(tr("新建数据文件夹(&N)..."), QDialogButtonBox::AcceptRole);
  auto* quit = buttons->addButton(tr("退出(&X)"), QDialogButtonBox::RejectRole);
  open->setObjectName(QStringLiteral("openDataFolder"));
  create->setObjectName(QStringLiteral("newDataFolder"));
  quit->setObjectName(QStringLiteral("quit"));
  connect(open, &QPushButton::clicked, this, [this] {
    choice_ = StartAction::kOpenFolder;
    accept();
  });
  connect(create, &QPushButton::clicked, this, [this] {
    choice_ = StartAction::kNewFolder;
    accept();
  });
  connect(quit, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  open->setDefault(true);
}

StartChoice DialogProvider::AskStart(const QString& problem, const QStringList& recentFolders) {
  for (;;) {
    StartDialog dialog(problem, recentFolders);
    if (dialog.exec() != QDialog::Accepted) return {};
    if (!dialog.folder().isEmpty()) return {dialog.choice(), dialog.folder()};
    const bool create = dialog.choice() == StartAction::kNewFolder;
    const QString folder = QFileDialog::getExistingDirectory(
        nullptr,
        create ? QObject::tr("新建数据文件夹：选择一个空文件夹，示例数据将复制到这里")
               : QObject::tr("打开数据文件夹：选择含有 config.ini 的文件夹"),
        QDir::homePath());
    if (!folder.isEmpty()) return {dialog.choice(), folder};
    // Cancelled: the start dialog again.
  }
}

}  // namespace marvolen
