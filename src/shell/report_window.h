// The report window: the report named by RESULT, read only, whatever its
// size (ReportView), beside an outline of its sections to jump to, and over
// the list of the messages of the run that made it, each with the file and
// line it comes from when the run knows them (a double-click goes there).
// After each run the workbench opens it, or reloads it when it is open.
#ifndef MARVOLEN_SHELL_REPORT_WINDOW_H_
#define MARVOLEN_SHELL_REPORT_WINDOW_H_

#include <QMdiSubWindow>
#include <vector>

#include "shell/file_io.h"

class QTreeWidget;

namespace marvolen {

class ReportView;

// One message of a run: its text and, when known, the data file it is about
// (an absolute path) and the line (0 when not known).
struct RunMessage {
  QString text;
  QString file;
  int line = 0;
};

class ReportWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  ReportWindow();

  // Show the report at `path`. When it is the file shown already, the
  // cursor keeps its line. False, with `error` (a message for the person)
  // set, when it cannot be read; the window then shows what it showed.
  bool Load(const QString& path, QString* error);
  const QString& path() const { return path_; }
  ReportView* view() const { return view_; }
  // The outline's entries: "title|line", indented by two blanks per level,
  // and "|count" after those that count patterns.
  QStringList outlineEntries() const;
  void JumpTo(int outlineEntry);

  // List `messages` under the report (hidden when there are none).
  void SetMessages(const std::vector<RunMessage>& messages);
  QTreeWidget* messageList() const { return messages_; }

  // True when the file was changed on the disk since it was loaded.
  bool ChangedOnDisk() const;

  // A message whose file is known was chosen (double-clicked).
  Q_SIGNAL void placeChosen(const QString& file, int line);

 private:
  ReportView* view_;
  QTreeWidget* outline_;
  QTreeWidget* messages_;
  QString path_;
  DiskStamp stamp_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_REPORT_WINDOW_H_
