// The Marvolen document window.
#include "shell/child_frame.h"

#include "run/run.h"
#include "shell/analysis_runner.h"
#include "shell/images.h"
#include "shell/marvolen_doc.h"

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
  AnalysisRunner(dialogs_, window()).Run([this](UserInterface& ui) { RunAnalysis(startupDir_, ui); });
  analysisRunning_ = false;
}

}  // namespace marvolen
