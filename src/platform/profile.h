// Reading values from a profile file ("config.ini"), the way the Windows
// private-profile reader (GetPrivateProfileStringA) reads the files people
// write by hand.
//
// The file is read whole. A UTF-8 byte order mark at its start is skipped; a
// UTF-16 file (with its byte order mark) is read as its UTF-8 text. Lines end
// at CR or LF. On each line leading and trailing white space (blank, tab, CR,
// LF, VT, FF and ^Z) is dropped and empty lines are ignored. A line that
// starts with "[" and holds a "]" is a section header; the name runs from
// after the "[" to the last "]" of the line, blanks included. Every other line
// is a key: the name is the text before the first "=", without the blanks
// around it, and the value the text after it, without leading blanks. A line
// without "=" is a key without a value. Lines before the first section belong
// to a nameless section that no lookup finds. A line starting with ";" is a
// key like any other, whose name ";..." no lookup asks for: so comment lines
// are ignored, but a "; comment" after a value is part of the value.
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
#ifndef MARVOLEN_PLATFORM_PROFILE_H_
#define MARVOLEN_PLATFORM_PROFILE_H_

#include <string>
#include <string_view>
#include <vector>

namespace marvolen {

class Profile {
 public:
  // An empty profile: every lookup gives the empty string.
  Profile() = default;

  // Parse the bytes of a profile file.
  static Profile FromBytes(std::string_view bytes);

  // Read and parse the file at `path`. A file that cannot be read gives an
  // empty profile with loaded() false.
  static Profile Load(const std::string& path);

  // True when the profile was read from an existing, readable file.
  bool loaded() const { return loaded_; }

  // The value of `key` in section `section`, or the empty string.
  std::string GetString(std::string_view section, std::string_view key) const;

 private:
  struct Key {
    std::string name;
    std::string value;  // empty also for a key line without "="
  };
  struct Section {
    bool named = true;  // false for the lines before the first header
    std::string name;
    std::vector<Key> keys;
  };

  std::vector<Section> sections_;
  bool loaded_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_PLATFORM_PROFILE_H_
