// The recent-file list of the 文件 menu: four entries, most recent first,
// kept in config.ini as File1..File4 of section "Recent File List".
//
// Writing the list back changes nothing else in the file, and nothing at all
// when the list is as it was read. Entries are written in the file's own
// encoding, so that config.ini keeps one: UTF-8 in a UTF-8 file, GBK (the
// data files' encoding) in a GBK or plain ASCII one.
#ifndef MARVOLEN_SHELL_RECENT_FILE_LIST_H_
#define MARVOLEN_SHELL_RECENT_FILE_LIST_H_

#include <QStringList>
#include <string>

namespace marvolen {

class RecentFileList {
 public:
  // Read the entries from config.ini (missing entries are skipped).
  void ReadList(const std::string& profilePath);
  // Write the entries back when they changed since ReadList or the last
  // WriteList. An entry that cannot be written in the file's encoding so
  // that it reads back as the same path (a name GBK cannot hold, say) is
  // left out of the file. False with `error` set when the file could not be
  // updated.
  bool WriteList(const std::string& profilePath, std::string* error);

  // Put `path` at the top (moving it up when it is already listed).
  void Add(const QString& path);
  void Remove(int index);

  const QStringList& entries() const { return entries_; }
  // The menu text of entry `index`: "&1 path" with "&" doubled in the path.
  QString MenuText(int index) const;

 private:
  QStringList entries_;
  QStringList stored_;  // as in config.ini
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_RECENT_FILE_LIST_H_
