// Byte-preserving updates of one section of a profile file.
#include "ini/profile_update.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "ini/profile_line.h"
#include "platform/file_system.h"
#include "platform/replace_file.h"

namespace marvolen {

namespace {

namespace fs = std::filesystem;

// One line of the content: [begin, textEnd) is the text, [textEnd, end) its
// line ending ("\n", "\r\n" or nothing for a last line without one).
struct Line {
  std::size_t begin;
  std::size_t textEnd;
  std::size_t end;
};

// Lines end at LF, CR LF or a lone CR, as the profile reader sees them.
std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t end = content.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.push_back({pos, content.size(), content.size()});
      break;
    }
    std::size_t next = end + 1;
    if (content[end] == '\r' && next < content.size() && content[next] == '\n') ++next;
    lines.push_back({pos, end, next});
    pos = next;
  }
  return lines;
}

// The name of a section header line, or nullopt for other lines.
std::optional<std::string_view> SectionName(std::string_view text) {
  const ProfileLine line = ClassifyProfileLine(text);
  if (line.kind != ProfileLine::kSection) return std::nullopt;
  return line.name;
}

// The key of a line ("key=value", or a whole line without "="), or nullopt
// for blank lines, comments and headers.
std::optional<std::string_view> KeyName(std::string_view text) {
  const ProfileLine line = ClassifyProfileLine(text);
  if (line.kind != ProfileLine::kKey || line.comment) return std::nullopt;
  return line.name;
}

// A NUL byte would end the name or value early for the reader.
constexpr std::string_view kLineBreakOrNul("\r\n\0", 3);

bool Writable(const ProfileKeyUpdate& u) {
  if (TrimProfileSpace(u.key).empty() || u.key.find_first_of("=[;") != std::string::npos ||
      u.key.find_first_of(kLineBreakOrNul) != std::string::npos) {
    return false;
  }
  if (TrimProfileSpace(u.key) != u.key) return false;
  return !u.value || u.value->find_first_of(kLineBreakOrNul) == std::string::npos;
}

// The line "key=value" for an update that sets a value. A value that the
// reader would not give back as it is (blanks at either end, which it drops,
// or a pair of quotes around it, which it removes) is written in double
// quotes, which the reader removes again.
std::string KeyLine(const ProfileKeyUpdate& u) {
  const std::string& v = *u.value;
  if (ProfileValueNeedsQuotes(v)) return u.key + "=\"" + v + "\"";
  return u.key + "=" + v;
}

}  // namespace

std::string UpdateProfileText(std::string_view content, std::string_view section,
                              const std::vector<ProfileKeyUpdate>& updates) {
  std::vector<ProfileKeyUpdate> valid;
  // A section name with a line break or a NUL cannot stand in a header line,
  // and one with a "]" would end at that "]".
  if (section.find_first_of(kLineBreakOrNul) != std::string_view::npos ||
      section.find(']') != std::string_view::npos) {
    return std::string(content);
  }
  section = TrimProfileSpace(section);
  for (const ProfileKeyUpdate& u : updates)
    if (Writable(u)) valid.push_back(u);

  std::vector<Line> lines = SplitLines(content);
  // A UTF-8 byte order mark is no part of the first line's text.
  if (!lines.empty() && content.substr(0, 3) == "\xEF\xBB\xBF") lines[0].begin += 3;
  auto text = [&](const Line& l) { return content.substr(l.begin, l.textEnd - l.begin); };
  std::string eol = "\r\n";
  for (const Line& l : lines) {
    if (l.end > l.textEnd) {
      eol = std::string(content.substr(l.textEnd, l.end - l.textEnd));
      break;
    }
  }

  // Find the section: its header line and the lines up to the next header.
  std::size_t header = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(text(lines[i]));
    if (name && ProfileNameMatches(*name, section)) {
      header = i;
      break;
    }
  }

  if (header == lines.size()) {
    std::string added;
    for (const ProfileKeyUpdate& u : valid)
      if (u.value) added += KeyLine(u) + eol;
    std::string out(content);
    if (added.empty()) return out;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += eol;
    out += "[" + std::string(section) + "]" + eol + added;
    return out;
  }

  std::size_t sectionEnd = header + 1;
  while (sectionEnd < lines.size() && !SectionName(text(lines[sectionEnd]))) ++sectionEnd;

  // Decide, line by line, what becomes of the section's key lines.
  std::vector<std::optional<std::string>> replacement(lines.size());  // text without ending
  std::vector<bool> removed(lines.size(), false);
  std::size_t lastKeyLine = header;
  for (std::size_t i = header + 1; i < sectionEnd; ++i)
    if (KeyName(text(lines[i]))) lastKeyLine = i;
  std::string appended;
  for (const ProfileKeyUpdate& u : valid) {
    bool seen = false;
    for (std::size_t i = header + 1; i < sectionEnd; ++i) {
      const auto key = KeyName(text(lines[i]));
      if (!key || !ProfileNameMatches(*key, u.key) || removed[i]) continue;
      if (u.value && !seen) {
        replacement[i] = KeyLine(u);
      } else {
        removed[i] = true;
      }
      seen = true;
    }
    if (u.value && !seen) appended += KeyLine(u) + eol;
  }

  std::string out;
  out.reserve(content.size() + appended.size() + 64);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    if (!removed[i]) {
      if (replacement[i]) {
        if (i == 0) out += content.substr(0, l.begin);  // a byte order mark
        out += *replacement[i];
        out += content.substr(l.textEnd, l.end - l.textEnd);
      } else {
        const std::size_t from = i == 0 ? 0 : l.begin;  // keeps a byte order mark
        out += content.substr(from, l.end - from);
      }
    }
    if (i == lastKeyLine && !appended.empty()) {
      if (l.end == l.textEnd) out += eol;  // the last line had no ending
      out += appended;
    }
  }
  return out;
}

bool UpdateProfileFile(const std::string& path, std::string_view section,
                       const std::vector<ProfileKeyUpdate>& updates, std::string* error) {
  auto fail = [&](const std::string& what) {
    if (error != nullptr) *error = what;
    return false;
  };
  std::error_code ec;
  fs::path target = FileSystemPath(path);
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::canonical(target, ec);
    if (ec) return fail(path + ": cannot follow the link: " + ec.message());
    target = resolved;
  }
  const std::string targetText = PathText(target);

  std::string content;
  const bool exists = fs::exists(target, ec);
  if (exists) {
    UniqueFile in = OpenFile(targetText, "rb");
    if (in == nullptr) return fail(targetText + ": cannot be read");
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) content.append(buffer, n);
    if (std::ferror(in.get()) != 0) return fail(targetText + ": cannot be read");
  }

  if (content.size() >= 2 && ((content[0] == '\xFF' && content[1] == '\xFE') ||
                              (content[0] == '\xFE' && content[1] == '\xFF')))
    return fail(targetText + ": a UTF-16 file is not rewritten");
  const std::string updated = UpdateProfileText(content, section, updates);
  if (exists && updated == content) return true;
  if (!exists && updated.empty()) return true;

  // Written beside the file, synced, then put in its place: the old file
  // is never truncated, and stays whole whatever fails.
  return ReplaceFileContents(targetText, updated, error);
}

}  // namespace marvolen
