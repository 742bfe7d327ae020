// The workbench's resources as data.
#include "shell/resources.h"

#include <map>

#include "shell/command_ids.h"

namespace marvolen {

namespace {

const MenuItemResource kSeparator = {nullptr, ID_SEPARATOR};

}  // namespace

const std::vector<PopupResource>& MenuResource(int resourceId) {
  static const std::vector<PopupResource> kMainMenu = {
      {"文件(&F)",
       {{"新建(&N)\tCtrl+N", ID_FILE_NEW},
        {"打开(&O)...\tCtrl+O", ID_FILE_OPEN},
        kSeparator,
        {"打印设置(&R)...", ID_FILE_PRINT_SETUP},
        kSeparator,
        {"最近文件", ID_FILE_MRU_FILE1},
        kSeparator,
        {"退出(&X)", ID_APP_EXIT}}},
      {"查看(&V)", {{"工具栏(&T)", ID_VIEW_TOOLBAR}, {"状态栏(&S)", ID_VIEW_STATUS_BAR}}},
      {"帮助(&H)", {{"关于 Marvolen(&A)...", ID_APP_ABOUT}}},
  };
  static const std::vector<PopupResource> kDocumentMenu = {
      {"文件(&F)",
       {{"新建(&N)\tCtrl+N", ID_FILE_NEW},
        {"打开(&O)...\tCtrl+O", ID_FILE_OPEN},
        {"关闭(&C)", ID_FILE_CLOSE},
        {"保存(&S)\tCtrl+S", ID_FILE_SAVE},
        {"另存为(&A)...", ID_FILE_SAVE_AS},
        kSeparator,
        {"打印(&P)...\tCtrl+P", ID_FILE_PRINT},
        {"打印预览(&V)", ID_FILE_PRINT_PREVIEW},
        {"打印设置(&R)...", ID_FILE_PRINT_SETUP},
        kSeparator,
        {"最近文件", ID_FILE_MRU_FILE1},
        kSeparator,
        {"退出(&X)", ID_APP_EXIT}}},
      {"编辑(&E)",
       {{"撤消(&U)\tCtrl+Z", ID_EDIT_UNDO},
        kSeparator,
        {"剪切(&T)\tCtrl+X", ID_EDIT_CUT},
        {"复制(&C)\tCtrl+C", ID_EDIT_COPY},
        {"粘贴(&P)\tCtrl+V", ID_EDIT_PASTE}}},
      {"查看(&V)", {{"工具栏(&T)", ID_VIEW_TOOLBAR}, {"状态栏(&S)", ID_VIEW_STATUS_BAR}}},
      {"歧义格式分析(&A)", {{"生成歧义格式统计报告", ID_GENERATE_REPORT}}},
      {"窗口(&W)",
       {{"新建窗口(&N)", ID_WINDOW_NEW},
        {"层叠(&C)", ID_WINDOW_CASCADE},
        {"平铺(&T)", ID_WINDOW_TILE_HORZ},
        {"排列图标(&A)", ID_WINDOW_ARRANGE}}},
      {"帮助(&H)", {{"关于 Marvolen(&A)...", ID_APP_ABOUT}}},
  };
  static const std::vector<PopupResource> kNone;
  if (resourceId == IDR_MAINFRAME) return kMainMenu;
  if (resourceId == IDR_MARVOTYPE) return kDocumentMenu;
  return kNone;
}

const std::vector<AcceleratorResource>& AcceleratorTable() {
  static const std::vector<AcceleratorResource> kTable = {
      {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
      {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
      {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
      {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
      {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
      {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
      {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
      {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
      {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
      {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
      {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
      {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
      {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
      {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
  };
  return kTable;
}

const std::vector<int>& ToolbarResource() {
  static const std::vector<int> kButtons = {
      ID_FILE_NEW, ID_FILE_OPEN,  ID_FILE_SAVE,  ID_SEPARATOR,  ID_EDIT_CUT, ID_EDIT_COPY,
      ID_EDIT_PASTE, ID_SEPARATOR, ID_FILE_PRINT, ID_SEPARATOR, ID_APP_ABOUT,
  };
  return kButtons;
}

const std::vector<int>& StatusIndicators() {
  static const std::vector<int> kIndicators = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                               ID_INDICATOR_SCRL};
  return kIndicators;
}

QString LoadString(int id) {
  static const std::map<int, const char*> kStrings = {
      {IDR_MAINFRAME, "Marvolen"},
      {IDR_MARVOTYPE, "\nMarvo\nMarvo\n\n\nMarvolen.Document\nMarvo Document"},
      {AFX_IDS_APP_TITLE, "Marvolen"},
      {AFX_IDS_IDLEMESSAGE, "就绪"},
      {ID_INDICATOR_CAPS, "大写"},
      {ID_INDICATOR_NUM, "数字"},
      {ID_INDICATOR_SCRL, "滚动"},
      {ID_GENERATE_REPORT, "根据给定的规则文件，标签文件，格式序列文件，生成歧义格式统计报告文件"},
      {ID_FILE_NEW, "建立新文档\n新建"},
      {ID_FILE_OPEN, "打开一个现有文档\n打开"},
      {ID_FILE_CLOSE, "关闭活动文档\n关闭"},
      {ID_FILE_SAVE, "保存活动文档\n保存"},
      {ID_FILE_SAVE_AS, "将活动文档以一个新文件名保存\n另存为"},
      {ID_FILE_PRINT_SETUP, "改变打印机及打印选项\n打印设置"},
      {ID_FILE_PRINT, "打印活动文档\n打印"},
      {ID_FILE_PRINT_PREVIEW, "显示整页\n打印预览"},
      {ID_EDIT_COPY, "复制被选对象并将其置于剪贴板上\n复制"},
      {ID_EDIT_CUT, "剪切被选对象并将其置于剪贴板上\n剪切"},
      {ID_EDIT_PASTE, "插入剪贴板内容\n粘贴"},
      {ID_EDIT_UNDO, "撤消最后一步操作\n撤消"},
      {ID_WINDOW_NEW, "为活动文档打开另一个窗口\n新建窗口"},
      {ID_WINDOW_ARRANGE, "将图标排列在窗口底部\n排列图标"},
      {ID_WINDOW_CASCADE, "排列窗口成相互重叠\n层叠窗口"},
      {ID_WINDOW_TILE_HORZ, "排列窗口成互不重叠\n平铺窗口"},
      {ID_APP_ABOUT, "显示程序信息，版本号和版权\n关于"},
      {ID_APP_EXIT, "退出应用程序；提示保存文档\n退出"},
      {ID_NEXT_PANE, "切换到下一个窗格\n下一窗格"},
      {ID_PREV_PANE, "切换回前一个窗格\n前一窗格"},
      {ID_VIEW_TOOLBAR, "显示或隐藏工具栏\n显隐工具栏"},
      {ID_VIEW_STATUS_BAR, "显示或隐藏状态栏\n显隐状态栏"},
  };
  if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) return QStringLiteral("打开该文档");
  const auto it = kStrings.find(id);
  return it == kStrings.end() ? QString() : QString::fromUtf8(it->second);
}

QString PromptFor(int id) { return LoadString(id).section(QLatin1Char('\n'), 0, 0); }

QString TooltipFor(int id) {
  const QString s = LoadString(id);
  const qsizetype lf = s.indexOf(QLatin1Char('\n'));
  return lf < 0 ? QString() : s.mid(lf + 1);
}

}  // namespace marvolen
