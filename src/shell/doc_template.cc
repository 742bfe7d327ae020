// The multiple-document template.
#include "shell/doc_template.h"

#include <QFileInfo>
#include <QMdiArea>
#include <algorithm>

#include "shell/application.h"
#include "shell/document.h"
#include "shell/edit_view.h"
#include "shell/mdi_child_frame.h"
#include "shell/mdi_frame_window.h"
#include "shell/resources.h"

namespace marvolen {

DocTemplate::DocTemplate(Application* app, int resourceId, std::function<Document*()> newDocument,
                         std::function<MdiChildFrame*()> newFrame,
                         std::function<EditView*()> newView)
    : app_(app),
      resourceId_(resourceId),
      newDocument_(std::move(newDocument)),
      newFrame_(std::move(newFrame)),
      newView_(std::move(newView)) {}

DocTemplate::~DocTemplate() {
  for (const QPointer<Document>& doc : documents_) delete doc.data();
}

QString DocTemplate::GetDocString(DocStringIndex index) const {
  return LoadString(resourceId_).section(QLatin1Char('\n'), index, index);
}

Document* DocTemplate::OpenDocumentFile(const QString& path) {
  if (!path.isEmpty()) {
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (Document* doc : documents()) {
      if (doc->GetPathName().isEmpty() || QFileInfo(doc->GetPathName()).absoluteFilePath() != wanted)
        continue;
      if (EditView* view = doc->FirstView())
        if (MdiChildFrame* frame = view->GetParentFrame()) app_->mainWindow()->mdiArea()->setActiveSubWindow(frame);
      return doc;
    }
  }

  Document* doc = newDocument_();
  doc->Attach(app_, this);
  documents_.push_back(doc);
  MdiChildFrame* frame = CreateNewFrame(doc);
  if (frame == nullptr) {
    RemoveDocument(doc);
    delete doc;
    return nullptr;
  }
  const bool ok = path.isEmpty() ? doc->OnNewDocument() : doc->OnOpenDocument(path);
  if (!ok) {
    // Deleting the window deletes the view, which closes the document.
    delete frame;
    return nullptr;
  }
  if (path.isEmpty()) {
    doc->SetTitle(GetDocString(docName) + QString::number(++untitledCount_));
  } else {
    doc->SetPathName(path);
  }
  InitialUpdateFrame(frame);
  return doc;
}

MdiChildFrame* DocTemplate::CreateNewFrame(Document* doc) {
  MdiChildFrame* frame = newFrame_();
  EditView* view = newView_();
  frame->SetView(view);
  if (!view->Create(doc)) {
    delete frame;
    return nullptr;
  }
  app_->mainWindow()->AddChildFrame(frame);
  doc->UpdateFrameCounts();
  return frame;
}

void DocTemplate::InitialUpdateFrame(MdiChildFrame* frame) {
  frame->show();
  app_->mainWindow()->mdiArea()->setActiveSubWindow(frame);
  if (EditView* view = frame->GetActiveView()) view->setFocus();
  app_->mainWindow()->RequestUpdateUI();
}

std::vector<Document*> DocTemplate::documents() const {
  std::vector<Document*> docs;
  for (const QPointer<Document>& doc : documents_)
    if (doc != nullptr) docs.push_back(doc);
  return docs;
}

void DocTemplate::RemoveDocument(Document* doc) {
  documents_.erase(std::remove_if(documents_.begin(), documents_.end(),
                                  [doc](const QPointer<Document>& d) { return d == doc || d.isNull(); }),
                   documents_.end());
}

}  // namespace marvolen
