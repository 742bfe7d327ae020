// The workbench's documents and their windows: new and opened documents,
// saving (asking before a save overwrites another program's change),
// asking before a document with unsaved edits closes, and reloading what
// another program changed on the disk. The manager owns every document; a
// document lives while a window shows it. Each window it makes is handed
// to the main window through windowMade.
#ifndef MARVOLEN_SHELL_DOCUMENT_MANAGER_H_
#define MARVOLEN_SHELL_DOCUMENT_MANAGER_H_

#include <QList>
#include <QObject>

class QMdiArea;
class QWidget;

namespace marvolen {

class DialogProvider;
class Document;
class DocumentWindow;
class RecentFileList;

class DocumentManager : public QObject {
  Q_OBJECT

 public:
  // The documents of the windows in `area`; the person is asked and told
  // through `dialogs`, over `window`; opened and saved files go on
  // `recentFiles`.
  DocumentManager(QMdiArea* area, DialogProvider& dialogs, RecentFileList& recentFiles,
                  QWidget* window);

  ~DocumentManager() override;

  // The open document windows, in the order they were made.
  QList<DocumentWindow*> windows() const;
  DocumentWindow* activeWindow() const;

  // A new, empty document ("Marvo1", "Marvo2"...) in a new window.
  void NewDocument();
  // Open the file at `path` in a new window, or activate its window when it
  // is open already. False when it cannot be opened (after a message).
  bool OpenFile(const QString& path);
  // Another window on `document`.
  void NewWindow(Document* document);
  // Save `document` (under a name asked for when `askName`, or when it has
  // none or its file may not be written); false when it was not saved.
  bool Save(Document* document, bool askName);
  // Ask whether to save a modified document: true when it was saved or its
  // changes may go, false when the person cancels or the save fails.
  bool MaybeSave(Document* document);
  // Close every window of the active document, after asking about its edits.
  void CloseActiveDocument();
  // Ask about each modified document once before the program quits; true
  // when all may close (their edits saved or given up).
  bool MaybeSaveAll();
  // Ask whether to save the documents of `paths` (the data files) that have
  // unsaved edits before an analysis reads them from the disk: false when
  // the analysis should not run.
  bool SaveBeforeRun(const QStringList& paths);
  // Reload the documents another program changed on the disk (asking first
  // for those with unsaved edits), and tell of those gone from it.
  void CheckFilesOnDisk();
  // While set, no document window closes (an analysis runs).
  void SetClosingBlocked(bool blocked) { closingBlocked_ = blocked; }

  // A document window was made; it is to be shown.
  Q_SIGNAL void windowMade(DocumentWindow* window);
  // A document's name, a window or the recent-file list changed.
  Q_SIGNAL void changed();

 protected:
  // Watches the windows' Close events: only the last window of a document
  // asks to save it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddWindow(Document* document);
  // A window has gone; its document goes with its last window.
  void WindowGone(DocumentWindow* window, Document* document);

  QMdiArea* area_;
  DialogProvider& dialogs_;
  RecentFileList& recentFiles_;
  QWidget* window_;
  QList<DocumentWindow*> made_;  // every window not yet deleted
  int untitledCount_ = 0;
  bool closingBlocked_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DOCUMENT_MANAGER_H_
