// The Marvolen document window.
#include "shell/child_frame.h"

#include "run/run.h"
#include "shell/analysis_runner.h"
#include "shell/command_ids.h"
#include "shell/marvolen_app.h"
#include "shell/mdi_frame_window.h"

namespace marvolen {

CChildFrame::CChildFrame(CMarvolenApp* app) : app_(app) {
  OnCommand(ID_GENERATE_REPORT, [this] { OnGenerateReport(); });
}

void CChildFrame::OnGenerateReport() {
  MdiFrameWindow* main = app_->mainWindow();
  const std::string startupDir = app_->m_strStartupDir;
  main->SetClosingBlocked(true);
  AnalysisRunner runner(app_->dialogs(), main);
  runner.Run([&startupDir](UserInterface& ui) { RunAnalysis(startupDir, ui); });
  main->SetClosingBlocked(false);
}

}  // namespace marvolen
