// Splitting a report text at its conversions.
#include "analysis/text_pattern.h"

#include <stdexcept>

#include "encoding/gbk.h"

namespace marvolen {

TextPattern::TextPattern(std::string_view utf8) {
  std::string piece;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '%' && i + 1 < utf8.size() &&
        (utf8[i + 1] == 'd' || utf8[i + 1] == 's' || utf8[i + 1] == 'f')) {
      pieces_.push_back(Gbk(piece));
      piece.clear();
      ++i;
    } else {
      piece += utf8[i];
    }
  }
  pieces_.push_back(Gbk(piece));
}

void TextPattern::AppendTo(std::string& out, std::initializer_list<std::string_view> values) const {
  if (values.size() + 1 != pieces_.size()) {
    throw std::logic_error("report text filled with the wrong number of values");
  }
  out += pieces_.front();
  std::size_t k = 1;
  for (std::string_view value : values) {
    out += value;
    out += pieces_[k++];
  }
}

}  // namespace marvolen
