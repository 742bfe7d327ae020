// A document of the multiple-document framework: a title, a path, the text
// its views show, and the commands that save and close it.
//
// The text is one QTextDocument shared by every view of the document, so a
// second window on the document ("新建窗口") edits the same text, with one
// modified flag and one undo history. Loading and saving go through
// Serialize, which the concrete document implements.
#ifndef MARVOLEN_SHELL_DOCUMENT_H_
#define MARVOLEN_SHELL_DOCUMENT_H_

#include <QObject>
#include <QString>
#include <vector>

#include "platform/gbk_text.h"
#include "shell/command_target.h"

class QIODevice;
class QTextDocument;

namespace marvolen {

class Application;
class DocTemplate;
class EditView;
class MdiChildFrame;

// A file being loaded or stored. A serializer that fails sets `ok` to false;
// when it has told the person why, it also sets `reported`.
struct Archive {
  bool loading = true;
  QIODevice* file = nullptr;
  QString path;
  bool ok = true;
  bool reported = false;
};

class Document : public QObject, public CommandTarget {
  Q_OBJECT

 public:
  Document();
  ~Document() override;

  // Set by the document template that creates the document.
  void Attach(Application* app, DocTemplate* docTemplate);
  Application* app() const { return app_; }
  DocTemplate* docTemplate() const { return template_; }

  const QString& GetTitle() const { return title_; }
  void SetTitle(const QString& title);
  const QString& GetPathName() const { return pathName_; }
  // Set the path (the title becomes the file name) and, when asked, put the
  // file on the recent-file list.
  void SetPathName(const QString& path, bool addToRecentList = true);

  QTextDocument* text() const { return text_; }
  LineEnding lineEnding() const { return lineEnding_; }
  void SetLineEnding(LineEnding ending) { lineEnding_ = ending; }

  bool IsModified() const;
  void SetModifiedFlag(bool modified);

  const std::vector<EditView*>& views() const { return views_; }
  EditView* FirstView() const { return views_.empty() ? nullptr : views_.front(); }
  void AddView(EditView* view);
  // When the last view goes, the document closes.
  void RemoveView(EditView* view);

  virtual bool OnNewDocument();
  virtual bool OnOpenDocument(const QString& path);
  virtual bool OnSaveDocument(const QString& path);
  // Close every window of the document (without asking) and delete it.
  virtual void OnCloseDocument();

  // Ask to save a modified document; false when the person cancels or the
  // save fails.
  bool SaveModified();
  // Save under `path`, or ask for a name when `path` is empty.
  bool DoSave(const QString& path);
  bool DoFileSave();

  // Number the window titles ("name:1", "name:2") when there are several.
  void UpdateFrameCounts();

 signals:
  void titleChanged();

 protected:
  // Load (ar.loading) or store the document's content.
  virtual void Serialize(Archive& ar);
  // Empty the content before loading.
  virtual void DeleteContents();

 private:
  void OnFileClose();
  void ReportOpenFailure(const QString& path, const QString& reason);

  Application* app_ = nullptr;
  DocTemplate* template_ = nullptr;
  QString title_;
  QString pathName_;
  QTextDocument* text_;
  LineEnding lineEnding_ = LineEnding::kCrLf;
  std::vector<EditView*> views_;
  bool closing_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_DOCUMENT_H_
