// The Marvolen main window.
#include "shell/main_frame.h"

#include "shell/command_ids.h"
#include "shell/resources.h"

namespace marvolen {

CMainFrame::CMainFrame(Application* app) : MdiFrameWindow(app) {}

int CMainFrame::OnCreate() {
  if (MdiFrameWindow::OnCreate() == -1) return -1;
  if (!CreateToolBar(IDR_MAINFRAME)) return -1;
  if (!CreateStatusBar(StatusIndicators())) return -1;
  DockToolBar();
  return 0;
}

}  // namespace marvolen
