// The Marvolen document window.
#include "shell/child_frame.h"

#include <QCloseEvent>

#include "run/run.h"
#include "shell/analysis_runner.h"
#include "shell/images.h"
#include "shell/marvolen_view.h"

namespace marvolen {

CChildFrame::CChildFrame(CMarvolenDoc* document, DialogProvider& dialogs, std::string startupDir)
    : view_(new CMarvolenView(document)), dialogs_(dialogs), startupDir_(std::move(startupDir)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWidget(view_);
  setWindowIcon(AppIcon(true));
}

CMarvolenDoc* CChildFrame::document() const { return view_->GetDocument(); }

void CChildFrame::OnGenerateReport() {
  analysisRunning_ = true;
  AnalysisRunner runner(dialogs_, window());
  runner.Run([this](UserInterface& ui) { RunAnalysis(startupDir_, ui); });
  analysisRunning_ = false;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (analysisRunning_) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

}  // namespace marvolen
