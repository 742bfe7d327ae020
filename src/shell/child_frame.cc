// The Marvolen document window and the analysis it runs.
#include "shell/child_frame.h"

#include <QtWidgets>
#include <atomic>
#include <climits>
#include <exception>
#include <memory>

#include "run/run.h"
#include "shell/dialogs.h"
#include "shell/images.h"
#include "shell/marvolen_doc.h"

namespace marvolen {

namespace {

// The progress dialog, which is also the analysis thread's UserInterface.
// It has no cancel button and cannot be closed or escaped from; it goes when
// the analysis has finished. The GUI thread picks up the busy state and the
// progress (often enough, never flooding its queue); a message is shown on
// the GUI thread while the analysis waits for it to be dismissed.
class ProgressDialog : public QProgressDialog, public UserInterface {
 public:
  ProgressDialog(DialogProvider& dialogs, QWidget* parent)
      : QProgressDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
        dialogs_(dialogs) {
    setWindowTitle(QStringLiteral("Marvolen"));
    auto* bar = new QProgressBar;
    bar->setFormat(QStringLiteral("%v / %m"));
    setBar(bar);
    setLabelText(QStringLiteral("正在生成歧义格式统计报告……"));
    setCancelButton(nullptr);
    setWindowModality(Qt::ApplicationModal);
    setAutoReset(false);
    setMinimumWidth(360);
    setRange(0, 0);
  }

  // Analysis thread.
  void ShowMessage(const std::string& text) override {
    QMetaObject::invokeMethod(this, [this, &text] {
      Update();
      dialogs_.ShowMessage(this, QString::fromUtf8(text), MessageIcon::kWarning);
    }, Qt::BlockingQueuedConnection);
  }
  void SetBusy(bool busy) override { busy_ = busy; }
  void Progress(std::int64_t done, std::int64_t total) override { done_ = done; total_ = total; }

  // GUI thread: show the busy state and the progress.
  void Update() {
    const bool busy = busy_;
    if (busy != busyShown_)
      busy ? QApplication::setOverrideCursor(Qt::WaitCursor)
           : QApplication::restoreOverrideCursor();
    busyShown_ = busy;
    // A progress bar counts in int: scale totals that do not fit.
    const std::int64_t total = total_, scale = total > INT_MAX ? total / INT_MAX + 1 : 1;
    setMaximum(static_cast<int>(total / scale));
    setValue(static_cast<int>(std::min<std::int64_t>(done_, total) / scale));
  }

 protected:
  void reject() override {}
  void closeEvent(QCloseEvent* event) override { event->ignore(); }

 private:
  DialogProvider& dialogs_;
  bool busyShown_ = false;
  std::atomic<bool> busy_{false};
  std::atomic<std::int64_t> done_{0};
  std::atomic<std::int64_t> total_{0};
};

}  // namespace

void RunWithProgress(DialogProvider& dialogs, QWidget* parent,
                     const std::function<void(UserInterface&)>& job) {
  ProgressDialog dialog(dialogs, parent);
  dialog.show();
  QString failure;
  std::unique_ptr<QThread> thread(QThread::create([&] {
    try {
      job(dialog);
    } catch (const std::exception& e) {
      failure = QString::fromLocal8Bit(e.what());
    } catch (...) {
      failure = QStringLiteral("未知错误");
    }
  }));
  QEventLoop loop;
  QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
  QTimer timer;
  timer.callOnTimeout(&dialog, &ProgressDialog::Update);
  timer.start(50);
  thread->start();
  loop.exec();
  thread->wait();
  dialog.SetBusy(false);  // leave no wait cursor behind
  dialog.Update();
  dialog.hide();
  if (parent != nullptr)
    parent->activateWindow();  // the window manager may leave the focus nowhere
  if (!failure.isEmpty())
    dialogs.ShowMessage(parent, QStringLiteral("分析未能完成：%1").arg(failure),
                        MessageIcon::kError);
}

CChildFrame::CChildFrame(CMarvolenDoc* document, DialogProvider& dialogs, std::string startupDir)
    : view_(new CMarvolenView(document)), dialogs_(dialogs), startupDir_(std::move(startupDir)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWidget(view_);
  setWindowIcon(AppIcon(true));
}

CMarvolenDoc* CChildFrame::document() const { return view_->GetDocument(); }

void CChildFrame::OnGenerateReport() {
  analysisRunning_ = true;
  RunWithProgress(dialogs_, window(), [this](UserInterface& ui) { RunAnalysis(startupDir_, ui); });
  analysisRunning_ = false;
}

}  // namespace marvolen
