// Byte-preserving updates of one section of a profile (.ini) file.
//
// The workbench keeps its recent-file list in the user's config.ini. Writing
// it back must not disturb anything else in that file: other sections, the
// keys of the same section that are not being set, comments, blank lines,
// the line endings and the encoding all stay byte for byte as they were.
//
// Lines are seen exactly as the profile reader sees them (one classifier,
// platform/profile_line.h, serves both): the name asked for is trimmed, ASCII
// case does not matter, names in the file are taken without the blanks
// around them ("[ DATA ]" is DATA), a section name ends at the first "]",
// and a NUL byte ends a name. When a section name occurs more than once, the
// first one is the one read and the one updated.
#ifndef MARVOLEN_INI_PROFILE_UPDATE_H_
#define MARVOLEN_INI_PROFILE_UPDATE_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marvolen {

// One key to set (a value) or to remove (nullopt).
struct ProfileKeyUpdate {
  std::string key;
  std::optional<std::string> value;
};

// Return `content` with the keys of `section` set or removed:
// - a key that is set replaces the first line of that key in the section
//   ("key=value"); later lines of the same key in the section are removed;
// - a key that is set but absent gets a new line after the section's last
//   key line (or right after the section header when it has no key);
// - a removed key loses every line of it in the section;
// - a section that is missing is appended at the end of the content, unless
//   nothing is to be set in it.
// New lines take the line ending of the file (its first line ending, "\r\n"
// when it has none). Every other byte is kept. A value with blanks at either
// end, or enclosed in a pair of quotes, is written in double quotes, so that
// the reader gives it back exactly.
// Keys or values that hold a CR, a LF, a NUL or (for keys) '=', '[' or ';'
// cannot be written as a profile line; such updates are ignored, and so is
// every update when the section name holds a CR, a LF, a NUL or a "]".
std::string UpdateProfileText(std::string_view content, std::string_view section,
                              const std::vector<ProfileKeyUpdate>& updates);

// Apply UpdateProfileText to the file at `path`. A missing file counts as
// empty. Nothing is written when the content does not change. The new content
// is written to a temporary file in the same directory, which then replaces
// the file (the old file is never truncated; its permissions are kept; a
// symbolic link is followed, not replaced; a read-only file is not
// replaced: see FileReplacement). On failure returns false and
// sets `error` (English, for a message), leaving the file as it was.
bool UpdateProfileFile(const std::string& path, std::string_view section,
                       const std::vector<ProfileKeyUpdate>& updates, std::string* error);

}  // namespace marvolen

#endif  // MARVOLEN_INI_PROFILE_UPDATE_H_
