// report-view-bench: what it costs to open, scroll and search a long report
// in the workbench's report window, next to what the editor widget would
// take to hold the same text.
//
// It makes workload (a) in long mode in a scratch folder, runs the analysis
// once, then times in this process (offscreen unless QT_QPA_PLATFORM says
// otherwise): opening the report in a report window up to its first
// picture (read, index, outline, paint), a page down with its picture, a
// jump to the middle and to the end, and a search from the top for a text
// near the end. Then, once, the same text put into a QPlainTextEdit (the
// editor's widget), and the ratio. Times are medians of --runs runs.
// Usage: build/bench/report-view-bench [--runs=5] [--no-editor]
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "bench/process_run.h"
#include "bench/workloads.h"
#include "encoding/gbk_text.h"
#include "run/run.h"
#include "shell/file_io.h"
#include "shell/report_view.h"
#include "shell/report_window.h"
#include "shell/text_search.h"

namespace marvolen {
namespace bench {
namespace {

namespace fs = std::filesystem;

// Milliseconds that `step` takes, its picture included.
template <typename Step>
double Time(QWidget* shown, Step step) {
  QElapsedTimer clock;
  clock.start();
  step();
  shown->repaint();
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

int Main(int argc, char** argv) {
  int runs = 5;
  bool editor = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) {
      runs = std::max(1, std::atoi(arg.c_str() + 7));
    } else if (arg == "--no-editor") {
      editor = false;
    } else {
      std::fprintf(stderr, "usage: report-view-bench [--runs=N] [--no-editor]\n");
      return 64;
    }
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  std::string dir = (fs::temp_directory_path() / "marvolen_report_view_XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr || !WriteWorkload(RealisticWorkload(true), dir)) return 1;
  RecordingUserInterface ui;
  if (RunAnalysis(dir, ui).end != RunEnd::Completed) return 1;
  const QString path = QString::fromStdString(dir + "/report.txt");
  std::printf("report-view-bench: workload (a), long mode: %lld bytes; medians of %d runs\n",
              static_cast<long long>(fs::file_size(dir + "/report.txt")), runs);

  std::vector<double> open, page, middle, end, find;
  qint64 lines = 0, found = 0;
  for (int run = 0; run < runs; ++run) {
    ReportWindow window;
    window.resize(1000, 700);
    window.show();
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())
      QApplication::processEvents();
    QString error;
    ReportView* view = window.view();
    open.push_back(Time(view->viewport(), [&] { window.Load(path, &error); }));
    lines = view->lineCount();
    for (int k = 0; k < 50; ++k) {
      page.push_back(Time(view->viewport(), [&] {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(view, &down);
      }));
    }
    middle.push_back(Time(view->viewport(), [&] { view->GoToLine(lines / 2); }));
    end.push_back(Time(view->viewport(), [&] { view->GoToLine(lines); }));
    view->GoToLine(1);
    bool wrapped = false;
    find.push_back(Time(view->viewport(), [&] {
      view->Find({QStringLiteral("外显型歧义格式平均歧义个数"), false, false}, false, &wrapped);
    }));
    found = view->cursorLine();
  }
  std::printf("  %lld lines\n", static_cast<long long>(lines));
  std::printf("  open to first picture      %8.1f ms\n", Median(open));
  std::printf("  page down                  %8.2f ms\n", Median(page));
  std::printf("  go to the middle           %8.2f ms\n", Median(middle));
  std::printf("  go to the end              %8.2f ms\n", Median(end));
  std::printf("  find a text near the end   %8.1f ms (from the top to line %lld)\n", Median(find),
              static_cast<long long>(found));
  if (!editor) return 0;

  QPlainTextEdit edit;
  edit.resize(1000, 700);
  edit.setReadOnly(true);
  edit.show();
  while (edit.windowHandle() == nullptr || !edit.windowHandle()->isExposed())
    QApplication::processEvents();
  const double plain = Time(edit.viewport(), [&] {
    std::string bytes;
    QString error;
    ReadFileBytes(path, std::numeric_limits<qint64>::max(), &bytes, &error);
    edit.setPlainText(QString::fromStdU16String(DecodeGbkText(bytes).text));
  });
  std::printf("  the editor's widget: open  %8.1f ms = %.1fx the report window\n", plain,
              plain / Median(open));
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}

}  // namespace
}  // namespace bench
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::bench::Main(argc, argv); }
