// Runs the analysis off the GUI thread behind a modal progress dialog.
#include "shell/analysis_runner.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QProgressBar>
#include <QProgressDialog>
#include <QThread>
#include <atomic>
#include <climits>
#include <exception>

#include "shell/dialogs.h"

namespace marvolen {

namespace {

// A progress dialog without a cancel button that cannot be closed or
// escaped from until the analysis has finished.
class ProgressDialog : public QProgressDialog {
 public:
  explicit ProgressDialog(QWidget* parent)
      : QProgressDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Marvolen"));
    auto* bar = new QProgressBar(this);
    bar->setFormat(QStringLiteral("%v / %m"));
    bar->setTextVisible(true);
    setBar(bar);
    setLabelText(AnalysisRunner::Label());
    setCancelButton(nullptr);
    setWindowModality(Qt::ApplicationModal);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    setMinimumWidth(360);
    setRange(0, 0);
  }

  void Finish() { finished_ = true; }

 protected:
  void reject() override {
    if (finished_) QProgressDialog::reject();
  }
  void closeEvent(QCloseEvent* event) override {
    if (!finished_) {
      event->ignore();
      return;
    }
    QProgressDialog::closeEvent(event);
  }

 private:
  bool finished_ = false;
};

// The analysis thread's UserInterface: every call is carried out on the GUI
// thread, in the order made. A message blocks the analysis until dismissed.
class ThreadedUserInterface : public UserInterface {
 public:
  ThreadedUserInterface(DialogProvider& dialogs, ProgressDialog* dialog)
      : dialogs_(dialogs), dialog_(dialog) {}

  void ShowMessage(const std::string& text) override {
    const QString qtext = QString::fromUtf8(text);
    auto show = [this, &qtext] { dialogs_.ShowMessage(dialog_, qtext, MessageIcon::kWarning); };
    if (QThread::currentThread() == dialog_->thread()) {
      show();
    } else {
      QMetaObject::invokeMethod(dialog_, show, Qt::BlockingQueuedConnection);
    }
  }

  void SetBusy(bool busy) override {
    QMetaObject::invokeMethod(dialog_, [this, busy] { ApplyBusy(busy); }, Qt::QueuedConnection);
  }

  void Progress(std::int64_t done, std::int64_t total) override {
    done_.store(done);
    total_.store(total);
    // At most one update waits in the GUI thread's queue at a time.
    if (!pending_.exchange(true))
      QMetaObject::invokeMethod(dialog_, [this] { ApplyProgress(); }, Qt::QueuedConnection);
  }

  // GUI thread: leave no wait cursor behind.
  void EndBusy() { ApplyBusy(false); }

 private:
  void ApplyBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QApplication::restoreOverrideCursor();
    }
  }

  void ApplyProgress() {
    pending_.store(false);
    const std::int64_t total = total_.load();
    const std::int64_t done = done_.load();
    // A progress bar counts in int: scale totals that do not fit.
    const std::int64_t scale = total > INT_MAX ? total / INT_MAX + 1 : 1;
    dialog_->setMaximum(static_cast<int>(total / scale));
    dialog_->setValue(static_cast<int>(std::min(done, total) / scale));
  }

  DialogProvider& dialogs_;
  ProgressDialog* dialog_;
  bool busy_ = false;  // GUI thread only
  std::atomic<std::int64_t> done_{0};
  std::atomic<std::int64_t> total_{0};
  std::atomic<bool> pending_{false};
};

}  // namespace

AnalysisRunner::AnalysisRunner(DialogProvider& dialogs, QWidget* parent)
    : dialogs_(dialogs), parent_(parent) {}

QString AnalysisRunner::Label() { return QStringLiteral("正在生成歧义格式统计报告……"); }

void AnalysisRunner::Run(const std::function<void(UserInterface&)>& job) {
  ProgressDialog dialog(parent_);
  dialog.show();
  ThreadedUserInterface ui(dialogs_, &dialog);
  QString failure;
  QThread* thread = QThread::create([&] {
    try {
      job(ui);
    } catch (const std::exception& e) {
      failure = QString::fromLocal8Bit(e.what());
    } catch (...) {
      failure = QStringLiteral("未知错误");
    }
  });
  QEventLoop loop;
  QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
  thread->start();
  loop.exec();
  thread->wait();
  delete thread;
  // Carry out what the analysis asked for last, then clean up.
  QCoreApplication::sendPostedEvents(&dialog, QEvent::MetaCall);
  ui.EndBusy();
  dialog.Finish();
  dialog.hide();
  if (!failure.isEmpty())
    dialogs_.ShowMessage(parent_, QStringLiteral("分析未能完成：%1").arg(failure), MessageIcon::kError);
}

}  // namespace marvolen
