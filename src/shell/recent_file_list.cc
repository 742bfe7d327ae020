// The recent-file list, kept in config.ini.
#include "shell/recent_file_list.h"

#include <QtCore>
#include <algorithm>
#include <optional>

#include "encoding/gbk.h"
#include "ini/profile.h"
#include "ini/profile_update.h"
#include "platform/file_system.h"
#include "shell/commands.h"

namespace marvolen {

namespace {

const char kSection[] = "Recent File List";

std::string EntryKey(int index) { return "File" + std::to_string(index + 1); }

// True when config.ini is UTF-8: it starts with the UTF-8 byte order mark,
// or it holds bytes above 0x7F and they are valid UTF-8.
bool IsUtf8Profile(const std::string& profilePath) {
  QFile file(QString::fromStdString(profilePath));
  const QByteArray bytes =
      QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  const std::string_view text(bytes.constData(), bytes.size());
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return text.substr(0, 3) == "\xEF\xBB\xBF" || (!ascii && IsValidUtf8(text));
}

// The bytes of `path` as config.ini holds it, or nullopt when it cannot be
// written so that the reader (NativePath) gives back the same file name.
std::optional<std::string> EntryBytes(const QString& path, bool utf8Profile) {
  const std::string name = path.toStdString();
  // GBK bytes that happen to be valid UTF-8 would be read as UTF-8.
  std::optional<std::string> bytes = utf8Profile ? name : Utf8ToGbk(name);
  return bytes && NativePath(*bytes) == name ? bytes : std::nullopt;
}

}  // namespace

void RecentFileList::ReadList(const std::string& profilePath) {
  const Profile profile = Profile::Load(profilePath);
  entries_.clear();
  for (int i = 0; i < kRecentFileCount; ++i) {
    const std::string value = profile.GetString(kSection, EntryKey(i));
    if (!value.empty()) entries_.append(QString::fromStdString(NativePath(value)));
  }
  stored_ = entries_;
}

bool RecentFileList::WriteList(const std::string& profilePath, std::string* error) {
  if (entries_ == stored_) return true;
  const bool utf8 = IsUtf8Profile(profilePath);
  std::vector<ProfileKeyUpdate> updates;
  for (const QString& entry : entries_)
    if (std::optional<std::string> bytes = EntryBytes(entry, utf8))
      updates.push_back({EntryKey(static_cast<int>(updates.size())), std::move(bytes)});
  for (int i = static_cast<int>(updates.size()); i < kRecentFileCount; ++i)
    updates.push_back({EntryKey(i), std::nullopt});
  if (!UpdateProfileFile(profilePath, kSection, updates, error)) return false;
  stored_ = entries_;
  return true;
}

void RecentFileList::Add(const QString& path) {
  const QString entry =
      QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
  // A name with a line break cannot be kept in a profile file.
  if (entry.contains(QLatin1Char('\n')) || entry.contains(QLatin1Char('\r'))) return;
  entries_.removeAll(entry);
  entries_.prepend(entry);
  while (entries_.size() > kRecentFileCount) entries_.removeLast();
}

void RecentFileList::Remove(int index) {
  if (index >= 0 && index < entries_.size()) entries_.removeAt(index);
}

QString RecentFileList::MenuText(int index) const {
  return QStringLiteral("&%1 %2").arg(index + 1).arg(
      QString(entries_.value(index)).replace('&', "&&"));
}

}  // namespace marvolen
