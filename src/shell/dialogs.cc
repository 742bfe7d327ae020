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
