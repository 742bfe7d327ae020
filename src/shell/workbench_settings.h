// The workbench's own settings in config.ini, section [Workbench]: where the
// main window was and how big, whether it and the document windows were
// maximized, the size of the text, the parse pane, and the outputs a run makes besides the
// report. Like the recent-file list they are
// written back when the workbench ends, only when they changed, and nothing
// else in the file is touched (the durable write of profile_update.h).
#ifndef MARVOLEN_SHELL_WORKBENCH_SETTINGS_H_
#define MARVOLEN_SHELL_WORKBENCH_SETTINGS_H_

#include <QRect>
#include <string>

namespace marvolen {

struct WorkbenchLayout {
  QRect mainWindow;  // its normal place and size; invalid: none remembered
  bool mainWindowMaximized = false;
  bool documentWindowsMaximized = false;
  int pointSize = 0;  // of the text; 0: the default
  // The parse pane: shown or not, its width (0: the default), the trees'
  // zoom in percent.
  bool parsePaneShown = false;
  int parsePaneWidth = 0;
  int treeZoomPercent = 100;
  // What a run writes besides the report: the HTML report, the CSV table.
  bool htmlReport = false;
  bool csvTable = false;
  bool operator==(const WorkbenchLayout&) const = default;
};

class WorkbenchSettings {
 public:
  static constexpr int kMinPointSize = 6;
  static constexpr int kMaxPointSize = 48;

  // Read the settings (a missing or unreadable value keeps its default).
  void Read(const std::string& profilePath);
  // Write them back when they changed since Read or the last Write. False
  // with `error` set when the file could not be updated.
  bool Write(const std::string& profilePath, std::string* error);

  WorkbenchLayout layout;

 private:
  WorkbenchLayout stored_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_WORKBENCH_SETTINGS_H_
