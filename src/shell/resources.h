// The workbench's resources: menus, accelerators, toolbar, status-bar
// indicators and the string table, as data.
//
// Texts are UTF-8 and are the program's own words, byte for byte. A menu
// item's text carries its accelerator after a tab ("新建(&N)\tCtrl+N"); a
// prompt string carries its tooltip after a line feed.
#ifndef MARVOLEN_SHELL_RESOURCES_H_
#define MARVOLEN_SHELL_RESOURCES_H_

#include <QKeySequence>
#include <QString>
#include <vector>

namespace marvolen {

struct MenuItemResource {
  const char* text;  // nullptr for a separator
  int id;            // ID_SEPARATOR for a separator
};

struct PopupResource {
  const char* title;
  std::vector<MenuItemResource> items;
};

// Menu 128 (no document window) or 129 (a document window is active).
const std::vector<PopupResource>& MenuResource(int resourceId);

struct AcceleratorResource {
  QKeySequence key;
  int command;
};

// Accelerator table 128.
const std::vector<AcceleratorResource>& AcceleratorTable();

// Toolbar 128: the commands of its buttons in order, ID_SEPARATOR between
// groups. Buttons are 16 x 15 pixels.
const std::vector<int>& ToolbarResource();
constexpr int kToolbarButtonWidth = 16;
constexpr int kToolbarButtonHeight = 15;

// The status-bar panes in order: the message pane (ID_SEPARATOR), then the
// lock-key indicators.
const std::vector<int>& StatusIndicators();

// The string of `id` from the string table (titles, document string, idle
// text, prompts, indicator texts), or an empty string.
QString LoadString(int id);

// The status-bar prompt of a command (the part before "\n") and its tooltip
// (the part after it; empty when the string has none).
QString PromptFor(int id);
QString TooltipFor(int id);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_RESOURCES_H_
