// The analysis as the workbench runs it.
#include "shell/analysis_runner.h"

#include <QtWidgets>
#include <atomic>
#include <climits>
#include <exception>
#include <memory>

#include "datafiles/sequences.h"
#include "shell/dialogs.h"
#include "shell/document.h"

namespace marvolen {

namespace {

const char kTooManyItems[] = "One permutation contains too many tokens";

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
    bar->setFormat(QCoreApplication::translate("AnalysisRunner",
                                               "已处理排列 %v / %m"));  // judged, then listed
    setBar(bar);
    setLabelText(QCoreApplication::translate("AnalysisRunner", "正在生成歧义格式统计报告……"));
    setCancelButton(nullptr);
    if (stop != nullptr) {
      auto* cancel = new QPushButton(QCoreApplication::translate("AnalysisRunner", "取消"));
      setCancelButton(cancel);
      // The analysis stops at its next permutation or parse, then says so.
      // (QProgressDialog connects canceled to cancel by name; cancel hides it.)
      disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
      connect(this, &QProgressDialog::canceled, this, [this, stop, cancel] {
        stop->request_stop();
        cancel->setEnabled(false);
        setLabelText(QCoreApplication::translate("AnalysisRunner", "正在停止分析……"));
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
          shown.push_back({WorkbenchMessage(QString::fromUtf8(text)), place});
          dialogs_.ShowMessage(this, shown.back().first, MessageIcon::kWarning);
        },
        Qt::BlockingQueuedConnection);
  }
  void SetBusy(bool busy) override { busy_ = busy; }
  void Progress(std::int64_t done, std::int64_t total) override {
    done_ = done;
    total_ = total;
  }

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

// The outputs of a run as the analysis names them, in Chinese.
QString OutputName(const QString& what) {
  if (what == QLatin1String("HTML report file"))
    return QCoreApplication::translate("AnalysisRunner", "HTML 报告文件");
  if (what == QLatin1String("CSV file of results"))
    return QCoreApplication::translate("AnalysisRunner", "保存的结果表");
  if (what == QLatin1String("CSV file of parses"))
    return QCoreApplication::translate("AnalysisRunner", "分析树 CSV 文件");
  return QCoreApplication::translate("AnalysisRunner", "CSV 文件");
}

// The line (1 for the first) of the sequences file at `path` whose items
// are too many for a permutation, or 0 when none is found.
int LineWithTooManyItems(const QString& path) {
  std::string bytes;
  QString error;
  if (path.isEmpty() || !ReadFileBytes(path, 64 << 20, &bytes, &error)) return 0;
  std::string_view rest = bytes;
  for (int line = 1; !rest.empty(); ++line) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view text = rest.substr(0, end);
    text = text.substr(0, std::min(text.find('\0'), text.size()));  // a NUL ends a line
    int items = 0;
    Permutation permutation;
    SplitSequenceLine(items, text, permutation);
    if (items > kMaxItems) return line;
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return 0;
}

}  // namespace

QString WorkbenchMessage(const QString& text) {
  // Each of the run's own messages and its Chinese; %1, %2... are the
  // pattern's groups. An output's name (the first group of "The ...")
  // is put in Chinese too.
  static const struct {
    const char* pattern;
    const char* chinese;
  } kTexts[] = {
      {"The analysis was stopped; the report file was left as it was: (.*)",
       QT_TRANSLATE_NOOP("AnalysisRunner", "分析已停止，报告文件保持原样：%1")},
      {"The (.*) was left as it was too: (.*)",
       QT_TRANSLATE_NOOP("AnalysisRunner", "%1也保持原样：%2")},
      {"The (.*) could not be written completely: (.*)",
       QT_TRANSLATE_NOOP("AnalysisRunner", "%1未能完整写入：%2")},
      {"Report file could not be written completely: (.*)",
       QT_TRANSLATE_NOOP("AnalysisRunner", "报告文件未能完整写入：%1")},
      {"The report file was left as it was, as an output of the run could not be written: (.*)",
       QT_TRANSLATE_NOOP("AnalysisRunner", "本次运行有输出未能写入，报告文件保持原样：%1")},
      {"The report file is also an input file and was not overwritten: (.*)",
       QT_TRANSLATE_NOOP("AnalysisRunner", "报告文件同时是输入文件，未被覆盖：%1")},
      {"The (.*) is also an input file or another output of the run and was not written: "
       "(.*?)(; the report is written without it)?",
       QT_TRANSLATE_NOOP("AnalysisRunner", "%1同时是输入文件或本次运行的另一输出，未写入：%2%3")},
      {"The (.*) could not be created: (.*?)(; the report is written without it)?",
       QT_TRANSLATE_NOOP("AnalysisRunner", "无法建立%1：%2%3")},
      {"Too many parses to list for (.*): (.*), more than the limit of (\\d+); the report gives "
       "their number only",
       QT_TRANSLATE_NOOP("AnalysisRunner", "%1 的分析树太多（%2，超过上限 %3），报告只给出其数目")},
      {"Too many parses to list for (\\d+) more permutations; the report gives their number only",
       QT_TRANSLATE_NOOP("AnalysisRunner", "另有 %1 个排列的分析树太多，报告只给出其数目")},
  };
  for (const auto& [pattern, chinese] : kTexts) {
    const QRegularExpression expression(
        QRegularExpression::anchoredPattern(QString::fromUtf8(pattern)),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = expression.match(text);
    if (!match.hasMatch()) continue;
    // The groups go in at once, so that a "%1" in a path stays as it is.
    const QString form = QCoreApplication::translate("AnalysisRunner", chinese);
    const bool output = QByteArray(pattern).startsWith("The (");
    QString result;
    for (qsizetype i = 0; i < form.size(); ++i) {
      if (form[i] != QLatin1Char('%') || i + 1 == form.size()) {
        result += form[i];
        continue;
      }
      const int group = form[++i].digitValue();
      QString part = match.captured(group);
      if (group == 1 && output) part = OutputName(part);
      if (part.startsWith(QLatin1String("; the report")))
        part = QCoreApplication::translate("AnalysisRunner", "；报告照常生成，不含该文件");
      result += part;
    }
    return result;
  }
  // The cycles of one-item rules: the rules listed stay as they are.
  QString result = text;
  static const QRegularExpression cycles(
      QStringLiteral("^One-item rules in Rules_File form (a cycle|(\\d+) cycles):\n"));
  if (const QRegularExpressionMatch match = cycles.match(result); match.hasMatch()) {
    result.replace(
        0, match.capturedLength(),
        match.captured(2).isEmpty()
            ? QCoreApplication::translate("AnalysisRunner", "规则文件中的单项规则构成一个循环：\n")
            : QCoreApplication::translate("AnalysisRunner",
                                          "规则文件中的单项规则构成 %1 个循环：\n")
                  .arg(match.captured(2)));
    result.replace(QStringLiteral("To keep the analysis finite, a one-item rule is not applied "
                                  "to a phrase whose chain of one-item rules already holds its "
                                  "left tag."),
                   QCoreApplication::translate("AnalysisRunner",
                                               "为使分析能够结束，单项规则不用于其单项规则链中"
                                               "已含有其左部标记的短语。"));
  }
  return result;
}

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
      failure = QCoreApplication::translate("AnalysisRunner", "未知错误");
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
    dialog.shown.push_back(
        {QCoreApplication::translate("AnalysisRunner", "分析未能完成：%1").arg(failure), {}});
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

AnalysisRunner::AnalysisRunner(std::string startupDir, DialogProvider& dialogs, QWidget* window)
    : QObject(window), startupDir_(std::move(startupDir)), dialogs_(dialogs), window_(window) {}

AnalysisOutcome AnalysisRunner::Run(RunExports exports, const std::string& compareRules) {
  std::stop_source stop;
  stop_ = &stop;
  const std::string& startupDir = startupDir_;
  AnalysisOutcome outcome;
  RunOptions options;
  options.stop = stop.get_token();
  const RunConfig config = ReadRunConfig(ProfilePathFor(startupDir));
  const std::string& result = config.result;
  if (!result.empty()) {
    if (exports.htmlReport) options.htmlReport = PathBesideReport(result, "html");
    if (exports.csvTable) options.csvTable = PathBesideReport(result, "csv");
  }
  options.reportWithoutFailedExports = true;
  options.ruleEffects = [&outcome](const RuleSet& rules, std::vector<RuleEffect> effects) {
    outcome.rules = rules;
    outcome.ruleEffects = std::move(effects);
  };
  // The divergence points cost time, and only the exports show them.
  options.explainAmbiguity = exports.htmlReport || exports.csvTable;
  // Each run keeps its table for the next, and compares with the last one
  // kept (or with the rules file asked for): a table missing or spoilt
  // means no comparison, not a failed run.
  QString keptTable;
  if (!result.empty()) {
    options.keptCsvTable = PathBesideReport(result, kResultsTable);
    keptTable = ConfiguredPath(startupDir, options.keptCsvTable);
  }
  std::shared_ptr<const ComparisonResult> comparison;
  options.comparisonResult = [&comparison](const ComparisonResult& made) {
    comparison = std::make_shared<const ComparisonResult>(made);
  };
  if (!compareRules.empty()) {
    options.compareRules = compareRules;
    outcome.changes.baselineName = ConfiguredPath(startupDir, compareRules);
    outcome.changes.rulesBaseline = true;
  } else if (!keptTable.isEmpty() && QFileInfo::exists(keptTable)) {
    options.baselineCsv = options.keptCsvTable;
    options.baselineCsvOptional = true;
    outcome.changes.baselineName = keptTable;
  }
  RunResult run;
  outcome.messages = RunWithProgress(
      dialogs_, window_,
      [&](UserInterface& ui) {
        run = RunAnalysis(startupDir, ui, options);
        outcome.end = run.end;
      },
      &stop, startupDir);
  // The analysis stops on a sequence of too many items without saying
  // which: the message is listed at its line.
  for (RunMessage& message : outcome.messages) {
    if (message.text != QLatin1String(kTooManyItems) || !message.file.isEmpty()) continue;
    const QString sequences = ConfiguredPath(startupDir, config.sequences);
    if (const int line = LineWithTooManyItems(sequences); line > 0) {
      message.file = sequences;
      message.line = line;
    }
  }
  if (run.reportWritten) outcome.written.append(ConfiguredPath(startupDir, result));
  if (run.htmlReportWritten) {
    outcome.htmlReport = ConfiguredPath(startupDir, options.htmlReport);
    outcome.written.append(outcome.htmlReport);
  }
  if (run.csvTableWritten) outcome.written.append(ConfiguredPath(startupDir, options.csvTable));
  if (outcome.end == RunEnd::Completed) {
    if (comparison != nullptr) {
      outcome.changes.baseline = AnalysisChanges::Baseline::kCompared;
      outcome.changes.comparison = std::move(comparison);
    } else if (!run.baselineNotTaken.empty()) {
      outcome.changes.baseline = AnalysisChanges::Baseline::kNotTaken;
      outcome.messages.push_back({tr("上次分析保存的结果表不能用来比较，本次未作比较：%1")
                                      .arg(QString::fromUtf8(run.baselineNotTaken)),
                                  keptTable, 0});
    } else if (options.baselineCsv.empty() && options.compareRules.empty()) {
      outcome.changes.baseline = AnalysisChanges::Baseline::kFirstRun;
    }
  }
  stop_ = nullptr;
  // A question about stopping the run that has ended is no longer asked.
  if (stopQuestion_ != nullptr) stopQuestion_->done(QDialog::Rejected);
  return outcome;
}

std::vector<RunMessage> AnalysisRunner::HandOff(const AnalysisOutcome& outcome, QString* note) {
  std::vector<RunMessage> messages = outcome.messages;
  // Every file the run wrote, and their folder, to open from the list.
  for (const QString& file : outcome.written)
    messages.push_back({tr("已写入：%1").arg(file), file, 0});
  if (!outcome.written.isEmpty()) {
    const QString folder =
        QDir::toNativeSeparators(QFileInfo(outcome.written.first()).absolutePath());
    messages.push_back({tr("打开所在文件夹：%1").arg(folder), folder, 0});
  }
  note->clear();
  // A browser that takes the page may still fail to show it: the page's
  // file is named either way.
  if (!outcome.htmlReport.isEmpty()) {
    const QString page = QDir::toNativeSeparators(outcome.htmlReport);
    *note = tr("已请系统浏览器打开 HTML 报告；如果浏览器没有打开，请打开 %1").arg(page);
    if (!dialogs_.OpenInBrowser(outcome.htmlReport)) {
      *note = tr("%1\n无法在浏览器中打开该 HTML 报告。").arg(page);
      dialogs_.ShowMessage(window_, *note, MessageIcon::kWarning);
    }
    messages.push_back({*note, outcome.htmlReport, 0});
  }
  return messages;
}

void AnalysisRunner::AskToStopAndClose() {
  // The question goes when the run ends (see Run).
  if (!running() || closeAfterRun_ || stopQuestion_ != nullptr) return;
  stopQuestion_ = dialogs_.AskYesNoLater(
      window_, tr("正在生成歧义格式统计报告。要停止分析并退出吗？"), [this](bool stop) {
        if (!stop || !running()) return;
        closeAfterRun_ = true;
        stop_->request_stop();
      });
}

}  // namespace marvolen
