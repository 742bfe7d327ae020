// parse-pane-bench: how long the workbench's parse pane takes from a
// keystroke to the picture that answers it, offscreen.
//
// For every sequence line of the bundled examples and of workload (b) it
// types the line into the pane a character at a time and times each
// keystroke from the key event to the end of the paint of the trees that
// answer it; beside that, the analysis alone of each whole line, in the
// same run; then the same for one line of 8,750 parses, near the pane's
// limit. On the line with the most parses it then scrolls down a
// screenful at a time (trees are laid out as they come into sight) and
// times each step to its paint. Times are the best of --runs runs.
// Usage: build/bench/parse-pane-bench [--runs=3]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "analysis/sequence_analysis.h"
#include "bench/workloads.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/user_interface.h"
#include "encoding/gbk_text.h"
#include "platform/text_stream.h"
#include "shell/dialogs.h"
#include "shell/parse_pane.h"
#include "shell/tree_canvas.h"

namespace marvolen {
namespace bench {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a sequences file, as the editor shows them.
std::vector<QString> Lines(const std::string& gbk) {
  std::vector<QString> lines;
  const QString text = QString::fromStdU16String(DecodeGbkText(gbk).text);
  for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    lines.push_back(line);
  return lines;
}

std::unique_ptr<SequenceAnalyser> AnalyserFor(const WorkloadFiles& files) {
  RecordingUserInterface ui;
  RuleSet rules;
  ReadRuleSet(rules, *InputStream::FromBytes(files.rules), ui);
  return std::make_unique<SequenceAnalyser>(std::move(rules), SearchEngine::kChart, kPaneMaxParses);
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(share * values.size()))];
}

// A workbench window with nothing but the documents' area and the pane.
class Bench {
 public:
  explicit Bench(const WorkloadFiles& files) {
    WriteWorkload(files, dir_.path().toStdString());
    window_.setCentralWidget(area_);
    pane_ = new ParsePane(dir_.path().toStdString(), area_, dialogs_, &window_);
    window_.addDockWidget(Qt::RightDockWidgetArea, pane_);
    window_.resize(1280, 800);
    window_.show();
    window_.resizeDocks({pane_}, {640}, Qt::Horizontal);
    QCoreApplication::processEvents();
    QObject::connect(pane_->canvas(), &TreeCanvas::painted, [this] { painted_ = true; });
  }

  // Milliseconds from `act` to the end of the canvas's next paint.
  template <typename Act>
  double TimeToPaint(Act act) {
    painted_ = false;
    QElapsedTimer timer;
    timer.start();
    act();
    while (!painted_ && timer.elapsed() < 5000) QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
  }

  // Type `line`; the time of each keystroke.
  std::vector<double> Type(const QString& line) {
    TimeToPaint([this] { pane_->findChild<QLineEdit*>(QStringLiteral("sequenceInput"))->clear(); });
    std::vector<double> times;
    for (QChar c : line) {
      times.push_back(TimeToPaint([&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(pane_->findChild<QLineEdit*>(QStringLiteral("sequenceInput")),
                                    &press);
      }));
    }
    return times;
  }

  // Scroll down a screenful at a time until every tree is laid out.
  std::vector<double> Scroll() {
    std::vector<double> times;
    QScrollBar* bar = pane_->canvas()->verticalScrollBar();
    while (pane_->canvas()->laidOutCount() < pane_->canvas()->treeCount()) {
      times.push_back(TimeToPaint([&] { bar->setValue(bar->value() + bar->pageStep()); }));
    }
    return times;
  }

  ParsePane* pane() const { return pane_; }

 private:
  QTemporaryDir dir_;
  DialogProvider dialogs_;
  QMainWindow window_;
  QMdiArea* area_ = new QMdiArea;
  ParsePane* pane_;
  bool painted_ = false;
};

void Report(const char* name, const WorkloadFiles& files, int runs) {
  const std::vector<QString> lines = Lines(files.sequences);
  Bench bench(files);
  // Per line: the best time of each keystroke, and of the analysis alone.
  std::vector<std::vector<double>> keys(lines.size());
  std::vector<double> analysis(lines.size(), 1e300);
  std::size_t most = 0;
  int mostParses = -1;
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::vector<double> times = bench.Type(lines[i]);
      if (keys[i].empty()) keys[i] = times;
      for (std::size_t k = 0; k < times.size(); ++k) keys[i][k] = std::min(keys[i][k], times[k]);
      if (bench.pane()->canvas()->treeCount() > mostParses) {
        mostParses = bench.pane()->canvas()->treeCount();
        most = i;
      }
    }
  }
  const std::unique_ptr<SequenceAnalyser> analyser = AnalyserFor(files);
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::optional<std::string> gbk =
          EncodeGbkText(lines[i].toStdU16String(), LineEnding::kLf);
      QElapsedTimer timer;
      timer.start();
      const SequenceAnalysis result = analyser->Analyse(gbk.value_or(""));
      analysis[i] = std::min(analysis[i], timer.nsecsElapsed() / 1e6);
      if (result.itemCount == 0) std::puts("(a line without items)");
    }
  }
  std::vector<double> every, whole;
  double wholeSum = 0, analysisSum = 0;
  std::size_t slowest = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    every.insert(every.end(), keys[i].begin(), keys[i].end());
    whole.push_back(keys[i].back());
    wholeSum += keys[i].back();
    analysisSum += analysis[i];
    if (keys[i].back() > keys[slowest].back()) slowest = i;
  }
  std::printf("%s: %zu lines, %zu keystrokes, at most %d parses on a line\n", name, lines.size(),
              every.size(), mostParses);
  std::printf("  every keystroke to picture:   median %7.2f ms  95%% %7.2f ms  max %7.2f ms\n",
              Percentile(every, 0.5), Percentile(every, 0.95), Percentile(every, 1.0));
  std::printf("  last keystroke of a line:     median %7.2f ms  max %7.2f ms (%s)\n",
              Percentile(whole, 0.5), Percentile(whole, 1.0), qPrintable(lines[slowest]));
  std::printf("  analysis alone of a line:     median %7.2f ms  = %.1f%% of keystroke to picture\n",
              Percentile(analysis, 0.5), 100 * analysisSum / wholeSum);

  bench.Type(lines[most]);
  const std::vector<double> scroll = bench.Scroll();
  std::printf("  scrolling %s (%d trees), %zu screenfuls: median %7.2f ms  max %7.2f ms\n",
              qPrintable(lines[most]), mostParses, scroll.size(), Percentile(scroll, 0.5),
              Percentile(scroll, 1.0));
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) {
      runs = std::max(1, std::atoi(argv[i] + 7));
    } else {
      std::fprintf(stderr, "usage: parse-pane-bench [--runs=N]\n");
      return 64;
    }
  }
  using namespace marvolen::bench;
  const std::string examples = MARVOLEN_EXAMPLES_DIR;
  WorkloadFiles files;
  files.tags = ReadFile(examples + "/tags.txt");
  files.rules = ReadFile(examples + "/rules.txt");
  files.sequences = ReadFile(examples + "/sequences.txt");
  files.config = ReadFile(examples + "/config.ini");
  Report("examples", files, runs);
  Report("(b) dense", DenseWorkload(false), runs);
  // Near the pane's limit: 8,750 parses of S S S S S.
  WorkloadFiles selfJoin = SelfJoinWorkload(5);
  selfJoin.sequences.resize(selfJoin.sequences.find('\n') + 1);
  Report("five rules S -> S S, one line", selfJoin, runs);
  return 0;
}
