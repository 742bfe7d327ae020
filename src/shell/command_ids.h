// Command, string and resource ids of the workbench.
//
// The ids are those of the framework's standard commands, so that menus,
// accelerators, the toolbar and the status-bar prompts all speak of the
// same numbers.
#ifndef MARVOLEN_SHELL_COMMAND_IDS_H_
#define MARVOLEN_SHELL_COMMAND_IDS_H_

namespace marvolen {

// Resources.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDR_MAINFRAME = 128;  // main window: menu, accelerators, toolbar, icon, title
constexpr int IDR_MARVOTYPE = 129;  // the document type: menu, icon, document string

// The analysis command.
constexpr int ID_GENERATE_REPORT = 32772;

// Strings.
constexpr int AFX_IDS_APP_TITLE = 57344;
constexpr int AFX_IDS_IDLEMESSAGE = 57345;

// File.
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_MRU_FILE1 = 57616;  // ...57631; the list holds four
constexpr int ID_FILE_MRU_LAST = 57631;

// Edit.
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;

// Window.
constexpr int ID_WINDOW_NEW = 57648;
constexpr int ID_WINDOW_ARRANGE = 57649;
constexpr int ID_WINDOW_CASCADE = 57650;
constexpr int ID_WINDOW_TILE_HORZ = 57651;

// Application and panes.
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;

// View toggles; also the child-window ids of the toolbar and status bar.
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;

// Status-bar indicators.
constexpr int ID_SEPARATOR = 0;  // the message pane (and a separator in menus and toolbars)
constexpr int ID_INDICATOR_CAPS = 59137;
constexpr int ID_INDICATOR_NUM = 59138;
constexpr int ID_INDICATOR_SCRL = 59139;

// Window styles understood by MdiFrameWindow::LoadFrame.
constexpr unsigned WS_CAPTION = 0x00C00000;
constexpr unsigned WS_SYSMENU = 0x00080000;
constexpr unsigned WS_THICKFRAME = 0x00040000;
constexpr unsigned WS_MINIMIZEBOX = 0x00020000;
constexpr unsigned WS_MAXIMIZEBOX = 0x00010000;
constexpr unsigned FWS_ADDTOTITLE = 0x00008000;

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_COMMAND_IDS_H_
