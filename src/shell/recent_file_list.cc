// The recent-file list, kept in config.ini.
#include "shell/recent_file_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "platform/file_system.h"
#include "platform/gbk.h"
#include "platform/profile.h"
#include "platform/profile_update.h"

namespace marvolen {

namespace {

std::string EntryKey(int index) { return "File" + std::to_string(index + 1); }

// True when config.ini is UTF-8: it starts with the UTF-8 byte order mark,
// or it holds bytes above 0x7F and they are valid UTF-8.
bool IsUtf8Profile(const std::string& profilePath) {
  QFile file(QFile::decodeName(QByteArray::fromStdString(profilePath)));
  if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  const std::string_view text(bytes.constData(), bytes.size());
  if (text.substr(0, 3) == "\xEF\xBB\xBF") return true;
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return !ascii && IsValidUtf8(text);
}

// The bytes of `path` as config.ini holds it, or nullopt when it cannot be
// written so that the reader (NativePath) gives back the same file name.
std::optional<std::string> EntryBytes(const QString& path, bool utf8Profile) {
  const std::string name = QFile::encodeName(path).toStdString();
  if (utf8Profile) return NativePath(name) == name ? std::optional<std::string>(name) : std::nullopt;
  std::optional<std::string> gbk = Utf8ToGbk(name);
  // GBK bytes that happen to be valid UTF-8 would be read as UTF-8.
  if (!gbk || NativePath(*gbk) != name) return std::nullopt;
  return gbk;
}

}  // namespace

RecentFileList::RecentFileList(int size) : size_(size) {}

void RecentFileList::ReadList(const std::string& profilePath) {
  const Profile profile = Profile::Load(profilePath);
  entries_.clear();
  for (int i = 0; i < size_; ++i) {
    const std::string value = profile.GetString(kSection, EntryKey(i));
    if (!value.empty()) entries_.append(QFile::decodeName(QByteArray::fromStdString(NativePath(value))));
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
  for (int i = static_cast<int>(updates.size()); i < size_; ++i) updates.push_back({EntryKey(i), std::nullopt});
  if (!UpdateProfileFile(profilePath, kSection, updates, error)) return false;
  stored_ = entries_;
  return true;
}

void RecentFileList::Add(const QString& path) {
  const QString entry = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
  // A name with a line break cannot be kept in a profile file.
  if (entry.contains(QLatin1Char('\n')) || entry.contains(QLatin1Char('\r'))) return;
  entries_.removeAll(entry);
  entries_.prepend(entry);
  while (entries_.size() > size_) entries_.removeLast();
}

void RecentFileList::Remove(int index) {
  if (index >= 0 && index < entries_.size()) entries_.removeAt(index);
}

QString RecentFileList::MenuText(int index) const {
  QString path = entries_.value(index);
  path.replace(QLatin1Char('&'), QLatin1String("&&"));
  return QStringLiteral("&%1 %2").arg(index + 1).arg(path);
}

}  // namespace marvolen
