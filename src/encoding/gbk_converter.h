// The system's converter between GBK and UTF-8, on which the GBK functions
// of gbk.h and gbk_text.h are built: iconv off Windows (gbk_converter_iconv.cc),
// code page 936 of the Windows API on Windows (gbk_converter_windows.cc).
//
// Both know exactly the same characters. Code page 936 also gives characters
// of the private use area (U+E000-U+F8FF) to the two-byte codes GBK leaves to
// users and takes U+F8F5 for the byte 0xFF, none of which iconv's GBK
// defines; the Windows converter refuses those codes and characters, so that
// a data file reads, shows and saves the same on every system.
#ifndef MARVOLEN_ENCODING_GBK_CONVERTER_H_
#define MARVOLEN_ENCODING_GBK_CONVERTER_H_

#include <memory>
#include <string>
#include <string_view>

namespace marvolen {

class GbkConverter {
 public:
  GbkConverter();
  ~GbkConverter();
  GbkConverter(const GbkConverter&) = delete;
  GbkConverter& operator=(const GbkConverter&) = delete;

  // Convert all of `gbk` to UTF-8 into `out`; false when any byte cannot be
  // converted (`out` then holds no meaningful text).
  bool ToUtf8(std::string_view gbk, std::string& out);

  // Convert all of `utf8`, which must be valid UTF-8, to GBK into `out`;
  // false when any character has no GBK code.
  bool FromUtf8(std::string_view utf8, std::string& out);

 private:
  struct State;  // what the system's converter keeps between calls
  std::unique_ptr<State> state_;
};

}  // namespace marvolen

#endif  // MARVOLEN_ENCODING_GBK_CONVERTER_H_
