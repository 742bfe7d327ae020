// Finding a text in a line or a whole text, as the find bar asks: with or
// without case, and as a whole word or anywhere. A pattern never holds a
// line break, so a match never spans two lines.
#ifndef MARVOLEN_SHELL_TEXT_SEARCH_H_
#define MARVOLEN_SHELL_TEXT_SEARCH_H_

#include <QString>
#include <QStringView>

namespace marvolen {

struct SearchPattern {
  QString text;
  bool matchCase = false;
  // A whole word has no letter, digit or underscore right before or after
  // it (Chinese characters are letters: 名词 is not a whole word of 名词性).
  bool wholeWord = false;

  bool empty() const { return text.isEmpty(); }
  bool operator==(const SearchPattern&) const = default;
};

// The start of the first match of `pattern` in `text` that starts at or
// after `from`; backward, of the last match that starts before `from`. -1
// when there is none (always for an empty pattern).
qsizetype FindMatch(QStringView text, const SearchPattern& pattern, qsizetype from,
                    bool backward = false);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_TEXT_SEARCH_H_
