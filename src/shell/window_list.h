// The windows of the MDI area as the person sees them: their titles, where
// a new one goes, the minimized ones lined up, and the list of open windows
// at the end of the 窗口 menu.
#ifndef MARVOLEN_SHELL_WINDOW_LIST_H_
#define MARVOLEN_SHELL_WINDOW_LIST_H_

#include <QList>
#include <QObject>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSize;
class QWidget;

namespace marvolen {

class DialogProvider;
class Document;
class DocumentWindow;

// The title `widget` shows: its window title with the "[*]" placeholder as
// "*" while it is modified, and gone while it is not.
QString ShownTitle(const QWidget* widget);

// The title of a window on `document`, `number` after the name when it is
// not 0: "[*]" stands for the mark of unsaved edits, and "（已从磁盘删除）"
// follows while the file is gone from the disk. A "[*]" in the name shows
// as it is.
QString DocumentTitle(const Document& document, int number = 0);
// `name`, whatever it holds, as a window title shows it.
QString TitleText(QString name);

// Title the document windows `windows`: several windows on one document are
// numbered, "name:1", "name:2"; a document with unsaved edits is marked,
// "name*", one whose file is gone from the disk too.
void TitleDocumentWindows(const QList<DocumentWindow*>& windows);

// Title `main` after the active window `active` of its area (null: none):
// "Marvolen - " and the active document's name with its marks, or the
// active window's title; while `active` is maximized the MDI area adds the
// window's title in brackets instead.
void TitleMainWindow(QWidget* main, const QMdiSubWindow* active);

// Give `window`, just added to `area`, its place: it fills the area (`size`
// while the area is not shown) but for room to cascade three more below and
// to the right of it, each new one further on, starting again at the top
// left when it would leave the area.
void PlaceNewWindow(QMdiArea* area, QMdiSubWindow* window, QSize size);

// Line up the minimized windows side by side along the bottom of `area`.
void ArrangeIcons(QMdiArea* area);

// The open windows listed at the end of `menu`, numbered: nine at most, the
// active one always among them, then "更多窗口(&M)..." asking through
// `dialogs` for any of them.
class WindowList : public QObject {
  Q_OBJECT

 public:
  WindowList(QMenu* menu, QMdiArea* area, DialogProvider& dialogs);

 private:
  void Update();
  void ChooseWindow();

  QMenu* menu_;
  QMdiArea* area_;
  DialogProvider& dialogs_;
  std::vector<QAction*> entries_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_WINDOW_LIST_H_
