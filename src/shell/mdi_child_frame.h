// A document window of the multiple-document framework: the frame inside
// the main window's MDI area that holds one view of a document.
//
// Closing the last window of a modified document asks whether to save it;
// closing any window of a document whose other windows stay open does not.
#ifndef MARVOLEN_SHELL_MDI_CHILD_FRAME_H_
#define MARVOLEN_SHELL_MDI_CHILD_FRAME_H_

#include <QMdiSubWindow>
#include <QPointer>

#include "shell/command_target.h"
#include "shell/edit_view.h"

namespace marvolen {

class Document;
class EditView;

class MdiChildFrame : public QMdiSubWindow, public CommandTarget {
  Q_OBJECT

 public:
  MdiChildFrame();
  ~MdiChildFrame() override;

  // Put `view` into the frame.
  void SetView(EditView* view);
  EditView* GetActiveView() const { return view_; }
  Document* GetActiveDocument() const;

  // The window title; the main window adds the active one to its own.
  void SetFrameTitle(const QString& title);

  // Close without asking to save (the document is being closed).
  void CloseWithoutPrompt();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPointer<EditView> view_;
  bool forceClose_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MDI_CHILD_FRAME_H_
