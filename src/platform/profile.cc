// Profile file reader.
#include "platform/profile.h"

#include <cstdint>
#include <cstdio>

namespace marvolen {

namespace {

// The white space of a profile line: ASCII blanks, line ends and ^Z.
bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' ||
         c == '\x1a';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimBack(std::string_view s) {
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimFront(std::string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  return s;
}

// A name or value ends at a NUL byte, as a C string does.
std::string UpToNul(std::string_view s) {
  const std::size_t nul = s.find('\0');
  return std::string(nul == std::string_view::npos ? s : s.substr(0, nul));
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Compare two names without regard to ASCII case. A byte of 0x80 or more
// starts a two-byte character (GBK) or is part of a UTF-8 sequence; it and
// the byte after it are compared exactly.
bool SameName(std::string_view a, std::string_view b) {
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

void AppendUtf8(std::uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// UTF-16 text (without its byte order mark) as UTF-8. A surrogate without its
// partner becomes U+FFFD; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> std::uint32_t {
    const auto b0 = static_cast<unsigned char>(bytes[2 * i]);
    const auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
    return bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
  };
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const std::uint32_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00), out);
        ++i;
        continue;
      }
    }
    AppendUtf8((u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u, out);
  }
  return out;
}

// Remove a pair of equal quotes around a value longer than one byte.
std::string Unquote(const std::string& value) {
  if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

Profile Profile::FromBytes(std::string_view bytes) {
  std::string decoded;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
  } else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    decoded = Utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE');
    bytes = decoded;
  }

  Profile profile;
  profile.sections_.push_back(Section{false, "", {}});
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = Trim(bytes.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty()) continue;

    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        profile.sections_.push_back(Section{true, UpToNul(line.substr(1, close - 1)), {}});
        continue;
      }
      // A "[" line without "]" is read as a key line.
    }

    Key key;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      key.name = UpToNul(line);
    } else {
      key.name = UpToNul(TrimBack(line.substr(0, eq)));
      key.value = UpToNul(TrimFront(line.substr(eq + 1)));
    }
    profile.sections_.back().keys.push_back(std::move(key));
  }
  return profile;
}

Profile Profile::Load(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return Profile();
  std::string data;
  char buf[8192];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return Profile();
  Profile profile = FromBytes(data);
  profile.loaded_ = true;
  return profile;
}

std::string Profile::GetString(std::string_view section, std::string_view key) const {
  section = Trim(section);
  key = Trim(key);
  for (const Section& s : sections_) {
    if (!s.named || !SameName(s.name, section)) continue;
    // Only the first section of the name is searched.
    for (const Key& k : s.keys) {
      if (SameName(k.name, key)) return Unquote(k.value);
    }
    return "";
  }
  return "";
}

}  // namespace marvolen
