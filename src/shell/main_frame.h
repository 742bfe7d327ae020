// The Marvolen main window: the MDI frame with its toolbar and status bar.
#ifndef MARVOLEN_SHELL_MAIN_FRAME_H_
#define MARVOLEN_SHELL_MAIN_FRAME_H_

#include "shell/mdi_frame_window.h"

namespace marvolen {

class CMainFrame : public MdiFrameWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(Application* app);

 protected:
  int OnCreate() override;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MAIN_FRAME_H_
