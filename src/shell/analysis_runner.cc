// Runs the analysis off the GUI thread behind a modal progress dialog.
#include "shell/analysis_runner.h"

#include <QtWidgets>
#include <atomic>
#include <climits>
#include <exception>
#include <memory>

#include "shell/dialogs.h"

namespace marvolen {

namespace {

// The progress dialog: no cancel button, and it cannot be closed or escaped
// from; it goes when the analysis has finished.
class ProgressDialog : public QProgressDialog {
 public:
  explicit ProgressDialog(QWidget* parent)
      : QProgressDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Marvolen"));
    auto* bar = new QProgressBar;
    bar->setFormat(QStringLiteral("%v / %m"));
    setBar(bar);
    setLabelText(QStringLiteral("正在生成歧义格式统计报告……"));
    setCancelButton(nullptr);
    setWindowModality(Qt::ApplicationModal);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    setMinimumWidth(360);
    setRange(0, 0);
  }

  // Show the analysis thread's busy state and progress.
  void Update(bool busy, std::int64_t done, std::int64_t total) {
    if (busy && !busyShown_) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!busy && busyShown_) QApplication::restoreOverrideCursor();
    busyShown_ = busy;
    // A progress bar counts in int: scale totals that do not fit.
    const std::int64_t scale = total > INT_MAX ? total / INT_MAX + 1 : 1;
    setMaximum(static_cast<int>(total / scale));
    setValue(static_cast<int>(std::min(done, total) / scale));
  }

 protected:
  void reject() override {}
  void closeEvent(QCloseEvent* event) override { event->ignore(); }

 private:
  bool busyShown_ = false;
};

// The analysis thread's UserInterface. Busy state and progress are picked up
// by the GUI thread (often enough, never flooding it); a message is shown on
// the GUI thread while the analysis waits for it to be dismissed.
class ThreadedUserInterface : public UserInterface {
 public:
  ThreadedUserInterface(DialogProvider& dialogs, ProgressDialog* dialog) : dialogs_(dialogs), dialog_(dialog) {}

  void ShowMessage(const std::string& text) override {
    auto show = [this, &text] {
      Update();
      dialogs_.ShowMessage(dialog_, QString::fromUtf8(text), MessageIcon::kWarning);
    };
    if (QThread::currentThread() == dialog_->thread()) return show();
    QMetaObject::invokeMethod(dialog_, show, Qt::BlockingQueuedConnection);
  }
  void SetBusy(bool busy) override { busy_ = busy; }
  void Progress(std::int64_t done, std::int64_t total) override {
    done_ = done;
    total_ = total;
  }

  // GUI thread.
  void Update() { dialog_->Update(busy_, done_, total_); }
  void EndBusy() { dialog_->Update(busy_ = false, done_, total_); }

 private:
  DialogProvider& dialogs_;
  ProgressDialog* dialog_;
  std::atomic<bool> busy_{false};
  std::atomic<std::int64_t> done_{0};
  std::atomic<std::int64_t> total_{0};
};

}  // namespace

void AnalysisRunner::Run(const std::function<void(UserInterface&)>& job) {
  ProgressDialog dialog(parent_);
  dialog.show();
  ThreadedUserInterface ui(dialogs_, &dialog);
  QString failure;
  std::unique_ptr<QThread> thread(QThread::create([&] {
    try {
      job(ui);
    } catch (const std::exception& e) {
      failure = QString::fromLocal8Bit(e.what());
    } catch (...) {
      failure = QStringLiteral("未知错误");
    }
  }));
  QEventLoop loop;
  QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &dialog, [&ui] { ui.Update(); });
  timer.start(50);
  thread->start();
  loop.exec();
  thread->wait();
  ui.EndBusy();  // leave no wait cursor behind
  dialog.hide();
  if (!failure.isEmpty())
    dialogs_.ShowMessage(parent_, QStringLiteral("分析未能完成：%1").arg(failure), MessageIcon::kError);
}

}  // namespace marvolen
