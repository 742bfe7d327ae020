// The ids of the workbench's commands. They are data only: every QAction
// carries its id (QAction::data), so that tests and the toolbar and menu
// tables can name a command by number.
#ifndef MARVOLEN_SHELL_COMMANDS_H_
#define MARVOLEN_SHELL_COMMANDS_H_

namespace marvolen {

enum Command : int {
  kGenerateReport = 32772,
  kViewParsePane = 32790,
  kFileNew = 57600,
  kFileOpen,
  kFileClose,
  kFileSave,
  kFileSaveAs,
  kFilePrintSetup = 57606,
  kFilePrint,
  kFilePrintPreview = 57609,
  kRecentFile1 = 57616,  // the other entries follow: 57617, 57618, 57619
  kEditCopy = 57634,
  kEditCut,
  kEditPaste = 57637,
  kEditUndo = 57643,
  kWindowNew = 57648,
  kWindowArrange,
  kWindowCascade,
  kWindowTile,
  kAppAbout = 57664,
  kAppExit,
  kNextPane = 57680,
  kPrevPane,
  kViewToolbar = 59392,
  kViewStatusBar,
  // Finding, going to a line, the text's size, the report, and closing the
  // active window (Ctrl+F4, Ctrl+W).
  kEditFind = 32800,
  kEditFindNext,
  kEditFindPrevious,
  kEditReplace,
  kEditGoToLine,
  kViewZoomIn = 32810,
  kViewZoomOut,
  kViewZoomReset,
  kViewReport = 32820,
  kRunHtmlReport,
  kRunCsvTable,
  kWindowClose = 32830,
};

constexpr int kRecentFileCount = 4;  // entries of the recent-file list

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_COMMANDS_H_
