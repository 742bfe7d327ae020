// The language of the workbench's own texts.
#include "shell/language.h"

#include <QtGlobal>

namespace marvolen {

Language ChooseLanguage(const std::function<QString(const char*)>& variable,
                        const QLocale& system) {
  for (const char* name : {"MARVOLEN_LANG", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = variable(name).trimmed();
    if (!value.isEmpty())
      return value.startsWith(QLatin1String("zh"), Qt::CaseInsensitive) ? Language::kChinese
                                                                        : Language::kEnglish;
  }
  return system.language() == QLocale::Chinese ? Language::kChinese : Language::kEnglish;
}

Language EnvironmentLanguage() {
  return ChooseLanguage([](const char* name) { return qEnvironmentVariable(name); },
                        QLocale::system());
}

}  // namespace marvolen
