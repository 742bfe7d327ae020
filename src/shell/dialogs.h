// Every modal interaction of the workbench with the person: message boxes,
// the save prompt, the file dialogs and other modal dialogs. The workbench
// asks the person only through a DialogProvider; tests override it with a
// recorder that answers from a script.
#ifndef MARVOLEN_SHELL_DIALOGS_H_
#define MARVOLEN_SHELL_DIALOGS_H_

#include <QStringList>

class QDialog;
class QFileDialog;
class QWidget;

namespace marvolen {

enum class MessageIcon { kWarning, kError };
enum class SaveChoice { kSave, kDiscard, kCancel };

class DialogProvider {
 public:
  virtual ~DialogProvider() = default;

  // A modal message with caption "Marvolen", `icon` and one OK button.
  virtual void ShowMessage(QWidget* parent, const QString& text, MessageIcon icon);
  // Ask whether to save the changes described by `text` before closing.
  virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& text);
  // The file to open, or to save to (proposing `proposed`); "" if cancelled.
  virtual QString GetOpenFileName(QWidget* parent);
  virtual QString GetSaveFileName(QWidget* parent, const QString& proposed);
  // Show `dialog` (About, printing, preview, page setup) until it closes.
  virtual int RunModal(QDialog* dialog);
  // The index of the window picked among `titles` (`current` is the active
  // one), or -1.
  virtual int ChooseWindow(QWidget* parent, const QStringList& titles, int current);
};

// Set up a file dialog as the workbench's are: the one filter "所有文件 (*.*)"
// that matches every file (with or without a dot in its name), and no
// extension added to a name typed without one.
void SetUpFileDialog(QFileDialog* dialog);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DIALOGS_H_
