// Profile file reader.
#include "ini/profile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "ini/profile_line.h"
#include "platform/file_system.h"

namespace marvolen {

namespace {

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

}  // namespace

Profile Profile::FromText(std::string bytes) {
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    bytes.erase(0, 3);
  } else if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
    bytes = Utf16ToUtf8(std::string_view(bytes).substr(2), bytes[0] == '\xFE');
  }
  return Profile(std::move(bytes));
}

Profile Profile::FromBytes(std::string_view bytes) { return FromText(std::string(bytes)); }

Profile Profile::Load(const std::string& path) {
  UniqueFile file = OpenPlainFileForReading(path);
  if (file == nullptr) return Profile();
  std::string data;
  std::error_code ec;
  // A hint: the file may change.
  const auto size = std::filesystem::file_size(FileSystemPath(path), ec);
  if (!ec) data.reserve(static_cast<std::size_t>(size));
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, file.get())) > 0) data.append(buf, n);
  if (std::ferror(file.get()) != 0) return Profile();
  Profile profile = FromText(std::move(data));
  profile.loaded_ = true;
  return profile;
}

std::string Profile::GetString(std::string_view section, std::string_view key) const {
  const std::string_view text = text_;
  bool inSection = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const ProfileLine line = ClassifyProfileLine(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.kind == ProfileLine::kSection) {
      // Only the first section of the name is searched.
      if (inSection) return "";
      inSection = ProfileNameMatches(line.name, section);
    } else if (inSection && line.kind == ProfileLine::kKey && ProfileNameMatches(line.name, key)) {
      return std::string(UnquoteProfileValue(line.value));
    }
  }
  return "";
}

}  // namespace marvolen
