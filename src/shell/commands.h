// The workbench's commands and their table: for each command its name (the
// objectName of its QAction), its menu text, its prompts and its shortcut
// keys; the menus and the toolbar as lists of commands; and which commands
// need an active window. The main window makes one QAction of each and
// says what it does.
#ifndef MARVOLEN_SHELL_COMMANDS_H_
#define MARVOLEN_SHELL_COMMANDS_H_

#include <QList>
#include <QString>
#include <map>
#include <optional>
#include <span>
#include <vector>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace marvolen {

enum class Command {
  kFileNew,
  kFileOpen,
  kFileClose,
  kFileSave,
  kFileSaveAs,
  kFilePrint,
  kFilePrintPreview,
  kFilePrintSetup,
  kRecentFile1,  // the other entries follow
  kRecentFile2,
  kRecentFile3,
  kRecentFile4,
  kAppExit,
  kEditUndo,
  kEditCut,
  kEditCopy,
  kEditPaste,
  kEditFind,
  kEditFindNext,
  kEditFindPrevious,
  kEditReplace,
  kEditGoToLine,
  kViewToolbar,
  kViewStatusBar,
  kViewParsePane,
  kViewRulesPanel,
  kViewZoomIn,
  kViewZoomOut,
  kViewZoomReset,
  kGenerateReport,
  kViewReport,
  kCompareRules,
  kRunHtmlReport,
  kRunCsvTable,
  kWindowNew,
  kWindowCascade,
  kWindowTile,
  kWindowArrange,
  kWindowClose,  // Ctrl+F4, Ctrl+W: the active window
  kNextPane,
  kPrevPane,
  kAppAbout,
};

constexpr int kRecentFileCount = 4;  // entries of the recent-file list

// Entry `index` (from 0) of the recent-file list.
constexpr Command RecentFileCommand(int index) {
  return static_cast<Command>(static_cast<int>(Command::kRecentFile1) + index);
}

// What the person sees of a command: the menu text (the accelerator after
// a tab), the prompt in the status bar, the tooltip and the shortcuts, in
// the person's language. The recent-file entries have only their prompt.
struct CommandText {
  Command command;
  QString name;  // the QAction's objectName
  QString text;
  QString statusTip;
  QString toolTip;
  QString keys;  // "; " between shortcuts
};
std::vector<CommandText> CommandTexts();

// The menus in the order of the menu bar; each is shown always, or only
// while no (kStart) or a (kDocument) document or report window is active.
// A separator is nullopt; kRecentFile1 stands for the recent-file list.
struct MenuLayout {
  enum class Shown { kAlways, kStart, kDocument };
  QString title;
  Shown shown;
  std::vector<std::optional<Command>> commands;
};
std::vector<MenuLayout> Menus();
std::span<const std::optional<Command>> ToolbarButtons();
// The commands that need an active document window, and those that need an
// active document or report window.
std::span<const Command> DocumentCommands();
std::span<const Command> WindowCommands();

// One QAction for each command, a child of `parent`, with its text, name,
// prompts and shortcuts; the views' toggles and the export choices are
// checkable.
std::map<Command, QAction*> MakeActions(QObject* parent);

// The menus of Menus(), children of `parent`, filled with `actions`. Their
// greyed items are highlighted too, so that their prompts show in the
// status bar as the others' do.
struct MenuBars {
  QList<QMenu*> menus;
  QList<QAction*> start;        // the bar's menus while no document window is active
  QList<QAction*> document;     // and while one is
  QMenu* windowMenu = nullptr;  // 窗口
};
MenuBars MakeMenus(const std::map<Command, QAction*>& actions, QWidget* parent);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_COMMANDS_H_
