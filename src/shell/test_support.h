// Helpers for the workbench's tests: a DialogProvider that records every
// modal interaction and answers from a script, and a scratch start-up
// directory with config.ini and GBK data files.
#ifndef MARVOLEN_SHELL_TEST_SUPPORT_H_
#define MARVOLEN_SHELL_TEST_SUPPORT_H_

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include "shell/dialogs.h"
#include "shell/marvolen_app.h"

namespace marvolen {

class RecordingDialogs : public DialogProvider {
 public:
  struct Message {
    QString text;
    MessageIcon icon;
    bool onGuiThread;
    QString activeModal;  // class of the modal widget active when it was shown
  };

  void ShowMessage(QWidget* parent, const QString& text, MessageIcon icon) override;
  SaveChoice AskSaveChanges(QWidget* parent, const QString& text) override;
  QString GetOpenFileName(QWidget* parent) override;
  QString GetSaveFileName(QWidget* parent, const QString& proposed) override;
  int RunModal(QDialog* dialog) override;
  bool ConfirmPrint(QWidget* parent, QPrinter* printer) override;

  QStringList texts() const;

  std::vector<Message> messages;
  QStringList saveQuestions;
  std::deque<SaveChoice> saveAnswers;  // kCancel once exhausted
  QStringList openAnswers;             // "" once exhausted
  QStringList saveAsAnswers;
  QStringList proposedNames;
  QStringList modalDialogs;            // window titles
  QString printToPdf;                  // empty: printing is cancelled
};

// A scratch start-up directory. Files are written as the bytes given.
class StartupDir {
 public:
  StartupDir();
  QString path() const { return dir_.path(); }
  QString file(const QString& name) const { return dir_.filePath(name); }
  void Write(const QString& name, const QByteArray& bytes) const;
  QByteArray Read(const QString& name) const;
  // config.ini naming the example file names, and small GBK data files.
  void WriteExampleSet() const;

 private:
  QTemporaryDir dir_;
};

// Start the workbench in `dir` (made the current directory) with recording
// dialogs; `started` tells what InitInstance returned.
struct Workbench {
  Workbench(const StartupDir& dir, QStringList arguments = {QStringLiteral("marvolen")});
  ~Workbench();
  RecordingDialogs* dialogs;
  std::unique_ptr<CMarvolenApp> app;
  bool started = false;
};

// GBK bytes of a UTF-8 text.
QByteArray GbkBytes(const char* utf8);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_TEST_SUPPORT_H_
