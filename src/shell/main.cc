// marvolen: the workbench. Starts in the current directory, which must hold
// config.ini naming the rules file to open.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "shell/marvolen_app.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Marvolen"));
  // Qt's own dialogs (file, print) speak Simplified Chinese like the rest.
  QTranslator translator;
  if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&translator);

  marvolen::CMarvolenApp app(QApplication::arguments());
  if (!app.InitInstance()) {
    app.ExitInstance();
    return 1;
  }
  const int code = QApplication::exec();
  const int exitCode = app.ExitInstance();
  return code != 0 ? code : exitCode;
}
