// The workbench's language: chosen from the environment at start, its texts
// in Chinese or in the built-in English translation, Qt's own dialogs in the
// same language, and the analysis' messages shown as the analysis gives
// them. This program starts with MARVOLEN_LANG=en and LANG=zh_CN.UTF-8.
#include <QDialogButtonBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <cstring>

#include "marvolen_version.h"
#include "shell/analysis_runner.h"
#include "shell/commands.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/start_folder.h"
#include "shell/test_support.h"

namespace marvolen {

namespace {

// The labels' and buttons' texts of `dialog`, in the order of their
// children.
QStringList Texts(const QWidget& dialog) {
  QStringList texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>())
    if (!label->text().isEmpty()) texts.append(label->text());
  for (const QPushButton* button : dialog.findChildren<QPushButton*>())
    texts.append(button->text());
  return texts;
}

}  // namespace

class LanguageTest : public QObject {
  Q_OBJECT

 private slots:
  // Before any other test changes it.
  void startsInTheLanguageMarvolenLangNames() {
    QCOMPARE(App()->language(), Language::kEnglish);
    QCOMPARE(QCoreApplication::translate("Commands", "文件(&F)"), QStringLiteral("&File"));
  }

  void choosesTheLanguageOfTheEnvironment() {
    const QLocale china(QLocale::Chinese, QLocale::China);
    const QLocale taiwan(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale germany(QLocale::German, QLocale::Germany);
    // MARVOLEN_LANG, LC_ALL, LC_MESSAGES, LANG; the system's locale; Chinese?
    const struct {
      const char* variables[4];
      QLocale system;
      bool chinese;
    } kCases[] = {
        {{"", "", "", "zh_CN.UTF-8"}, us, true},
        {{"", "", "", "zh_TW.UTF-8"}, us, true},
        {{"", "", "", "en_US.UTF-8"}, china, false},
        {{"", "", "", "de_DE.UTF-8"}, china, false},
        {{"", "", "", "C.UTF-8"}, china, false},
        {{"", "", "", "POSIX"}, china, false},
        {{"", "", "en_GB", "zh_CN"}, china, false},  // LC_MESSAGES before LANG
        {{"", "", "zh_CN", "en_US"}, us, true},
        {{"", "zh_CN.GB2312", "en_US", "en_US"}, us, true},  // LC_ALL before both
        {{"", "en_US", "zh_CN", "zh_CN"}, china, false},
        {{"", " ", "", "zh_CN"}, us, true},  // set to nothing: as if not set
        {{"zh", "en_US", "en_US", "en_US"}, us, true},
        {{"ZH", "", "", "C"}, us, true},
        {{"en", "zh_CN", "zh_CN", "zh_CN"}, china, false},
        {{"", "", "", ""}, china, true},  // nothing set: the system decides
        {{"", "", "", ""}, taiwan, true},
        {{"", "", "", ""}, us, false},
        {{"", "", "", ""}, germany, false},
    };
    const char* const kNames[] = {"MARVOLEN_LANG", "LC_ALL", "LC_MESSAGES", "LANG"};
    for (const auto& c : kCases) {
      // LANGUAGE (GNU's list of languages) plays no part.
      const auto variable = [&c, &kNames](const char* name) {
        for (int i = 0; i < 4; ++i)
          if (std::strcmp(name, kNames[i]) == 0) return QString::fromLatin1(c.variables[i]);
        return std::strcmp(name, "LANGUAGE") == 0 ? QStringLiteral("en") : QString();
      };
      const QString row = QStringList{c.variables[0], c.variables[1], c.variables[2],
                                      c.variables[3], c.system.name()}
                              .join(QLatin1Char('|'));
      QVERIFY2(ChooseLanguage(variable, c.system) ==
                   (c.chinese ? Language::kChinese : Language::kEnglish),
               qPrintable(row));
    }
  }

  // The menus, the About box and the start dialog in each language; in
  // Chinese exactly as the workbench has always shown them.
  void menusAndDialogs_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QStringList>("menus");
    QTest::addColumn<QString>("generateReport");
    QTest::addColumn<QStringList>("about");
    QTest::addColumn<QStringList>("start");
    const QString version =
        QStringLiteral(MARVOLEN_VERSION_MAJOR) + '.' + QStringLiteral(MARVOLEN_VERSION_MINOR);
    QTest::newRow("Chinese") << Language::kChinese
                             << QStringList{"文件(&F)",         "编辑(&E)", "查看(&V)",
                                            "歧义格式分析(&A)", "窗口(&W)", "帮助(&H)"}
                             << "生成歧义格式统计报告"
                             << QStringList{"关于 Marvolen", "Marvolen " + version + " 版",
                                            "汉语歧义格式分析工作台", "确定"}
                             << QStringList{"打开数据文件夹(&O)...", "新建数据文件夹(&N)...",
                                            "退出(&X)"};
    QTest::newRow("English") << Language::kEnglish << QStringList{"&File",     "&Edit",   "&View",
                                                                  "&Analysis", "&Window", "&Help"}
                             << "Generate Ambiguity Pattern Report"
                             << QStringList{"About Marvolen", "Marvolen Version " + version,
                                            "Chinese ambiguity workbench", "OK"}
                             << QStringList{"&Open Data Folder...", "&New Data Folder...", "E&xit"};
  }

  void menusAndDialogs() {
    QFETCH(Language, language);
    QFETCH(QStringList, menus);
    QFETCH(QString, generateReport);
    QFETCH(QStringList, about);
    QFETCH(QStringList, start);
    App()->SetLanguage(language);
    StartupDir dir;
    dir.WriteExampleSet();
    WorkbenchSession bench(dir);
    QVERIFY(bench.started);
    QStringList titles;
    for (const QAction* menu : bench.window->menuBar()->actions()) titles.append(menu->text());
    QCOMPARE(titles, menus);
    QCOMPARE(bench.window->action(Command::kGenerateReport)->text(), generateReport);

    bench.window->action(Command::kAppAbout)->trigger();
    QCOMPARE(bench.dialogs->modalDialogs.value(0), about.first());
    QCOMPARE(bench.dialogs->modalTexts, about.mid(1));

    // The start dialog's buttons, and its words after the problem given.
    const StartDialog dialog(QStringLiteral("?"), {});
    QStringList buttons;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
      buttons.append(button->text());
    QCOMPARE(buttons, start);
    QCOMPARE(Texts(dialog).first().startsWith(QStringLiteral("?\n请打开")),
             language == Language::kChinese);
  }

  // A label of the About box is as wide as its Chinese text needs: the
  // English one must fit too.
  void theAboutBoxHoldsItsTexts_data() {
    QTest::addColumn<Language>("language");
    QTest::newRow("Chinese") << Language::kChinese;
    QTest::newRow("English") << Language::kEnglish;
  }

  void theAboutBoxHoldsItsTexts() {
    QFETCH(Language, language);
    App()->SetLanguage(language);
    const AboutDialog about(nullptr);
    for (const QLabel* label : about.findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;  // the icon
      QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
               qPrintable(label->text()));
    }
  }

  // Qt's own buttons speak the workbench's language: Chinese from Qt's
  // translation, when the system has it (qt6-translations-l10n).
  void qtsOwnTextsFollow() {
    App()->SetLanguage(Language::kEnglish);
    QCOMPARE(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
             QStringLiteral("Cancel"));
    App()->SetLanguage(Language::kChinese);
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                       QStringLiteral("/qtbase_zh_CN.qm")))
      QSKIP("Qt's Chinese translation is not installed");
    QCOMPARE(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
             QStringLiteral("取消"));
  }

  // The analysis gives its messages in English: the English workbench
  // shows them as given, the Chinese one in Chinese.
  void analysisMessages_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("chinese");
    QTest::newRow("stopped")
        << "The analysis was stopped; the report file was left as it was: r.txt"
        << "分析已停止，报告文件保持原样：r.txt";
    QTest::newRow("output kept") << "The HTML report file was left as it was too: r.html"
                                 << "HTML 报告文件也保持原样：r.html";
    QTest::newRow("output cut") << "The CSV file of parses could not be written completely: p.csv"
                                << "分析树 CSV 文件未能完整写入：p.csv";
    QTest::newRow("report cut") << "Report file could not be written completely: r.txt"
                                << "报告文件未能完整写入：r.txt";
    QTest::newRow("report kept")
        << "The report file was left as it was, as an output of the run could not be written: r.txt"
        << "本次运行有输出未能写入，报告文件保持原样：r.txt";
    QTest::newRow("report is input")
        << "The report file is also an input file and was not overwritten: rules.txt"
        << "报告文件同时是输入文件，未被覆盖：rules.txt";
    QTest::newRow("output is input")
        << "The CSV file is also an input file or another output of the run and was not written: "
           "r.txt; the report is written without it"
        << "CSV 文件同时是输入文件或本次运行的另一输出，未写入：r.txt；报告照常生成，不含该文件";
    QTest::newRow("not created") << "The HTML report file could not be created: %1 x/r.html"
                                 << "无法建立HTML 报告文件：%1 x/r.html";
    QTest::newRow("too many parses")
        << "Too many parses to list for n v n: 1200, more than the limit of 1000; the report "
           "gives their number only"
        << "n v n 的分析树太多（1200，超过上限 1000），报告只给出其数目";
    QTest::newRow("too many, more")
        << "Too many parses to list for 3 more permutations; the report gives their number only"
        << "另有 3 个排列的分析树太多，报告只给出其数目";
    QTest::newRow("one cycle")
        << "One-item rules in Rules_File form a cycle:\n  NP -> N\n  N -> NP\nTo keep the analysis "
           "finite, a one-item rule is not applied to a phrase whose chain of one-item rules "
           "already holds its left tag."
        << "规则文件中的单项规则构成一个循环：\n  NP -> N\n  N -> "
           "NP\n为使分析能够结束，单项规则不用"
           "于其单项规则链中已含有其左部标记的短语。";
    QTest::newRow("cycles") << "One-item rules in Rules_File form 2 cycles:\nA -> B"
                            << "规则文件中的单项规则构成 2 个循环：\nA -> B";
    QTest::newRow("other") << "Data File <tags.txt> Open Error!"
                           << "Data File <tags.txt> Open Error!";
  }

  void analysisMessages() {
    QFETCH(QString, message);
    QFETCH(QString, chinese);
    App()->SetLanguage(Language::kChinese);
    QCOMPARE(WorkbenchMessage(message), chinese);
    App()->SetLanguage(Language::kEnglish);
    QCOMPARE(WorkbenchMessage(message), message);
  }

 private:
  static Workbench* App() { return static_cast<Workbench*>(QCoreApplication::instance()); }
};

}  // namespace marvolen

MARVOLEN_WORKBENCH_TEST_MAIN(marvolen::LanguageTest)
#include "language_test.moc"
