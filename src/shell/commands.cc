// The workbench's command table.
#include "shell/commands.h"

#include <QtWidgets>

namespace marvolen {

namespace {

using enum Command;

QString Tr(const char* text) { return QCoreApplication::translate("Commands", text); }

class MenuStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    return hint == SH_Menu_AllowActiveAndDisabled
               ? 1
               : QProxyStyle::styleHint(hint, option, widget, data);
  }
};

// Each command: its name, its menu text, its prompt (the tooltip after a
// line feed) and its shortcuts.
const struct {
  Command command;
  const char *name, *text, *prompt, *keys;
} kCommands[] = {
    {kFileNew, "fileNew", QT_TRANSLATE_NOOP("Commands", "新建(&N)\tCtrl+N"),
     QT_TRANSLATE_NOOP("Commands", "建立新文档\n新建"), "Ctrl+N"},
    {kFileOpen, "fileOpen", QT_TRANSLATE_NOOP("Commands", "打开(&O)...\tCtrl+O"),
     QT_TRANSLATE_NOOP("Commands", "打开一个现有文档\n打开"), "Ctrl+O"},
    {kFileClose, "fileClose", QT_TRANSLATE_NOOP("Commands", "关闭(&C)"),
     QT_TRANSLATE_NOOP("Commands", "关闭活动文档\n关闭"), ""},
    {kFileSave, "fileSave", QT_TRANSLATE_NOOP("Commands", "保存(&S)\tCtrl+S"),
     QT_TRANSLATE_NOOP("Commands", "保存活动文档\n保存"), "Ctrl+S"},
    {kFileSaveAs, "fileSaveAs", QT_TRANSLATE_NOOP("Commands", "另存为(&A)..."),
     QT_TRANSLATE_NOOP("Commands", "将活动文档以一个新文件名保存\n另存为"), ""},
    {kFilePrint, "filePrint", QT_TRANSLATE_NOOP("Commands", "打印(&P)...\tCtrl+P"),
     QT_TRANSLATE_NOOP("Commands", "打印活动文档\n打印"), "Ctrl+P"},
    {kFilePrintPreview, "filePrintPreview", QT_TRANSLATE_NOOP("Commands", "打印预览(&V)"),
     QT_TRANSLATE_NOOP("Commands", "显示整页\n打印预览"), ""},
    {kFilePrintSetup, "filePrintSetup", QT_TRANSLATE_NOOP("Commands", "打印设置(&R)..."),
     QT_TRANSLATE_NOOP("Commands", "改变打印机及打印选项\n打印设置"), ""},
    {kRecentFile1, "recentFile1", "", QT_TRANSLATE_NOOP("Commands", "打开该文档"), ""},
    {kRecentFile2, "recentFile2", "", QT_TRANSLATE_NOOP("Commands", "打开该文档"), ""},
    {kRecentFile3, "recentFile3", "", QT_TRANSLATE_NOOP("Commands", "打开该文档"), ""},
    {kRecentFile4, "recentFile4", "", QT_TRANSLATE_NOOP("Commands", "打开该文档"), ""},
    {kAppExit, "appExit", QT_TRANSLATE_NOOP("Commands", "退出(&X)"),
     QT_TRANSLATE_NOOP("Commands", "退出应用程序；提示保存文档\n退出"), ""},
    {kEditUndo, "editUndo", QT_TRANSLATE_NOOP("Commands", "撤消(&U)\tCtrl+Z"),
     QT_TRANSLATE_NOOP("Commands", "撤消最后一步操作\n撤消"), "Ctrl+Z; Alt+Backspace"},
    {kEditCut, "editCut", QT_TRANSLATE_NOOP("Commands", "剪切(&T)\tCtrl+X"),
     QT_TRANSLATE_NOOP("Commands", "剪切被选对象并将其置于剪贴板上\n剪切"), "Ctrl+X; Shift+Del"},
    {kEditCopy, "editCopy", QT_TRANSLATE_NOOP("Commands", "复制(&C)\tCtrl+C"),
     QT_TRANSLATE_NOOP("Commands", "复制被选对象并将其置于剪贴板上\n复制"), "Ctrl+C; Ctrl+Ins"},
    {kEditPaste, "editPaste", QT_TRANSLATE_NOOP("Commands", "粘贴(&P)\tCtrl+V"),
     QT_TRANSLATE_NOOP("Commands", "插入剪贴板内容\n粘贴"), "Ctrl+V; Shift+Ins"},
    {kEditFind, "editFind", QT_TRANSLATE_NOOP("Commands", "查找(&F)...\tCtrl+F"),
     QT_TRANSLATE_NOOP("Commands", "在活动窗口中查找文字\n查找"), "Ctrl+F"},
    {kEditFindNext, "editFindNext", QT_TRANSLATE_NOOP("Commands", "查找下一个(&N)\tF3"),
     QT_TRANSLATE_NOOP("Commands", "查找下一处匹配的文字\n查找下一个"), "F3"},
    {kEditFindPrevious, "editFindPrevious",
     QT_TRANSLATE_NOOP("Commands", "查找上一个(&V)\tShift+F3"),
     QT_TRANSLATE_NOOP("Commands", "查找上一处匹配的文字\n查找上一个"), "Shift+F3"},
    {kEditReplace, "editReplace", QT_TRANSLATE_NOOP("Commands", "替换(&R)...\tCtrl+H"),
     QT_TRANSLATE_NOOP("Commands", "替换活动文档中的文字\n替换"), "Ctrl+H"},
    {kEditGoToLine, "editGoToLine", QT_TRANSLATE_NOOP("Commands", "转到(&G)...\tCtrl+G"),
     QT_TRANSLATE_NOOP("Commands", "转到指定的行\n转到"), "Ctrl+G"},
    {kViewToolbar, "viewToolbar", QT_TRANSLATE_NOOP("Commands", "工具栏(&T)"),
     QT_TRANSLATE_NOOP("Commands", "显示或隐藏工具栏\n显隐工具栏"), ""},
    {kViewStatusBar, "viewStatusBar", QT_TRANSLATE_NOOP("Commands", "状态栏(&S)"),
     QT_TRANSLATE_NOOP("Commands", "显示或隐藏状态栏\n显隐状态栏"), ""},
    {kViewParsePane, "viewParsePane", QT_TRANSLATE_NOOP("Commands", "分析树窗格(&P)"),
     QT_TRANSLATE_NOOP("Commands",
                       "输入格式或取光标所在的行，查看其歧义判断和全部分析树\n分析树窗格"),
     ""},
    {kViewRulesPanel, "viewRulesPanel", QT_TRANSLATE_NOOP("Commands", "规则窗格(&U)"),
     QT_TRANSLATE_NOOP("Commands",
                       "查看上次分析中每条规则的用途，以及去掉规则时分析的结果\n规则窗格"),
     ""},
    {kViewZoomIn, "viewZoomIn", QT_TRANSLATE_NOOP("Commands", "放大(&I)\tCtrl+="),
     QT_TRANSLATE_NOOP("Commands", "放大文字\n放大"), "Ctrl+=; Ctrl++"},
    {kViewZoomOut, "viewZoomOut", QT_TRANSLATE_NOOP("Commands", "缩小(&O)\tCtrl+-"),
     QT_TRANSLATE_NOOP("Commands", "缩小文字\n缩小"), "Ctrl+-"},
    {kViewZoomReset, "viewZoomReset", QT_TRANSLATE_NOOP("Commands", "默认大小(&D)\tCtrl+0"),
     QT_TRANSLATE_NOOP("Commands", "文字恢复默认大小\n默认大小"), "Ctrl+0"},
    {kGenerateReport, "generateReport", QT_TRANSLATE_NOOP("Commands", "生成歧义格式统计报告"),
     QT_TRANSLATE_NOOP("Commands",
                       "根据给定的规则文件，标签文件，格式序列文件，生成歧义格式统计报告文件"),
     "F5"},
    {kViewReport, "viewReport", QT_TRANSLATE_NOOP("Commands", "查看分析报告(&R)"),
     QT_TRANSLATE_NOOP("Commands",
                       "在报告窗口中打开 config.ini 中 RESULT 所指的报告\n查看分析报告"),
     ""},
    {kCompareRules, "compareRules", QT_TRANSLATE_NOOP("Commands", "与规则文件比较(&B)..."),
     QT_TRANSLATE_NOOP("Commands",
                       "用另一个规则文件分析同样的数据，列出与本次分析相比有变化的格式\n"
                       "与规则文件比较"),
     ""},
    {kRunHtmlReport, "runHtmlReport", QT_TRANSLATE_NOOP("Commands", "生成 HTML 报告(&H)"),
     QT_TRANSLATE_NOOP("Commands",
                       "分析时在报告旁另写一份 HTML 报告，完成后在浏览器中打开\n生成 HTML 报告"),
     ""},
    {kRunCsvTable, "runCsvTable", QT_TRANSLATE_NOOP("Commands", "导出 CSV(&C)"),
     QT_TRANSLATE_NOOP("Commands", "分析时在报告旁另写一份 CSV 表格\n导出 CSV"), ""},
    {kWindowNew, "windowNew", QT_TRANSLATE_NOOP("Commands", "新建窗口(&N)"),
     QT_TRANSLATE_NOOP("Commands", "为活动文档打开另一个窗口\n新建窗口"), ""},
    {kWindowCascade, "windowCascade", QT_TRANSLATE_NOOP("Commands", "层叠(&C)"),
     QT_TRANSLATE_NOOP("Commands", "排列窗口成相互重叠\n层叠窗口"), ""},
    {kWindowTile, "windowTile", QT_TRANSLATE_NOOP("Commands", "平铺(&T)"),
     QT_TRANSLATE_NOOP("Commands", "排列窗口成互不重叠\n平铺窗口"), ""},
    {kWindowArrange, "windowArrange", QT_TRANSLATE_NOOP("Commands", "排列图标(&A)"),
     QT_TRANSLATE_NOOP("Commands", "将图标排列在窗口底部\n排列图标"), ""},
    // The main window's, so that the keys work at once on every platform
    // (the window's own menu only shows them).
    {kWindowClose, "windowClose", "", QT_TRANSLATE_NOOP("Commands", "关闭活动窗口\n关闭窗口"),
     "Ctrl+F4; Ctrl+W"},
    // Each document window has one pane: the next pane is the next window.
    {kNextPane, "nextPane", "", QT_TRANSLATE_NOOP("Commands", "切换到下一个窗格\n下一窗格"),
     "F6; Ctrl+F6; Ctrl+Tab"},
    {kPrevPane, "previousPane", "", QT_TRANSLATE_NOOP("Commands", "切换回前一个窗格\n前一窗格"),
     "Shift+F6; Ctrl+Shift+F6; Ctrl+Shift+Tab; Ctrl+Shift+Backtab"},
    {kAppAbout, "appAbout", QT_TRANSLATE_NOOP("Commands", "关于 Marvolen(&A)..."),
     QT_TRANSLATE_NOOP("Commands", "显示程序信息，版本号和版权\n关于"), ""},
};

constexpr std::optional<Command> kToolbarButtons[] = {
    kFileNew,   kFileOpen,    kFileSave,  std::nullopt, kEditCut, kEditCopy,
    kEditPaste, std::nullopt, kFilePrint, std::nullopt, kAppAbout};
constexpr Command kDocumentCommands[] = {kFileSave,         kFileSaveAs, kFilePrint,
                                         kFilePrintPreview, kWindowNew,  kEditReplace};
constexpr Command kWindowCommands[] = {
    kFileClose,        kGenerateReport, kViewReport, kWindowCascade, kWindowTile,
    kWindowArrange,    kNextPane,       kPrevPane,   kEditFind,      kEditFindNext,
    kEditFindPrevious, kEditGoToLine,   kWindowClose};

}  // namespace

std::vector<CommandText> CommandTexts() {
  std::vector<CommandText> texts;
  for (const auto& row : kCommands) {
    const QStringList prompt = Tr(row.prompt).split(QLatin1Char('\n'));
    texts.push_back({row.command, QString::fromLatin1(row.name),
                     *row.text != '\0' ? Tr(row.text) : QString(), prompt[0], prompt.value(1),
                     QString::fromLatin1(row.keys)});
  }
  return texts;
}

std::vector<MenuLayout> Menus() {
  using Shown = MenuLayout::Shown;
  constexpr std::nullopt_t kSeparator = std::nullopt;
  return {
      {Tr(QT_TRANSLATE_NOOP("Commands", "文件(&F)")),
       Shown::kStart,
       {kFileNew, kFileOpen, kSeparator, kFilePrintSetup, kSeparator, kRecentFile1, kSeparator,
        kAppExit}},
      {Tr(QT_TRANSLATE_NOOP("Commands", "文件(&F)")),
       Shown::kDocument,
       {kFileNew, kFileOpen, kFileClose, kFileSave, kFileSaveAs, kSeparator, kFilePrint,
        kFilePrintPreview, kFilePrintSetup, kSeparator, kRecentFile1, kSeparator, kAppExit}},
      {Tr(QT_TRANSLATE_NOOP("Commands", "编辑(&E)")),
       Shown::kDocument,
       {kEditUndo, kSeparator, kEditCut, kEditCopy, kEditPaste, kSeparator, kEditFind,
        kEditFindNext, kEditFindPrevious, kEditReplace, kEditGoToLine}},
      {Tr(QT_TRANSLATE_NOOP("Commands", "查看(&V)")),
       Shown::kAlways,
       {kViewToolbar, kViewStatusBar, kViewParsePane, kViewRulesPanel, kSeparator, kViewZoomIn,
        kViewZoomOut, kViewZoomReset}},
      {Tr(QT_TRANSLATE_NOOP("Commands", "歧义格式分析(&A)")),
       Shown::kDocument,
       {kGenerateReport, kViewReport, kCompareRules, kSeparator, kRunHtmlReport, kRunCsvTable}},
      {Tr(QT_TRANSLATE_NOOP("Commands", "窗口(&W)")),
       Shown::kDocument,
       {kWindowNew, kWindowCascade, kWindowTile, kWindowArrange}},
      {Tr(QT_TRANSLATE_NOOP("Commands", "帮助(&H)")), Shown::kAlways, {kAppAbout}},
  };
}

std::span<const std::optional<Command>> ToolbarButtons() { return kToolbarButtons; }
std::span<const Command> DocumentCommands() { return kDocumentCommands; }
std::span<const Command> WindowCommands() { return kWindowCommands; }

std::map<Command, QAction*> MakeActions(QObject* parent) {
  std::map<Command, QAction*> actions;
  for (const CommandText& command : CommandTexts()) {
    auto* action = new QAction(command.text, parent);
    action->setObjectName(command.name);
    action->setStatusTip(command.statusTip);
    if (!command.toolTip.isEmpty()) action->setToolTip(command.toolTip);
    if (!command.keys.isEmpty()) action->setShortcuts(QKeySequence::listFromString(command.keys));
    actions[command.command] = action;
  }
  for (Command command : {kViewToolbar, kViewStatusBar, kViewParsePane, kViewRulesPanel,
                          kRunHtmlReport, kRunCsvTable})
    actions.at(command)->setCheckable(true);
  return actions;
}

MenuBars MakeMenus(const std::map<Command, QAction*>& actions, QWidget* parent) {
  MenuBars bars;
  auto* style = new MenuStyle;
  style->setParent(parent);
  for (const MenuLayout& layout : Menus()) {
    auto* menu = new QMenu(layout.title, parent);
    menu->setStyle(style);
    for (const std::optional<Command>& command : layout.commands) {
      if (!command) {
        menu->addSeparator();
      } else if (*command == kRecentFile1) {
        for (int i = 0; i < kRecentFileCount; ++i)
          menu->addAction(actions.at(RecentFileCommand(i)));
      } else {
        menu->addAction(actions.at(*command));
      }
    }
    bars.menus.append(menu);
    if (layout.shown != MenuLayout::Shown::kDocument) bars.start.append(menu->menuAction());
    if (layout.shown != MenuLayout::Shown::kStart) bars.document.append(menu->menuAction());
    if (layout.commands.front() == kWindowNew) bars.windowMenu = menu;
  }
  bars.windowMenu->setObjectName(QStringLiteral("windowMenu"));
  return bars;
}

}  // namespace marvolen
