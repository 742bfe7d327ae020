// Qt implementations of the workbench's modal interactions.
#include "shell/dialogs.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>


namespace marvolen {

namespace {

// The filter's visible name is what the last parenthesised pattern list
// precedes; the pattern that applies is "*", since "*.*" would hide files
// whose names have no dot.
const char kAllFilesFilter[] = "所有文件 (*.*) (*)";

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kError:
      return QMessageBox::Critical;
  }
  return QMessageBox::Warning;
}

}  // namespace

void SetUpFileDialog(QFileDialog* dialog) {
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::HideNameFilterDetails, true);
  dialog->setNameFilter(QString::fromUtf8(kAllFilesFilter));
  dialog->setDefaultSuffix(QString());
}

void QtDialogProvider::ShowMessage(QWidget* parent, const QString& text, MessageIcon icon) {
  QMessageBox box(ToQt(icon), QStringLiteral("Marvolen"), text, QMessageBox::NoButton, parent);
  box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  box.exec();
}

SaveChoice QtDialogProvider::AskSaveChanges(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Marvolen"), text, QMessageBox::NoButton,
                  parent);
  QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == yes) return SaveChoice::kSave;
  if (box.clickedButton() == no) return SaveChoice::kDiscard;
  return SaveChoice::kCancel;
}

QString QtDialogProvider::GetOpenFileName(QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("打开"));
  SetUpFileDialog(&dialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

QString QtDialogProvider::GetSaveFileName(QWidget* parent, const QString& proposed) {
  QFileDialog dialog(parent, QStringLiteral("另存为"));
  SetUpFileDialog(&dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.selectFile(proposed);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

int QtDialogProvider::ChooseWindow(QWidget* parent, const QStringList& titles, int current) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("选择窗口"));
  dialog.setLabelText(QStringLiteral("选择窗口(&W)："));
  dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
  dialog.setComboBoxItems(titles);
  dialog.setTextValue(titles.value(current));
  dialog.setOkButtonText(QStringLiteral("确定"));
  dialog.setCancelButtonText(QStringLiteral("取消"));
  if (dialog.exec() != QDialog::Accepted) return -1;
  // Titles may repeat ("a.txt" in two folders): take the selected row.
  auto* list = dialog.findChild<QAbstractItemView*>();
  return list != nullptr ? list->currentIndex().row() : static_cast<int>(titles.indexOf(dialog.textValue()));
}

int QtDialogProvider::RunModal(QDialog* dialog) { return dialog->exec(); }

bool QtDialogProvider::ConfirmPrint(QWidget* parent, QPrinter* printer) {
  QPrintDialog dialog(printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace marvolen
