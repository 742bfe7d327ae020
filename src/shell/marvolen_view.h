// The Marvolen text view: an edit view whose lines wrap at the window edge
// (no horizontal scroll bar), with the print commands.
#ifndef MARVOLEN_SHELL_MARVOLEN_VIEW_H_
#define MARVOLEN_SHELL_MARVOLEN_VIEW_H_

#include "shell/edit_view.h"

namespace marvolen {

class CMarvolenView : public EditView {
  Q_OBJECT

 public:
  CMarvolenView();

 protected:
  bool PreCreateWindow(EditStyle& style) override;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_VIEW_H_
