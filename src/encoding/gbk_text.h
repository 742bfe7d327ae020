// Lossless conversion between the bytes of a GBK data file and the UTF-16
// text an editor shows.
//
// Every valid GBK character becomes its Unicode character. Every byte that is
// not part of one (a byte 0x80-0xFF that starts no defined GBK character, a
// lead byte cut off at the end of the file, a stray CR) becomes a code point
// of its own in the private-use range U+F700-U+F7FF, which encodes back to
// exactly that byte. Line ends become '\n'; the file's convention (LF or
// CR LF) is remembered and restored on encoding, so that a file decoded and
// encoded again without edits is byte-identical, whatever it holds.
#ifndef MARVOLEN_ENCODING_GBK_TEXT_H_
#define MARVOLEN_ENCODING_GBK_TEXT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace marvolen {

enum class LineEnding {
  kLf,    // a line end is one LF byte
  kCrLf,  // a line end is CR LF
};

// The first code point of the range that stands for raw bytes: byte b is
// kRawByteBase + b.
constexpr char16_t kRawByteBase = 0xF700;

struct EditableText {
  std::u16string text;  // lines separated by u'\n'
  LineEnding lineEnding = LineEnding::kCrLf;
};

// Decode file bytes. The line convention is CR LF when the file holds more
// CR LF pairs than lone LFs, else LF. A line end of the other kind, and any
// CR that is not part of a CR LF line end, is kept as a raw byte.
EditableText DecodeGbkText(std::string_view bytes);

// Why an encoding failed: the index in the text of the first character that
// GBK cannot represent, and that character.
struct GbkEncodeError {
  std::size_t index = 0;
  char32_t character = 0;
};

// Encode editor text. u'\n', U+2028 (line separator) and U+2029 (paragraph
// separator) are line ends and become `lineEnding`; a raw-byte code point
// becomes its byte. Returns nullopt and fills `error` (when given) when the
// text holds a character GBK cannot represent.
std::optional<std::string> EncodeGbkText(std::u16string_view text, LineEnding lineEnding,
                                         GbkEncodeError* error = nullptr);

}  // namespace marvolen

#endif  // MARVOLEN_ENCODING_GBK_TEXT_H_
