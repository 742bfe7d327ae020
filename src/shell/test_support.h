// Helpers for the workbench's tests: a DialogProvider that records every
// modal interaction and answers from a script, a scratch start-up directory
// with config.ini and GBK data files, and the main() of a test program.
#ifndef MARVOLEN_SHELL_TEST_SUPPORT_H_
#define MARVOLEN_SHELL_TEST_SUPPORT_H_

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <filesystem>
#include <memory>
#include <vector>

#include "shell/dialogs.h"
#include "shell/workbench.h"

namespace marvolen {

class MainWindow;

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
  bool AskYesNo(QWidget* parent, const QString& text) override;
  QDialog* AskYesNoLater(QWidget* parent, const QString& text,
                         std::function<void(bool)> answered) override;
  bool AskOverwrite(QWidget* parent, const QString& text) override;
  RunChoice AskSaveBeforeRun(QWidget* parent, const QString& text) override;
  int AskLineNumber(QWidget* parent, int current, int last) override;
  QString GetOpenFileName(QWidget* parent) override;
  QString GetSaveFileName(QWidget* parent, const QString& proposed) override;
  int RunModal(QDialog* dialog) override;
  int ChooseWindow(QWidget* parent, const QStringList& titles, int current) override;
  bool OpenInBrowser(const QString& path) override;
  StartChoice AskStart(const QString& problem, const QStringList& recentFolders) override;

  QStringList texts() const;

  std::vector<Message> messages;
  QStringList saveQuestions;
  std::deque<SaveChoice> saveAnswers;  // kCancel once exhausted
  QStringList yesNoQuestions;
  std::deque<bool> yesNoAnswers;  // false once exhausted
  bool holdQuestions = false;     // AskYesNoLater shows Qt's box, left unanswered
  QStringList overwriteQuestions;
  std::deque<bool> overwriteAnswers;  // false (取消) once exhausted
  QStringList runQuestions;
  std::deque<RunChoice> runAnswers;  // kCancel once exhausted
  QStringList lineQuestions;         // "current/last"
  std::deque<int> lineAnswers;       // 0 (cancelled) once exhausted
  QStringList openAnswers;           // "" once exhausted
  QStringList saveAsAnswers;
  QStringList proposedNames;
  QStringList modalDialogs;   // window titles
  QStringList modalTexts;     // their labels' and buttons' texts
  QString printToPdf;         // where a print dialog prints; empty: cancelled
  QStringList windowChoices;  // the titles offered by ChooseWindow
  int windowAnswer = -1;
  QStringList startProblems;             // the start dialog's reasons
  QList<QStringList> startRecents;       // the recent data folders it offered
  std::deque<StartChoice> startAnswers;  // kQuit once exhausted
  QStringList browsed;                   // the files shown in the browser
  bool browserOpens = true;              // what OpenInBrowser answers
};

// A scratch start-up directory: a new folder of src/testing's, removed with
// the object. Files are written as the bytes given (Write throws when it
// cannot) and read whole.
class StartupDir {
 public:
  StartupDir();
  ~StartupDir();
  StartupDir(const StartupDir&) = delete;
  StartupDir& operator=(const StartupDir&) = delete;
  QString path() const { return path_; }
  QString file(const QString& name) const { return path_ + QLatin1Char('/') + name; }
  void Write(const QString& name, const QByteArray& bytes) const;
  QByteArray Read(const QString& name) const;
  // config.ini naming the example file names, and small GBK data files.
  void WriteExampleSet() const;
  // The files of examples/ as they are: config.ini and the three data files.
  void CopyExamples() const;

 private:
  std::filesystem::path dir_;
  QString path_;  // dir_ with '/' between its names
};

// One session of the workbench in `dir` (made the current directory), with
// fresh recording dialogs; `started` tells what Start returned. The
// session ends (Finish) when the object goes.
struct WorkbenchSession {
  // `startAnswers` answer the start dialog; `folder` is the one given to
  // Start, as `marvolen DIR` gives it.
  explicit WorkbenchSession(const StartupDir& dir, std::deque<StartChoice> startAnswers = {},
                            const QString& folder = QString());
  ~WorkbenchSession();
  Workbench* app;
  RecordingDialogs* dialogs;
  MainWindow* window = nullptr;
  bool started = false;
};

// Let what was closed go, and the main window's actions catch up.
void Settle(MainWindow* window);
// Close every window in the main window's area, then Settle.
void CloseAllWindows(MainWindow* window);

// GBK bytes of a UTF-8 text.
QByteArray GbkBytes(const char* utf8);

// Run the tests of `Test` in a program whose QApplication is the workbench's
// application object, started with a file name on its command line (which
// start-up must ignore) and recording dialogs.
template <typename Test>
int RunWorkbenchTest(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  char ignored[] = "tags.txt";
  args.push_back(ignored);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  Workbench app(count, args.data(), std::make_unique<RecordingDialogs>());
  // The user's own settings (the recent data folders) stay untouched.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  Test test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace marvolen

#define MARVOLEN_WORKBENCH_TEST_MAIN(Test) \
  int main(int argc, char** argv) { return marvolen::RunWorkbenchTest<Test>(argc, argv); }

#endif  // MARVOLEN_SHELL_TEST_SUPPORT_H_
