// The workbench's modal interactions, with Qt's dialogs.
#include "shell/dialogs.h"

#include <QtWidgets>

namespace marvolen {

namespace {

// The chosen file of a dialog run to its end, or "".
QString RunFileDialog(QFileDialog& dialog) {
  SetUpFileDialog(&dialog);
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

}  // namespace

void SetUpFileDialog(QFileDialog* dialog) {
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  // The name shown is what precedes the last parenthesised pattern list; the
  // pattern that applies is "*", since "*.*" would hide names without a dot.
  dialog->setNameFilter(QStringLiteral("所有文件 (*.*) (*)"));
  dialog->setDefaultSuffix(QString());
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
  QPushButton* overwrite = box.addButton(QStringLiteral("保存并覆盖"), QMessageBox::AcceptRole);
  box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(qobject_cast<QPushButton*>(box.buttons().last()));
  box.exec();
  return box.clickedButton() == overwrite;
}

RunChoice DialogProvider::AskSaveBeforeRun(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Marvolen"), text, QMessageBox::NoButton,
                  parent);
  QPushButton* save = box.addButton(QStringLiteral("保存并分析(&S)"), QMessageBox::AcceptRole);
  QPushButton* asSaved =
      box.addButton(QStringLiteral("按已保存的文件分析(&R)"), QMessageBox::DestructiveRole);
  box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.exec();
  return box.clickedButton() == save      ? RunChoice::kSaveAndRun
         : box.clickedButton() == asSaved ? RunChoice::kRunAsSaved
                                          : RunChoice::kCancel;
}

int DialogProvider::AskLineNumber(QWidget* parent, int current, int last) {
  bool ok = false;
  const int line = QInputDialog::getInt(parent, QStringLiteral("转到行"),
                                        QStringLiteral("行号（1 - %1）(&L)：").arg(last), current,
                                        1, last, 1, &ok);
  return ok ? line : 0;
}

QString DialogProvider::GetOpenFileName(QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("打开"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  return RunFileDialog(dialog);
}

QString DialogProvider::GetSaveFileName(QWidget* parent, const QString& proposed) {
  QFileDialog dialog(parent, QStringLiteral("另存为"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
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
  const QString item =
      QInputDialog::getItem(parent, QStringLiteral("选择窗口"), QStringLiteral("选择窗口(&W)："),
                            items, current, false, &ok);
  return ok ? static_cast<int>(items.indexOf(item)) : -1;
}

}  // namespace marvolen
