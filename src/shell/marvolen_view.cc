// The Marvolen text view.
#include "shell/marvolen_view.h"

#include "shell/command_ids.h"

namespace marvolen {

CMarvolenView::CMarvolenView() {
  OnCommand(ID_FILE_PRINT, [this] { OnFilePrint(); });
  OnCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrintDirect(); });
  OnCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

bool CMarvolenView::PreCreateWindow(EditStyle& style) {
  const bool ok = EditView::PreCreateWindow(style);
  // No horizontal scroll bar and no horizontal auto-scrolling: long lines
  // wrap at the window edge.
  style.horizontalScrollBar = false;
  style.autoHScroll = false;
  return ok;
}

}  // namespace marvolen
