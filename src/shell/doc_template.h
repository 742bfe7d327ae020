// The multiple-document template: binds a resource id (menu, icon and
// document string) to the classes of a document, its window and its view,
// and opens and creates documents.
#ifndef MARVOLEN_SHELL_DOC_TEMPLATE_H_
#define MARVOLEN_SHELL_DOC_TEMPLATE_H_

#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "shell/document.h"

namespace marvolen {

class Application;
class Document;
class EditView;
class MdiChildFrame;

class DocTemplate {
 public:
  // The fields of the document string, in order.
  enum DocStringIndex {
    windowTitle,
    docName,
    fileNewName,
    filterName,
    filterExt,
    regFileTypeId,
    regFileTypeName,
  };

  DocTemplate(Application* app, int resourceId, std::function<Document*()> newDocument,
              std::function<MdiChildFrame*()> newFrame, std::function<EditView*()> newView);
  ~DocTemplate();
  DocTemplate(const DocTemplate&) = delete;
  DocTemplate& operator=(const DocTemplate&) = delete;

  int resourceId() const { return resourceId_; }
  QString GetDocString(DocStringIndex index) const;

  // Open the file at `path` in a new window, or activate the window of the
  // document when the file is open already; with an empty path create a new
  // document ("Marvo1", "Marvo2", ...). Null when that fails (the person has
  // been told why).
  Document* OpenDocumentFile(const QString& path);

  // A new window with a new view on `doc` (not shown yet); null on failure.
  MdiChildFrame* CreateNewFrame(Document* doc);
  // Show a new window and make it active.
  void InitialUpdateFrame(MdiChildFrame* frame);

  std::vector<Document*> documents() const;
  void RemoveDocument(Document* doc);

 private:
  Application* app_;
  int resourceId_;
  std::function<Document*()> newDocument_;
  std::function<MdiChildFrame*()> newFrame_;
  std::function<EditView*()> newView_;
  std::vector<QPointer<Document>> documents_;
  int untitledCount_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DOC_TEMPLATE_H_
