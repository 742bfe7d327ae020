// The Marvolen document window and the analysis it runs.
#include "shell/child_frame.h"

#include <QtWidgets>
#include <atomic>
#include <climits>
#include <exception>
#include <memory>

#include "shell/dialogs.h"
#include "shell/images.h"
#include "shell/marvolen_doc.h"

namespace marvolen {

namespace {

// The progress window, which is also the analysis thread's UserInterface.
// It cannot be closed or escaped from; with a stop to request it has a 取消
// button. It goes when the analysis has finished. The GUI thread picks up
// the busy state and the progress (often enough, never flooding its queue);
// a message is shown on the GUI thread while the analysis waits for it to
// be dismissed, and kept.
class ProgressDialog : public QProgressDialog, public UserInterface {
 public:
  ProgressDialog(DialogProvider& dialogs, std::stop_source* stop)
      : QProgressDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
        dialogs_(dialogs) {
    setWindowTitle(QStringLiteral("Marvolen"));
    auto* bar = new QProgressBar;
    bar->setFormat(QStringLiteral("%v / %m"));
    setBar(bar);
    setLabelText(QStringLiteral("正在生成歧义格式统计报告……"));
    setCancelButton(nullptr);
    if (stop != nullptr) {
      auto* cancel = new QPushButton(QStringLiteral("取消"));
      setCancelButton(cancel);
      // The analysis stops at its next permutation or parse, then says so.
      // (QProgressDialog connects canceled to cancel by name; cancel hides it.)
      disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
      connect(this, &QProgressDialog::canceled, this, [this, stop, cancel] {
        stop->request_stop();
        cancel->setEnabled(false);
        setLabelText(QStringLiteral("正在停止分析……"));
      });
    }
    setAutoReset(false);
    setAutoClose(false);
    setMinimumWidth(360);
    setRange(0, 0);
  }

  // Analysis thread.
  void ShowMessage(const std::string& text) override { ShowMessageAt(text, {}); }
  void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
    QMetaObject::invokeMethod(
        this,
        [this, &text, &place] {
          Update();
          shown.push_back({QString::fromUtf8(text), place});
          dialogs_.ShowMessage(this, shown.back().first, MessageIcon::kWarning);
        },
        Qt::BlockingQueuedConnection);
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

  std::vector<std::pair<QString, MessagePlace>> shown;  // GUI thread

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

std::vector<RunMessage> RunWithProgress(DialogProvider& dialogs, QWidget* parent,
                                        const std::function<void(UserInterface&)>& job,
                                        std::stop_source* stop, const std::string& startupDir) {
  // The window takes no input meanwhile, but may be asked to close (and
  // then stops the analysis); the progress window stays above it.
  QWidget* window = parent != nullptr ? parent->window() : nullptr;
  const bool wasEnabled = window != nullptr && window->isEnabled();
  if (window != nullptr) window->setEnabled(false);
  ProgressDialog dialog(dialogs, stop);
  if (window != nullptr) {
    dialog.adjustSize();
    dialog.move(window->geometry().center() - dialog.rect().center());
  }
  dialog.show();
  if (window != nullptr) dialog.windowHandle()->setTransientParent(window->windowHandle());
  dialog.activateWindow();
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
  if (window != nullptr) {
    window->setEnabled(wasEnabled);
    window->activateWindow();  // the window manager may leave the focus nowhere
  }
  if (!failure.isEmpty()) {
    dialog.shown.push_back({QStringLiteral("分析未能完成：%1").arg(failure), {}});
    dialogs.ShowMessage(parent, dialog.shown.back().first, MessageIcon::kError);
  }
  std::vector<RunMessage> messages;
  for (const auto& [text, place] : dialog.shown)
    messages.push_back({text, ConfiguredPath(startupDir, place.file), place.line});
  return messages;
}

std::string PathBesideReport(const std::string& result, const char* extension) {
  const std::size_t name = result.find_last_of("/\\") + 1;  // 0 without a folder
  const std::size_t dot = result.rfind('.');
  const bool suffix = dot != std::string::npos && dot > name;  // ".txt" is a name
  return result.substr(0, suffix ? dot : result.size()) + "." + extension;
}

AnalysisOutcome GenerateReport(DialogProvider& dialogs, QWidget* parent,
                               const std::string& startupDir, std::stop_source& stop,
                               RunExports exports) {
  AnalysisOutcome outcome;
  ReportOptions options;
  options.stop = stop.get_token();
  const std::string result = ReadRunConfig(ProfilePathFor(startupDir)).result;
  if (!result.empty()) {
    if (exports.htmlReport) options.htmlReport = PathBesideReport(result, "html");
    if (exports.csvTable) options.csvTable = PathBesideReport(result, "csv");
  }
  options.reportWithoutFailedExports = true;
  bool htmlWritten = false;
  outcome.messages = RunWithProgress(
      dialogs, parent,
      [&](UserInterface& ui) {
        const RunResult run = RunAnalysis(startupDir, ui, options);
        outcome.end = run.end;
        htmlWritten = run.htmlReportWritten;
      },
      &stop, startupDir);
  if (htmlWritten) outcome.htmlReport = ConfiguredPath(startupDir, options.htmlReport);
  return outcome;
}

CChildFrame::CChildFrame(CMarvolenDoc* document, DialogProvider& dialogs, std::string startupDir)
    : view_(new CMarvolenView(document)), dialogs_(dialogs), startupDir_(std::move(startupDir)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWidget(view_);
  setWindowIcon(AppIcon(true));
}

CMarvolenDoc* CChildFrame::document() const { return view_->GetDocument(); }

AnalysisOutcome CChildFrame::OnGenerateReport(std::stop_source& stop, RunExports exports) {
  return GenerateReport(dialogs_, window(), startupDir_, stop, exports);
}

}  // namespace marvolen
