// Reading values from a profile file ("config.ini"), the way the Windows
// private-profile reader (GetPrivateProfileStringA) reads the files people
// write by hand.
//
// The file is read whole. A UTF-8 byte order mark at its start is skipped; a
// UTF-16 file (with its byte order mark) is read as its UTF-8 text. Lines end
// at CR or LF and are seen as platform/profile_line.h says: "[DATA]",
// "[ DATA ]" and "[DATA" head section DATA, "key = value" is a key, a line
// starting with ";" is a comment. Lines before the first section belong to
// no section and no lookup finds them.
//
// Lookup trims the queried names and compares names without regard to ASCII
// case (a byte of 0x80 or more and the byte after it are compared exactly, so
// the second byte of a GBK character is never folded). Only the first section
// of a name is searched, and its first key of the name wins, even when that
// key has no value. A value that starts and ends with the same quote (' or ")
// and is longer than one byte loses both quotes. A missing file, section or
// key gives the empty string. Values are bytes: GBK or UTF-8, they come back
// as they are in the file (a NUL byte ends a name or value, as it ends the C
// string the Windows reader returns).
//
// The profile keeps the file's text and reads it again at each lookup, so a
// huge file costs its own size and no more.
#ifndef MARVOLEN_INI_PROFILE_H_
#define MARVOLEN_INI_PROFILE_H_

#include <string>
#include <string_view>
#include <utility>

namespace marvolen {

class Profile {
 public:
  // An empty profile: every lookup gives the empty string.
  Profile() = default;

  // Parse the bytes of a profile file.
  static Profile FromBytes(std::string_view bytes);

  // Read and parse the file at `path`. A file that cannot be read, or that is
  // no plain file (a pipe, which would wait for a writer; a device, which
  // may never end), gives an empty profile with loaded() false.
  static Profile Load(const std::string& path);

  // True when the profile was read from an existing, readable file.
  bool loaded() const { return loaded_; }

  // The value of `key` in section `section`, or the empty string.
  std::string GetString(std::string_view section, std::string_view key) const;

 private:
  explicit Profile(std::string text) : text_(std::move(text)) {}

  // The profile of a file's bytes, which it takes over.
  static Profile FromText(std::string bytes);

  // The text of the file: its bytes without a UTF-8 byte order mark, or the
  // UTF-8 text of a UTF-16 file.
  std::string text_;
  bool loaded_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_INI_PROFILE_H_
