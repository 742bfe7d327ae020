// The language of the workbench's own texts. They are written in Chinese;
// an English translation is built in. The analysis' messages and the
// reports are data and stay as they are in every language.
#ifndef MARVOLEN_SHELL_LANGUAGE_H_
#define MARVOLEN_SHELL_LANGUAGE_H_

#include <QLocale>
#include <QString>
#include <functional>

namespace marvolen {

enum class Language { kChinese, kEnglish };

// The language for the environment that `variable` reads (a variable's
// value, "" when it is not set) on a system of locale `system`:
// MARVOLEN_LANG when set, else the locale of messages (LC_ALL, LC_MESSAGES,
// LANG: the first one set, as POSIX orders them), else the system's.
// Chinese for a name beginning with "zh", English for any other.
Language ChooseLanguage(const std::function<QString(const char*)>& variable, const QLocale& system);

// The language of this process' environment and system.
Language EnvironmentLanguage();

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_LANGUAGE_H_
