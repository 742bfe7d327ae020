// A report text with printf-style conversions ("%d", "%s", "%f"), kept as the
// GBK pieces between them and filled by concatenation: the values are never
// read as formats, so a "%" in a tag, an item or a title is copied as it is.
#ifndef MARVOLEN_ANALYSIS_TEXT_PATTERN_H_
#define MARVOLEN_ANALYSIS_TEXT_PATTERN_H_

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace marvolen {

class TextPattern {
 public:
  // An empty text.
  TextPattern() : pieces_(1) {}
  // `utf8` is one of the program's own texts; it is converted to GBK once.
  explicit TextPattern(std::string_view utf8);

  // Append the text with its conversions replaced, in order, by `values`
  // (numbers already formatted). There must be one value per conversion.
  void AppendTo(std::string& out, std::initializer_list<std::string_view> values) const;

  // The text without conversions (for texts that have none).
  const std::string& text() const { return pieces_.front(); }

 private:
  std::vector<std::string> pieces_;  // one more than the conversions
};

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_TEXT_PATTERN_H_
