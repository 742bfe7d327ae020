// The Marvolen text view: a plain-text editor on its document's shared text.
// Lines wrap at the window edge; there is no horizontal scroll bar.
#ifndef MARVOLEN_SHELL_MARVOLEN_VIEW_H_
#define MARVOLEN_SHELL_MARVOLEN_VIEW_H_

#include <QPlainTextEdit>
#include <QPointer>

namespace marvolen {

class CMarvolenDoc;

class CMarvolenView : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CMarvolenView(CMarvolenDoc* document, QWidget* parent = nullptr);
  ~CMarvolenView() override;

  CMarvolenDoc* GetDocument() const;

 private:
  // The view's window style: no horizontal scroll bar and no horizontal
  // scrolling, so that long lines wrap at the window edge.
  void PreCreateWindow();

  QPointer<CMarvolenDoc> document_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_VIEW_H_
