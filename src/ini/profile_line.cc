// The classification of a profile file's lines.
#include "ini/profile_line.h"

namespace marvolen {

namespace {

// A name or value ends at a NUL byte, as a C string does.
std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsQuotedPair(std::string_view value) {
  return value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front();
}

}  // namespace

bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view TrimProfileSpace(std::string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

ProfileLine ClassifyProfileLine(std::string_view line) {
  ProfileLine out;
  line = TrimProfileSpace(line);
  if (line.empty()) return out;
  if (line.front() == '[') {
    out.kind = ProfileLine::kSection;
    const std::string_view inside = line.substr(1);
    out.name = UpToNul(TrimProfileSpace(inside.substr(0, inside.find(']'))));
    return out;
  }
  out.kind = ProfileLine::kKey;
  out.comment = line.front() == ';';
  const std::size_t eq = line.find('=');
  out.name = UpToNul(TrimProfileSpace(line.substr(0, eq)));
  if (eq != std::string_view::npos) out.value = UpToNul(TrimProfileSpace(line.substr(eq + 1)));
  return out;
}

bool ProfileNameMatches(std::string_view inFile, std::string_view query) {
  const std::string_view a = inFile;
  const std::string_view b = TrimProfileSpace(query);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (static_cast<unsigned char>(a[i]) >= 0x80) {
      if (a[i] != b[i]) return false;
      if (i + 1 < a.size()) {
        ++i;
        if (a[i] != b[i]) return false;
      }
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

std::string_view UnquoteProfileValue(std::string_view value) {
  return IsQuotedPair(value) ? value.substr(1, value.size() - 2) : value;
}

bool ProfileValueNeedsQuotes(std::string_view value) {
  return !value.empty() &&
         (IsProfileSpace(value.front()) || IsProfileSpace(value.back()) || IsQuotedPair(value));
}

}  // namespace marvolen
