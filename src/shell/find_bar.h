// The find bar under the windows: a text to find (区分大小写, 全字匹配), and
// for an editor a text to replace it with. It works on the text of the
// active window (SetPane) and marks the matches in sight while it is open;
// F3 and Shift+F3 find the next and the previous match even when it is
// closed. What it finds or cannot find it tells through `message`.
#ifndef MARVOLEN_SHELL_FIND_BAR_H_
#define MARVOLEN_SHELL_FIND_BAR_H_

#include <QWidget>

#include "shell/text_search.h"

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace marvolen {

class TextPane;

class FindBar : public QWidget {
  Q_OBJECT

 public:
  FindBar();

  // Show the bar (with the replace row when `replace` and the pane is an
  // editor), the selection, when it is a part of one line, as the text to
  // find, and the focus in the find field.
  void Open(bool replace);
  // The pane the bar works on (null: none); the marks move to it.
  void SetPane(TextPane* pane);
  // Find the next (or previous) match; with no text to find, open the bar.
  void FindNext(bool backward);
  // Replace the selection when it is a match, then find the next one.
  void ReplaceNext();
  // Replace every match in the pane.
  void ReplaceAll();
  // Hide the bar (Escape), the focus back in the text.
  void Close();

  SearchPattern pattern() const;

  Q_SIGNAL void message(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // Enter and Shift+Enter in the find field.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Mark();
  void ShowReplaceRow(bool shown);

  QLineEdit* find_;
  QLineEdit* replace_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWord_;
  QWidget* replaceRow_;
  TextPane* pane_ = nullptr;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_FIND_BAR_H_
