// The recent-file list, kept in the profile file.
#include "shell/recent_file_list.h"

#include <QDir>
#include <QFileInfo>

#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/profile_update.h"

namespace marvolen {

namespace {

std::string EntryKey(int index) { return "File" + std::to_string(index + 1); }

QString Normalized(const QString& path) {
  return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

}  // namespace

RecentFileList::RecentFileList(int size) : size_(size) {}

void RecentFileList::ReadList(const std::string& profilePath) {
  const Profile profile = Profile::Load(profilePath);
  entries_.clear();
  for (int i = 0; i < size_; ++i) {
    const std::string value = profile.GetString(kSection, EntryKey(i));
    if (value.empty()) continue;
    entries_.append(QString::fromStdString(NativePath(value)));
  }
  stored_ = entries_;
}

bool RecentFileList::WriteList(const std::string& profilePath, std::string* error) {
  if (entries_ == stored_) return true;
  std::vector<ProfileKeyUpdate> updates;
  for (int i = 0; i < size_; ++i) {
    ProfileKeyUpdate u{EntryKey(i), std::nullopt};
    if (i < entries_.size()) u.value = entries_[i].toStdString();
    updates.push_back(std::move(u));
  }
  if (!UpdateProfileFile(profilePath, kSection, updates, error)) return false;
  stored_ = entries_;
  return true;
}

void RecentFileList::Add(const QString& path) {
  const QString entry = Normalized(path);
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
