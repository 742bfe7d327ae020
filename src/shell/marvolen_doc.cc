// The Marvolen document.
#include "shell/marvolen_doc.h"

#include "shell/edit_view.h"

namespace marvolen {

void CMarvolenDoc::Serialize(Archive& ar) {
  EditView* view = FirstView();
  if (view == nullptr) {
    ar.ok = false;
    return;
  }
  view->SerializeRaw(ar);
}

}  // namespace marvolen
