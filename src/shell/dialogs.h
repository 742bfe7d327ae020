// Every modal interaction of the workbench with the person: message boxes,
// the save prompt, the file dialogs, the About box and other modal dialogs. The workbench
// asks the person only through a DialogProvider; tests override it with a
// recorder that answers from a script.
#ifndef MARVOLEN_SHELL_DIALOGS_H_
#define MARVOLEN_SHELL_DIALOGS_H_

#include <QDialog>
#include <QStringList>
#include <functional>

class QFileDialog;
class QWidget;

namespace marvolen {

enum class MessageIcon { kWarning, kError };
enum class SaveChoice { kSave, kDiscard, kCancel };
// With no data to start with: open a data folder, make one from the
// examples, or end.
enum class StartAction { kOpenFolder, kNewFolder, kQuit };
struct StartChoice {
  StartAction action = StartAction::kQuit;
  QString folder;  // the folder to open, or to make the new data folder in
};

// Before an analysis, about data files with unsaved edits.
enum class RunChoice { kSaveAndRun, kRunAsSaved, kCancel };

class DialogProvider {
 public:
  virtual ~DialogProvider() = default;

  // A modal message with caption "Marvolen", `icon` and one OK button.
  virtual void ShowMessage(QWidget* parent, const QString& text, MessageIcon icon);
  // Ask whether to save the changes described by `text` before closing.
  virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& text);
  // Ask a question that `text` puts; true for 是.
  virtual bool AskYesNo(QWidget* parent, const QString& text);
  // Ask the question `text` puts without waiting for the answer, which goes
  // to `answered` (true for 是) if it comes. The question shows while the
  // returned window is open; closing it withdraws the question. Null when it
  // was answered at once.
  virtual QDialog* AskYesNoLater(QWidget* parent, const QString& text,
                                 std::function<void(bool)> answered);
  // Ask whether to save over a file that another program changed, as `text`
  // says: true for 保存并覆盖, false for 取消.
  virtual bool AskOverwrite(QWidget* parent, const QString& text);
  // Ask what to do with the unsaved edits `text` names before an analysis.
  virtual RunChoice AskSaveBeforeRun(QWidget* parent, const QString& text);
  // The line to go to, from 1 to `last` (`current` proposed), or 0.
  virtual int AskLineNumber(QWidget* parent, int current, int last);
  // The file to open, or to save to (proposing `proposed`); "" if cancelled.
  // The save dialog does not ask about replacing a file: ChooseSaveName does.
  virtual QString GetOpenFileName(QWidget* parent);
  virtual QString GetSaveFileName(QWidget* parent, const QString& proposed);
  // Show `dialog` (About, printing, preview, page setup) until it closes.
  virtual int RunModal(QDialog* dialog);
  // The index of the window picked among `titles` (`current` is the active
  // one), or -1.
  virtual int ChooseWindow(QWidget* parent, const QStringList& titles, int current);
  // What to do without data to start with (the start dialog, then a folder
  // picker), `problem` telling why; `recentFolders` are offered.
  virtual StartChoice AskStart(const QString& problem, const QStringList& recentFolders);
  // Show the file at `path` in the system's browser; false when it could
  // not be handed to one.
  virtual bool OpenInBrowser(const QString& path);
};

// The file to save to, asked through `dialogs` (proposing `proposed`): a
// name that `refusal` refuses (its message, "" for none) is told of and
// asked again before any question about replacing the file it names; an
// existing file is replaced only when the person says so. "" if cancelled.
QString ChooseSaveName(DialogProvider& dialogs, QWidget* parent, const QString& proposed,
                       const std::function<QString(const QString&)>& refusal = {});

// Set up a file dialog as the workbench's are: first the filter
// "所有文件 (*.*)" that matches every file (with or without a dot in its
// name), then 文本文件 (*.txt) and the data files `dataFiles` names; no
// extension added to a name typed without one; the columns as wide as
// their contents.
void SetUpFileDialog(QFileDialog* dialog, const QStringList& dataFiles = {});

// The About box: the icon, the name and version, and one line about the
// program, laid out in dialog units of its 9-point 宋体 font.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DIALOGS_H_
