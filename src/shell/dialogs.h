// Every modal interaction of the workbench with the person: message boxes,
// the save prompt, the file dialogs and other modal dialogs.
//
// The workbench talks to the person only through a DialogProvider, so tests
// can replace the modal boxes with a recorder and scripted answers.
#ifndef MARVOLEN_SHELL_DIALOGS_H_
#define MARVOLEN_SHELL_DIALOGS_H_

#include <QString>
#include <QStringList>

class QDialog;
class QFileDialog;
class QPrinter;
class QWidget;

namespace marvolen {

enum class MessageIcon { kWarning, kInformation, kQuestion, kError };
enum class SaveChoice { kSave, kDiscard, kCancel };

class DialogProvider {
 public:
  virtual ~DialogProvider() = default;

  // A modal message with caption "Marvolen", `icon` and one OK button.
  virtual void ShowMessage(QWidget* parent, const QString& text, MessageIcon icon) = 0;

  // Ask whether to save the changes described by `text` before closing.
  virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& text) = 0;

  // The file to open, or an empty string when the person cancels.
  virtual QString GetOpenFileName(QWidget* parent) = 0;

  // The file to save to (proposing `proposed`), or an empty string.
  virtual QString GetSaveFileName(QWidget* parent, const QString& proposed) = 0;

  // Show `dialog` modally until it is closed (About, print preview, print
  // setup); returns the dialog's result.
  virtual int RunModal(QDialog* dialog) = 0;

  // Let the person choose the printer and options for printing; false when
  // printing is cancelled.
  virtual bool ConfirmPrint(QWidget* parent, QPrinter* printer) = 0;

  // Let the person pick one of the open windows (`titles`, the active one at
  // `current`); the index picked, or -1 when cancelled.
  virtual int ChooseWindow(QWidget* parent, const QStringList& titles, int current) = 0;
};

// The real thing: Qt message boxes and dialogs.
class QtDialogProvider : public DialogProvider {
 public:
  void ShowMessage(QWidget* parent, const QString& text, MessageIcon icon) override;
  SaveChoice AskSaveChanges(QWidget* parent, const QString& text) override;
  QString GetOpenFileName(QWidget* parent) override;
  QString GetSaveFileName(QWidget* parent, const QString& proposed) override;
  int RunModal(QDialog* dialog) override;
  bool ConfirmPrint(QWidget* parent, QPrinter* printer) override;
  int ChooseWindow(QWidget* parent, const QStringList& titles, int current) override;
};

// Configure a file dialog as the workbench's open and save dialogs are: the
// one filter "所有文件 (*.*)" that matches every file (with or without a dot
// in its name) and no extension added to a name typed without one.
void SetUpFileDialog(QFileDialog* dialog);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DIALOGS_H_
