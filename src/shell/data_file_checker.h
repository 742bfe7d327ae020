// The faults of the data files marked in their editors as one types: the
// tag set, rules and sequences files that config.ini names are checked a
// moment after the last change of one of them (no analysis: the readers'
// messages and the checks of the files against each other), each file as
// its open document holds it, unsaved edits included, or else as it is on
// disk. Each window of a data file then marks the lines of its faults and
// lists them under its editor; the windows of other documents are left
// unmarked.
#ifndef MARVOLEN_SHELL_DATA_FILE_CHECKER_H_
#define MARVOLEN_SHELL_DATA_FILE_CHECKER_H_

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <string>

namespace marvolen {

class Document;
class DocumentManager;
class DocumentWindow;

class DataFileChecker : public QObject {
  Q_OBJECT

 public:
  // How long after the last change the files are checked (ms).
  static constexpr int kDelay = 30;

  // The data files of config.ini in `startupDir`, among the documents of
  // `documents`.
  DataFileChecker(std::string startupDir, DocumentManager* documents, QObject* parent);

  // Watch the text of the window's document; the windows are checked soon.
  void Watch(DocumentWindow* window);
  // Check the files and mark the windows now.
  void Check();
  // Whether a check is to come.
  bool pending() const { return delay_.isActive(); }
  // The files were checked and the windows marked.
  Q_SIGNAL void checked();

 private:
  // Check soon, after the delay (again from the start if one is pending).
  void Schedule();
  bool IsDataFile(const Document* document) const;
  // The three files config.ini names (tags, rules, sequences), absolute.
  QStringList DataFiles() const;

  std::string startupDir_;
  DocumentManager* documents_;
  QTimer delay_;
  QStringList dataFiles_;  // as last read from config.ini
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DATA_FILE_CHECKER_H_
