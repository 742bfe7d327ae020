// Finding a text.
#include "shell/text_search.h"

namespace marvolen {

namespace {

bool IsWordCharacter(QChar c) { return c.isLetterOrNumber() || c.isMark() || c == u'_'; }

bool IsWholeWord(QStringView text, qsizetype start, qsizetype length) {
  const qsizetype end = start + length;
  return (start == 0 || !IsWordCharacter(text[start - 1])) &&
         (end == text.size() || !IsWordCharacter(text[end]));
}

}  // namespace

qsizetype FindMatch(QStringView text, const SearchPattern& pattern, qsizetype from, bool backward) {
  if (pattern.empty()) return -1;
  const Qt::CaseSensitivity cs = pattern.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
  const qsizetype length = pattern.text.size();
  if (!backward) {
    for (qsizetype at = std::max<qsizetype>(from, 0); at <= text.size() - length; ++at) {
      at = text.indexOf(pattern.text, at, cs);
      if (at < 0) return -1;
      if (!pattern.wholeWord || IsWholeWord(text, at, length)) return at;
    }
    return -1;
  }
  // lastIndexOf takes the last position a match may start at.
  for (qsizetype at = std::min(from, text.size() - length + 1) - 1; at >= 0; --at) {
    at = text.lastIndexOf(pattern.text, at, cs);
    if (at < 0) return -1;
    if (!pattern.wholeWord || IsWholeWord(text, at, length)) return at;
  }
  return -1;
}

}  // namespace marvolen
