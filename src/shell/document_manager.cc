// The workbench's documents and their windows.
#include "shell/document_manager.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "shell/dialogs.h"
#include "shell/document.h"
#include "shell/document_editor.h"
#include "shell/document_window.h"
#include "shell/recent_file_list.h"

namespace marvolen {

DocumentManager::DocumentManager(QMdiArea* area, DialogProvider& dialogs,
                                 RecentFileList& recentFiles, QWidget* window)
    : QObject(window), area_(area), dialogs_(dialogs), recentFiles_(recentFiles), window_(window) {}

DocumentManager::~DocumentManager() {
  // The windows go before the documents they show.
  for (DocumentWindow* window : std::exchange(made_, {})) {
    window->disconnect(this);
    delete window;
  }
}

QList<DocumentWindow*> DocumentManager::windows() const {
  QList<DocumentWindow*> windows;
  for (QMdiSubWindow* window : area_->subWindowList(QMdiArea::CreationOrder))
    if (auto* documentWindow = qobject_cast<DocumentWindow*>(window))
      windows.append(documentWindow);
  return windows;
}

DocumentWindow* DocumentManager::activeWindow() const {
  return qobject_cast<DocumentWindow*>(area_->currentSubWindow());
}

void DocumentManager::NewDocument() {
  AddWindow(new Document(QStringLiteral("Marvo%1").arg(++untitledCount_), this));
}

bool DocumentManager::OpenFile(const QString& path) {
  const QString wanted =
      QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
  for (DocumentWindow* window : windows()) {
    if (window->document()->path() != wanted) continue;
    area_->setActiveSubWindow(window);
    return true;
  }
  auto document = std::make_unique<Document>(QString(), this);
  QString error;
  if (!document->Load(path, &error)) {
    dialogs_.ShowMessage(window_, error, MessageIcon::kWarning);
    return false;
  }
  recentFiles_.Add(document->path());
  AddWindow(document.release());
  return true;
}

void DocumentManager::NewWindow(Document* document) { AddWindow(document); }

void DocumentManager::AddWindow(Document* document) {
  auto* window = new DocumentWindow(document);
  made_.append(window);
  window->installEventFilter(this);
  connect(document, &Document::changed, this, &DocumentManager::changed, Qt::UniqueConnection);
  connect(window, &QObject::destroyed, this,
          [this, window, document] { WindowGone(window, document); });
  emit windowMade(window);
}

void DocumentManager::WindowGone(DocumentWindow* window, Document* document) {
  made_.removeOne(window);
  const bool shown = std::any_of(made_.begin(), made_.end(), [document](DocumentWindow* w) {
    return w->document() == document;
  });
  // Deleted once the editors that showed it have gone too.
  if (!shown) document->deleteLater();
}

bool DocumentManager::Save(Document* document, bool askName) {
  QString path = document->path();
  // A file that can no longer be written is saved under a new name.
  if (path.isEmpty() || (QFileInfo::exists(path) && !QFileInfo(path).isWritable())) askName = true;
  if (askName) path = ChooseSaveName(dialogs_, window_, path.isEmpty() ? document->title() : path);
  const QString before = document->path();
  QString error;
  if (path.isEmpty()) return false;
  // Another program's change is overwritten only when the person says so.
  if (path == before && document->OverwritesChange() &&
      !dialogs_.AskOverwrite(window_, tr("%1 在读入后已被其他程序修改。\n"
                                         "保存将覆盖其他程序所做的更改。")
                                          .arg(path)))
    return false;
  if (!document->Save(path, &error)) dialogs_.ShowMessage(window_, error, MessageIcon::kWarning);
  if (document->path() != before) recentFiles_.Add(document->path());
  emit changed();
  return error.isEmpty();
}

bool DocumentManager::MaybeSave(Document* document) {
  if (!document->text()->isModified()) return true;
  const SaveChoice choice =
      dialogs_.AskSaveChanges(window_, tr("是否保存对 %1 的更改？").arg(document->title()));
  return choice == SaveChoice::kDiscard || (choice == SaveChoice::kSave && Save(document, false));
}

void DocumentManager::CloseActiveDocument() {
  DocumentWindow* active = activeWindow();
  if (active == nullptr) return;
  Document* document = active->document();
  if (!MaybeSave(document)) return;
  // Saved or given up: its windows close without asking again.
  document->text()->setModified(false);
  for (DocumentWindow* window : windows())
    if (window->document() == document) window->close();
}

bool DocumentManager::MaybeSaveAll() {
  // Ask about each modified document once (several windows may show it).
  std::vector<Document*> asked;
  for (DocumentWindow* window : windows()) {
    Document* document = window->document();
    if (std::find(asked.begin(), asked.end(), document) != asked.end()) continue;
    asked.push_back(document);
    if (!MaybeSave(document)) return false;
  }
  // Every question was answered: what was given up is not asked about again.
  for (Document* document : asked) document->text()->setModified(false);
  return true;
}

bool DocumentManager::SaveBeforeRun(const QStringList& paths) {
  QList<Document*> unsaved;
  for (const QString& path : paths) {
    for (DocumentWindow* window : windows()) {
      Document* document = window->document();
      const bool same = document->path() == path ||
                        (!path.isEmpty() && !document->path().isEmpty() &&
                         SameExistingFile(document->path().toStdString(), path.toStdString()));
      if (same && document->text()->isModified() && !unsaved.contains(document))
        unsaved.append(document);
    }
  }
  if (unsaved.isEmpty()) return true;
  QStringList names;
  for (Document* document : unsaved) names.append(document->title());
  const RunChoice choice = dialogs_.AskSaveBeforeRun(
      window_, tr("以下数据文件有未保存的更改：%1\n\n分析读取磁盘上的文件。要先保存它们吗？")
                   .arg(names.join(tr("、"))));
  if (choice != RunChoice::kSaveAndRun) return choice == RunChoice::kRunAsSaved;
  for (Document* document : unsaved)
    if (!Save(document, false)) return false;  // the save said why
  return true;
}

void DocumentManager::CheckFilesOnDisk() {
  QList<Document*> documents;
  for (DocumentWindow* window : windows())
    if (!documents.contains(window->document())) documents.append(window->document());
  for (Document* document : documents) {
    if (document->NoticeGone())
      dialogs_.ShowMessage(
          window_, tr("%1\n已从磁盘删除或移走。保存将重新建立该文件。").arg(document->path()),
          MessageIcon::kWarning);
    if (!document->ChangedOnDisk()) continue;
    document->AcceptDiskState();  // asked once for each change
    if (document->text()->isModified() &&
        !dialogs_.AskYesNo(window_, tr("%1 已被其他程序修改。\n要重新载入它吗？"
                                       "（未保存的更改将丢失）")
                                        .arg(document->path())))
      continue;
    // Each window keeps its cursor's line.
    std::vector<std::pair<DocumentEditor*, int>> lines;
    for (DocumentWindow* window : windows())
      if (window->document() == document)
        lines.push_back({window->editor(), window->editor()->textCursor().blockNumber() + 1});
    QString error;
    if (!document->Load(document->path(), &error)) {
      dialogs_.ShowMessage(window_, error, MessageIcon::kWarning);
      continue;
    }
    for (const auto& [editor, line] : lines) editor->GoToLine(line);
  }
}

bool DocumentManager::eventFilter(QObject* watched, QEvent* event) {
  auto* window = qobject_cast<DocumentWindow*>(watched);
  if (window != nullptr && event->type() == QEvent::Close) {
    // Only the last window of a document asks to save it; none closes while
    // an analysis runs.
    const QList<DocumentWindow*> open = windows();
    const auto shown = std::count_if(open.begin(), open.end(), [window](DocumentWindow* w) {
      return w->document() == window->document();
    });
    if (closingBlocked_ || (shown == 1 && !MaybeSave(window->document()))) {
      event->ignore();
      return true;
    }
    QTimer::singleShot(0, this, &DocumentManager::changed);  // renumbered once it has gone
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace marvolen
