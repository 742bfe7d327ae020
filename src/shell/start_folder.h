// Where the workbench starts when the current folder is no data folder: the
// data folders started in lately (kept in the user's settings, never in a
// data folder's config.ini), the example data that comes with the program,
// and a new data folder made from it. The start dialog offers them.
#ifndef MARVOLEN_SHELL_START_FOLDER_H_
#define MARVOLEN_SHELL_START_FOLDER_H_

#include <QDialog>
#include <QString>
#include <QStringList>

#include "shell/dialogs.h"

class QListWidget;

namespace marvolen {

// The data folders the workbench started in lately, the latest first, those
// that still hold a config.ini; at most kRecentDataFolders.
inline constexpr int kRecentDataFolders = 6;
QStringList RecentDataFolders();
// Put `folder` first among them.
void RememberDataFolder(const QString& folder);

// The example data that comes with the program (a folder with config.ini and
// the three data files): MARVOLEN_EXAMPLES when set, then share/marvolen/
// examples beside the program's bin folder (the Debian package), examples/
// beside the program (the Windows zip), then the source tree's; "" if none.
QString BundledExamples();

// Copy the files of `examples` into `folder` (made when missing), each
// written whole before it counts, config.ini last. Nothing is overwritten:
// when `folder` holds a file of the same name already, nothing is copied.
// False with `error` (a message for the person) set when it fails.
bool CreateDataFolder(const QString& folder, const QString& examples, QString* error);

// The start dialog: why the workbench has no data to open (`problem`), the
// recent data folders (a double-click opens one), and 打开数据文件夹...,
// 新建数据文件夹... and 退出.
class StartDialog : public QDialog {
  Q_OBJECT

 public:
  StartDialog(const QString& problem, const QStringList& recentFolders, QWidget* parent = nullptr);
  StartAction choice() const { return choice_; }
  // The recent folder chosen, or "" when a folder is still to be picked.
  QString folder() const { return folder_; }

 private:
  QListWidget* recent_;
  StartAction choice_ = StartAction::kQuit;
  QString folder_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_START_FOLDER_H_
