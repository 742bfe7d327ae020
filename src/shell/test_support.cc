// Helpers for the workbench's tests.
#include "shell/test_support.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QThread>

#include "encoding/gbk.h"
#include "shell/main_window.h"
#include "testing/files.h"
#include "testing/temp_dir.h"

namespace marvolen {

namespace {

// The next of `answers`, or `otherwise` once there are none.
template <typename T>
T Next(std::deque<T>& answers, T otherwise) {
  if (answers.empty()) return otherwise;
  const T answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

void RecordingDialogs::ShowMessage(QWidget*, const QString& text, MessageIcon icon) {
  QWidget* modal = QApplication::activeModalWidget();
  messages.push_back(
      {text, icon, QThread::currentThread() == qApp->thread(),
       modal != nullptr ? QString::fromLatin1(modal->metaObject()->className()) : QString()});
}

SaveChoice RecordingDialogs::AskSaveChanges(QWidget*, const QString& text) {
  saveQuestions.append(text);
  return Next(saveAnswers, SaveChoice::kCancel);
}

bool RecordingDialogs::AskYesNo(QWidget*, const QString& text) {
  yesNoQuestions.append(text);
  return Next(yesNoAnswers, false);
}

QDialog* RecordingDialogs::AskYesNoLater(QWidget* parent, const QString& text,
                                         std::function<void(bool)> answered) {
  yesNoQuestions.append(text);
  if (holdQuestions) return DialogProvider::AskYesNoLater(parent, text, std::move(answered));
  answered(Next(yesNoAnswers, false));
  return nullptr;
}

bool RecordingDialogs::AskOverwrite(QWidget*, const QString& text) {
  overwriteQuestions.append(text);
  return Next(overwriteAnswers, false);
}

RunChoice RecordingDialogs::AskSaveBeforeRun(QWidget*, const QString& text) {
  runQuestions.append(text);
  return Next(runAnswers, RunChoice::kCancel);
}

int RecordingDialogs::AskLineNumber(QWidget*, int current, int last) {
  lineQuestions.append(QStringLiteral("%1/%2").arg(current).arg(last));
  return Next(lineAnswers, 0);
}

QString RecordingDialogs::GetOpenFileName(QWidget*) {
  return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString RecordingDialogs::GetSaveFileName(QWidget*, const QString& proposed) {
  proposedNames.append(proposed);
  return saveAsAnswers.isEmpty() ? QString() : saveAsAnswers.takeFirst();
}

int RecordingDialogs::RunModal(QDialog* dialog) {
  modalDialogs.append(dialog->windowTitle());
  for (QLabel* label : dialog->findChildren<QLabel*>())
    if (!label->text().isEmpty()) modalTexts.append(label->text());
  for (QPushButton* button : dialog->findChildren<QPushButton*>())
    modalTexts.append(button->text());
  auto* print = qobject_cast<QPrintDialog*>(dialog);
  if (print == nullptr || printToPdf.isEmpty()) return QDialog::Rejected;
  print->printer()->setOutputFormat(QPrinter::PdfFormat);
  print->printer()->setOutputFileName(printToPdf);
  return QDialog::Accepted;
}

bool RecordingDialogs::OpenInBrowser(const QString& path) {
  browsed.append(path);
  return browserOpens;
}

StartChoice RecordingDialogs::AskStart(const QString& problem, const QStringList& recentFolders) {
  startProblems.append(problem);
  startRecents.append(recentFolders);
  if (startAnswers.empty()) return {};
  const StartChoice answer = startAnswers.front();
  startAnswers.pop_front();
  return answer;
}

int RecordingDialogs::ChooseWindow(QWidget*, const QStringList& titles, int) {
  windowChoices = titles;
  return windowAnswer;
}

QStringList RecordingDialogs::texts() const {
  QStringList list;
  for (const Message& m : messages) list.append(m.text);
  return list;
}

namespace {

namespace fs = std::filesystem;

fs::path PathOf(const QString& path) { return fs::path(path.toStdU16String()); }

}  // namespace

StartupDir::StartupDir() {
  std::error_code ec;
  const fs::path made = MakeTempDirForTest("marvolen_shell_test_");
  dir_ = made.empty() ? made : fs::canonical(made, ec);
  if (ec) dir_ = made;
  path_ = QDir::fromNativeSeparators(QString::fromStdU16String(dir_.u16string()));
}

StartupDir::~StartupDir() {
  std::error_code ec;
  if (!dir_.empty()) fs::remove_all(dir_, ec);
}

void StartupDir::Write(const QString& name, const QByteArray& bytes) const {
  WriteFile(PathOf(file(name)), std::string_view(bytes.constData(), size_t(bytes.size())));
}

QByteArray StartupDir::Read(const QString& name) const {
  return QByteArray::fromStdString(ReadFile(PathOf(file(name))));
}

QByteArray GbkBytes(const char* utf8) { return QByteArray::fromStdString(Gbk(utf8)); }

void StartupDir::CopyExamples() const {
  marvolen::CopyExamples(dir_, {"config.ini", "tags.txt", "rules.txt", "sequences.txt"});
}

void StartupDir::WriteExampleSet() const {
  Write(
      QStringLiteral("config.ini"),
      GbkBytes("; 配置\r\n[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n"
               "RESULT=report.txt\r\nITEMLENGTH=\r\n"));
  Write(QStringLiteral("tags.txt"), GbkBytes("TagSetBegin\r\nn , v , a\r\nTagSetEnd\r\n"));
  Write(QStringLiteral("rules.txt"),
        GbkBytes("CFGRuleSetBegin\r\n&& [ R01 ] NP -> a n :: <TREE> = 定中\r\n"
                 "&& [ R02 ] VP -> v n :: <TREE> = 述宾\r\nCFGRuleSetEnd\r\n"));
  Write(QStringLiteral("sequences.txt"), GbkBytes("a n\r\nv a n\r\n"));
}

void Settle(MainWindow* window) {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  window->UpdateActions();
}

void CloseAllWindows(MainWindow* window) {
  window->findChild<QMdiArea*>("documentArea")->closeAllSubWindows();
  Settle(window);
}

WorkbenchSession::WorkbenchSession(const StartupDir& dir, std::deque<StartChoice> startAnswers,
                                   const QString& folder)
    : app(static_cast<Workbench*>(QCoreApplication::instance())),
      dialogs(static_cast<RecordingDialogs*>(&app->dialogs())) {
  *dialogs = RecordingDialogs();
  dialogs->startAnswers = std::move(startAnswers);
  QDir::setCurrent(dir.path());
  started = app->Start(folder);
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* main = qobject_cast<MainWindow*>(widget)) window = main;
}

WorkbenchSession::~WorkbenchSession() {
  app->Finish();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QDir::setCurrent(QDir::tempPath());
}

}  // namespace marvolen
