// A document of the multiple-document framework.
#include "shell/document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QTextDocument>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "shell/application.h"
#include "shell/command_ids.h"
#include "shell/doc_template.h"
#include "shell/edit_view.h"
#include "shell/mdi_child_frame.h"
#include "shell/mdi_frame_window.h"

namespace marvolen {

namespace {

// Flush what the system holds of the file to the disk; false when that
// fails (a full disk may only show here).
bool SyncToDisk(QFileDevice& file) {
#ifdef Q_OS_UNIX
  const int fd = file.handle();
  return fd < 0 || ::fsync(fd) == 0;
#else
  (void)file;
  return true;
#endif
}

}  // namespace

Document::Document() : text_(new QTextDocument(this)) {
  text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
  connect(text_, &QTextDocument::modificationChanged, this, [this] {
    if (app_ != nullptr && app_->mainWindow() != nullptr) app_->mainWindow()->RequestUpdateUI();
  });
  OnCommand(ID_FILE_CLOSE, [this] { OnFileClose(); });
  OnCommand(ID_FILE_SAVE, [this] { DoFileSave(); });
  OnCommand(ID_FILE_SAVE_AS, [this] { DoSave(QString()); });
}

Document::~Document() = default;

void Document::Attach(Application* app, DocTemplate* docTemplate) {
  app_ = app;
  template_ = docTemplate;
}

void Document::SetTitle(const QString& title) {
  title_ = title;
  UpdateFrameCounts();
  emit titleChanged();
}

void Document::SetPathName(const QString& path, bool addToRecentList) {
  pathName_ = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  SetTitle(QFileInfo(path).fileName());
  if (addToRecentList && app_ != nullptr) app_->AddToRecentFileList(pathName_);
}

bool Document::IsModified() const { return text_->isModified(); }

void Document::SetModifiedFlag(bool modified) { text_->setModified(modified); }

void Document::AddView(EditView* view) {
  views_.push_back(view);
  UpdateFrameCounts();
}

void Document::RemoveView(EditView* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
  if (views_.empty()) {
    OnCloseDocument();
  } else {
    UpdateFrameCounts();
  }
}

bool Document::OnNewDocument() {
  DeleteContents();
  SetModifiedFlag(false);
  return true;
}

void Document::ReportOpenFailure(const QString& path, const QString& reason) {
  if (app_ != nullptr) app_->ShowMessage(QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), reason));
}

bool Document::OnOpenDocument(const QString& path) {
  QFile file(path);
  if (!QFileInfo::exists(path)) {
    ReportOpenFailure(path, QStringLiteral("找不到该文件。\n请确认路径和文件名是否正确。"));
    return false;
  }
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
    ReportOpenFailure(path, QStringLiteral("无法打开该文件：%1").arg(file.errorString()));
    return false;
  }
  DeleteContents();
  Archive ar;
  ar.loading = true;
  ar.file = &file;
  ar.path = path;
  Serialize(ar);
  if (!ar.ok) {
    if (!ar.reported) ReportOpenFailure(path, QStringLiteral("读取该文件时出错。"));
    DeleteContents();
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool Document::OnSaveDocument(const QString& path) {
  // The new content goes to a file beside the old one, which it replaces
  // only once it is complete: a failed save leaves the old file as it was.
  QSaveFile file(path);
  const QString shown = QDir::toNativeSeparators(path);
  if (!file.open(QIODevice::WriteOnly)) {
    app_->ShowMessage(QStringLiteral("无法保存文件 %1。\n%2").arg(shown, file.errorString()));
    return false;
  }
  Archive ar;
  ar.loading = false;
  ar.file = &file;
  ar.path = path;
  Serialize(ar);
  if (!ar.ok) {
    file.cancelWriting();
    if (!ar.reported) app_->ShowMessage(QStringLiteral("无法保存文件 %1。").arg(shown));
    return false;
  }
  // QSaveFile::commit() replaces the file even when the last buffered bytes
  // could not be written (Qt 6.4 ignores a failed flush there), so the new
  // content must be complete and on the disk before it is called.
  if (!file.flush() || !SyncToDisk(file)) {
    const QString reason = file.errorString();
    file.cancelWriting();
    app_->ShowMessage(QStringLiteral("无法保存文件 %1。\n%2").arg(shown, reason));
    return false;
  }
  if (!file.commit()) {
    app_->ShowMessage(QStringLiteral("无法保存文件 %1。\n%2").arg(shown, file.errorString()));
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void Document::OnCloseDocument() {
  if (closing_) return;
  closing_ = true;
  // Close the windows without asking; each view that goes removes itself.
  std::vector<MdiChildFrame*> frames;
  for (EditView* view : views_)
    if (MdiChildFrame* frame = view->GetParentFrame()) frames.push_back(frame);
  for (MdiChildFrame* frame : frames) frame->CloseWithoutPrompt();
  if (template_ != nullptr) template_->RemoveDocument(this);
  deleteLater();
}

bool Document::SaveModified() {
  if (!IsModified()) return true;
  QWidget* parent = app_ != nullptr ? app_->mainWindow() : nullptr;
  const QString name = title_.isEmpty() ? QStringLiteral("无标题") : title_;
  switch (app_->dialogs().AskSaveChanges(parent, QStringLiteral("是否保存对 %1 的更改？").arg(name))) {
    case SaveChoice::kCancel:
      return false;
    case SaveChoice::kDiscard:
      return true;
    case SaveChoice::kSave:
      return DoFileSave();
  }
  return false;
}

bool Document::DoSave(const QString& path) {
  QString newName = path;
  if (newName.isEmpty()) {
    const QString proposed = pathName_.isEmpty() ? title_ : pathName_;
    QWidget* parent = app_ != nullptr ? app_->mainWindow() : nullptr;
    newName = app_->dialogs().GetSaveFileName(parent, proposed);
    if (newName.isEmpty()) return false;
  }
  if (!OnSaveDocument(newName)) return false;
  if (path.isEmpty() || QFileInfo(newName).absoluteFilePath() != QFileInfo(pathName_).absoluteFilePath())
    SetPathName(newName);
  return true;
}

bool Document::DoFileSave() {
  if (pathName_.isEmpty()) return DoSave(QString());
  const QFileInfo info(pathName_);
  // A file that can no longer be written is saved under a new name.
  if (info.exists() && !info.isWritable()) return DoSave(QString());
  return DoSave(pathName_);
}

void Document::UpdateFrameCounts() {
  const int count = static_cast<int>(views_.size());
  for (int i = 0; i < count; ++i) {
    MdiChildFrame* frame = views_[i]->GetParentFrame();
    if (frame == nullptr) continue;
    frame->SetFrameTitle(count == 1 ? title_ : QStringLiteral("%1:%2").arg(title_).arg(i + 1));
  }
  if (app_ != nullptr && app_->mainWindow() != nullptr) app_->mainWindow()->UpdateFrameTitle();
}

void Document::Serialize(Archive& ar) { (void)ar; }

void Document::DeleteContents() {
  text_->clear();
  text_->clearUndoRedoStacks();
}

void Document::OnFileClose() {
  if (!SaveModified()) return;
  OnCloseDocument();
}

}  // namespace marvolen
