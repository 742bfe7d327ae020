// The report window: the report named by RESULT, read only, whatever its
// size (ReportView), beside an outline of its sections to jump to, and over
// the list of the messages of the run that made it, each with the file and
// line it comes from when the run knows them (a double-click goes there).
// After each run the workbench opens it, or reloads it when it is open.
#ifndef MARVOLEN_SHELL_REPORT_WINDOW_H_
#define MARVOLEN_SHELL_REPORT_WINDOW_H_

#include <QMdiSubWindow>
#include <memory>
#include <semaphore>
#include <thread>
#include <vector>

#include "shell/file_io.h"
#include "shell/report_outline.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace marvolen {

class ChangesView;
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
  // The report is read in pieces of `pieceBytes`.
  explicit ReportWindow(std::size_t pieceBytes = std::size_t{8} << 20);
  ~ReportWindow() override;

  // Show the report at `path`. When it is the file shown already, the
  // cursor keeps its line. False, with `error` (a message for the person)
  // set, when it cannot be opened; the window then shows what it showed.
  // Its first piece shows at once; the rest is read in the background
  // (loading() meanwhile): the text, its scroll range and the outline
  // grow, statusNote tells how far the reading has come, and loaded()
  // tells its end (readFailed first when a read failed on the way).
  bool Load(const QString& path, QString* error);
  bool loading() const;
  const QString& path() const { return path_; }
  ReportView* view() const { return view_; }
  // What changed since the previous analysis (hidden until shown).
  ChangesView* changes() const { return changes_; }
  // The outline's entries: "title|line", indented by two blanks per level,
  // and "|count" after those that count patterns.
  QStringList outlineEntries() const;
  void JumpTo(int outlineEntry);

  // List `messages` under the report (hidden when there are none).
  void SetMessages(const std::vector<RunMessage>& messages);

  // True when the file was changed on the disk since it was loaded.
  bool ChangedOnDisk() const;

  // A message whose file is known was chosen (double-clicked).
  Q_SIGNAL void placeChosen(const QString& file, int line);
  // A note for the status bar, shown for `timeoutMs` (0: until the next).
  Q_SIGNAL void statusNote(const QString& text, int timeoutMs);
  Q_SIGNAL void loaded();
  Q_SIGNAL void readFailed(const QString& error);

 private:
  static constexpr int kPiecesInFlight = 4;
  struct Piece;
  struct Reader;

  void StopReading();
  void Receive(quint64 generation, Piece& piece);
  void ReportProgress(qint64 read);
  // Show the outline's `entries` from entry `from` on.
  void ShowOutline(const std::vector<OutlineEntry>& entries, std::size_t from);
  void FitOutline();

  ReportView* view_;
  ChangesView* changes_;
  QTreeWidget* outline_;
  QTreeWidget* messages_;
  std::vector<QTreeWidgetItem*> outlineItems_;  // in the outline's order
  QString path_;
  DiskStamp stamp_;
  std::size_t pieceBytes_;
  bool newPath_ = false;    // the report being read is not the one shown before
  quint64 generation_ = 0;  // of the reading under way
  std::unique_ptr<Reader> reader_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_REPORT_WINDOW_H_
