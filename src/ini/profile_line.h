// How one line of a profile file ("config.ini") is seen: the one place that
// says what a section header, a key, a name and a value are, shared by the
// profile reader and the updater of the recent-file list, so that the two
// can never disagree about a line.
//
// A line is trimmed of white space (blank, tab, CR, LF, VT, FF and ^Z); an
// empty line is blank. A line starting with "[" is a section header: the
// name runs from after the "[" to the first "]", or to the end of the line
// when there is none, without the white space around it ("[ DATA ]" and
// "[DATA" are both DATA, "[DATA]x]" is DATA). Every other line is a key: the
// name is the text before the first "=" without white space around it, the
// value the text after it without white space around it; a line without "="
// is a key without a value. A key line starting with ";" is a comment: a key
// whose name no lookup asks for. A NUL byte ends a name or value, as it ends
// the C string the Windows reader returns.
#ifndef MARVOLEN_INI_PROFILE_LINE_H_
#define MARVOLEN_INI_PROFILE_LINE_H_

#include <string_view>

namespace marvolen {

struct ProfileLine {
  enum Kind { kBlank, kSection, kKey };
  Kind kind = kBlank;
  std::string_view name;   // of the section or key, as a lookup compares it
  std::string_view value;  // of a key, quotes still on; empty without "="
  bool comment = false;    // a key line that starts with ";"
};

// The white space of a profile line.
bool IsProfileSpace(char c);
std::string_view TrimProfileSpace(std::string_view s);

// Classify one line (its text, without its line ending).
ProfileLine ClassifyProfileLine(std::string_view line);

// Whether a name in the file (as ClassifyProfileLine gives it) answers a
// lookup of `query`: the query is trimmed, then the two match without regard
// to ASCII case. A byte of 0x80 or more and the byte after it (a GBK
// character) are compared exactly, so a second byte is never case-folded.
bool ProfileNameMatches(std::string_view inFile, std::string_view query);

// A value as a lookup gives it: a pair of equal quotes (" or ') around a
// value longer than one byte is removed.
std::string_view UnquoteProfileValue(std::string_view value);

// True when a value written as it is would not come back unchanged: it has
// white space at either end (dropped) or a pair of quotes around it
// (removed). Such a value is written in double quotes.
bool ProfileValueNeedsQuotes(std::string_view value);

}  // namespace marvolen

#endif  // MARVOLEN_INI_PROFILE_LINE_H_
