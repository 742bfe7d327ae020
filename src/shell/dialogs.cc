// The workbench's modal interactions, with Qt's dialogs.
#include "shell/dialogs.h"

#include <QtWidgets>

#include "marvolen_version.h"
#include "platform/file_system.h"
#include "run/run.h"
#include "shell/images.h"

namespace marvolen {

namespace {

// The names of the data files config.ini in the current directory (the
// start-up directory) gives.
QStringList DataFileNames() {
  const RunConfig config = ReadRunConfig(ProfilePathFor(QDir::currentPath().toStdString()));
  QStringList names;
  for (const std::string& value : {config.tags, config.sequences, config.rules}) {
    const QString name = QFileInfo(QString::fromStdString(NativePath(value))).fileName();
    if (!name.isEmpty() && !names.contains(name)) names.append(name);
  }
  return names;
}

// The chosen file of a dialog run to its end, or "".
QString RunFileDialog(QFileDialog& dialog) {
  SetUpFileDialog(&dialog, DataFileNames());
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

}  // namespace

void SetUpFileDialog(QFileDialog* dialog, const QStringList& dataFiles) {
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  // The name shown is what precedes the last parenthesised pattern list; the
  // pattern that applies is "*", since "*.*" would hide names without a dot.
  QStringList filters{QCoreApplication::translate("Dialogs", "所有文件 (*.*) (*)"),
                      QCoreApplication::translate("Dialogs", "文本文件 (*.txt)")};
  if (!dataFiles.isEmpty())
    filters.append(QCoreApplication::translate("Dialogs", "数据文件 (%1)")
                       .arg(dataFiles.join(QLatin1Char(' '))));
  dialog->setNameFilters(filters);
  dialog->selectNameFilter(filters.first());
  dialog->setDefaultSuffix(QString());
  dialog->setViewMode(QFileDialog::Detail);
  dialog->resize(dialog->sizeHint().expandedTo(QSize(760, 460)));
  if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView")))
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

QString ChooseSaveName(DialogProvider& dialogs, QWidget* parent, const QString& proposed,
                       const std::function<QString(const QString&)>& refusal) {
  QString path = proposed;
  for (;;) {
    path = dialogs.GetSaveFileName(parent, path);
    if (path.isEmpty()) return path;
    if (const QString refused = refusal ? refusal(path) : QString(); !refused.isEmpty()) {
      dialogs.ShowMessage(parent, refused, MessageIcon::kWarning);
      continue;
    }
    // What is no plain file is not replaced: the save says so.
    if (!QFileInfo(path).isFile() ||
        dialogs.AskYesNo(parent, QCoreApplication::translate("Dialogs", "%1 已存在。\n要替换它吗？")
                                     .arg(QDir::toNativeSeparators(path))))
      return path;
  }
}

// The buttons' texts (确定, 是(&Y), 否(&N), 取消) come from Qt's translation.
void DialogProvider::ShowMessage(QWidget* parent, const QString& text, MessageIcon icon) {
  QMessageBox(icon == MessageIcon::kError ? QMessageBox::Critical : QMessageBox::Warning,
              QStringLiteral("Marvolen"), text, QMessageBox::Ok, parent)
      .exec();
}

SaveChoice DialogProvider::AskSaveChanges(QWidget* parent, const QString& text) {
  const auto answer = QMessageBox::warning(parent, QStringLiteral("Marvolen"), text,
                                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                           QMessageBox::Yes);
  return answer == QMessageBox::Yes  ? SaveChoice::kSave
         : answer == QMessageBox::No ? SaveChoice::kDiscard
                                     : SaveChoice::kCancel;
}

bool DialogProvider::AskYesNo(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QStringLiteral("Marvolen"), text,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QDialog* DialogProvider::AskYesNoLater(QWidget* parent, const QString& text,
                                       std::function<void(bool)> answered) {
  auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Marvolen"), text,
                              QMessageBox::Yes | QMessageBox::No, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)] {
    if (QAbstractButton* clicked = box->clickedButton())
      answered(clicked == box->button(QMessageBox::Yes));
  });
  box->open();
  return box;
}

bool DialogProvider::AskOverwrite(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Marvolen"), text, QMessageBox::NoButton,
                  parent);
  QPushButton* overwrite =
      box.addButton(QCoreApplication::translate("Dialogs", "保存并覆盖"), QMessageBox::AcceptRole);
  box.addButton(QCoreApplication::translate("Dialogs", "取消"), QMessageBox::RejectRole);
  box.setDefaultButton(qobject_cast<QPushButton*>(box.buttons().last()));
  box.exec();
  return box.clickedButton() == overwrite;
}

RunChoice DialogProvider::AskSaveBeforeRun(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Marvolen"), text, QMessageBox::NoButton,
                  parent);
  QPushButton* save = box.addButton(QCoreApplication::translate("Dialogs", "保存并分析(&S)"),
                                    QMessageBox::AcceptRole);
  QPushButton* asSaved =
      box.addButton(QCoreApplication::translate("Dialogs", "按已保存的文件分析(&R)"),
                    QMessageBox::DestructiveRole);
  box.addButton(QCoreApplication::translate("Dialogs", "取消"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.exec();
  return box.clickedButton() == save      ? RunChoice::kSaveAndRun
         : box.clickedButton() == asSaved ? RunChoice::kRunAsSaved
                                          : RunChoice::kCancel;
}

int DialogProvider::AskLineNumber(QWidget* parent, int current, int last) {
  bool ok = false;
  const int line =
      QInputDialog::getInt(parent, QCoreApplication::translate("Dialogs", "转到行"),
                           QCoreApplication::translate("Dialogs", "行号（1 - %1）(&L)：").arg(last),
                           current, 1, last, 1, &ok);
  return ok ? line : 0;
}

QString DialogProvider::GetOpenFileName(QWidget* parent) {
  QFileDialog dialog(parent, QCoreApplication::translate("Dialogs", "打开"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  return RunFileDialog(dialog);
}

QString DialogProvider::GetSaveFileName(QWidget* parent, const QString& proposed) {
  QFileDialog dialog(parent, QCoreApplication::translate("Dialogs", "另存为"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);  // ChooseSaveName asks
  dialog.selectFile(proposed);
  return RunFileDialog(dialog);
}

int DialogProvider::RunModal(QDialog* dialog) { return dialog->exec(); }

bool DialogProvider::OpenInBrowser(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

int DialogProvider::ChooseWindow(QWidget* parent, const QStringList& titles, int current) {
  // Numbered, so that two windows of one title (two folders' a.txt) differ.
  QStringList items;
  for (const QString& title : titles)
    items.append(QStringLiteral("%1 %2").arg(items.size() + 1).arg(title));
  bool ok = false;
  const QString item = QInputDialog::getItem(
      parent, QCoreApplication::translate("Dialogs", "选择窗口"),
      QCoreApplication::translate("Dialogs", "选择窗口(&W)："), items, current, false, &ok);
  return ok ? static_cast<int>(items.indexOf(item)) : -1;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
  font.setPointSize(9);
  setFont(font);
  // A horizontal dialog unit is a quarter of the font's average character
  // width, a vertical one an eighth of its height.
  const QFontMetrics metrics(font);
  const double x = metrics.horizontalAdvance(
                       QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                   208.0;
  const double y = metrics.height() / 8.0;
  auto place = [this, x, y](QWidget* widget, int left, int top, int width, int height) {
    widget->setParent(this);
    widget->setGeometry(qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y));
  };
  setWindowTitle(tr("关于 Marvolen"));
  setFixedSize(qRound(235 * x), qRound(55 * y));
  auto* icon = new QLabel;
  icon->setPixmap(AppIcon().pixmap(32, 32));
  place(icon, 11, 17, 0, 0);
  icon->resize(32, 32);
  // The major and minor version, as "Marvolen 1.0 版".
  place(new QLabel(tr("Marvolen %1.%2 版")
                       .arg(QStringLiteral(MARVOLEN_VERSION_MAJOR),
                            QStringLiteral(MARVOLEN_VERSION_MINOR))),
        40, 10, 119, 8);
  place(new QLabel(tr("汉语歧义格式分析工作台")), 40, 25, 119, 8);
  auto* ok = new QPushButton(tr("确定"));
  place(ok, 178, 7, 50, 14);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace marvolen
