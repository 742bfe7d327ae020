// The workbench's file utilities: reading a plain file whole with a size
// limit and messages for the person, the paths config.ini gives, and the
// stamp that tells when another program has changed a file.
#ifndef MARVOLEN_SHELL_FILE_IO_H_
#define MARVOLEN_SHELL_FILE_IO_H_

#include <QDateTime>
#include <QString>
#include <string>

#include "platform/file_system.h"

namespace marvolen {

// Open the plain file at `path` for reading, refusing anything else (a FIFO
// or a device, before a byte is read). Null with `error` (a message for the
// person) set when it cannot be opened.
UniqueFile OpenForReading(const QString& path, QString* error);
// The message for a read of `path` that failed with the system's
// `errorNumber`.
QString ReadFailure(const QString& path, int errorNumber);

// Read the plain file at `path` whole into `bytes`, refusing anything else (a
// FIFO or a device, before a byte is read) and a file of more than
// `maxBytes` bytes ("该文件太大，无法打开。"). False with `error` (a message for
// the person) set when it cannot be read.
bool ReadFileBytes(const QString& path, qint64 maxBytes, std::string* bytes, QString* error);

// "这不是一个普通文件（而是文件夹、设备或管道）。": why a folder, a device or a
// pipe is neither read nor written.
QString NotPlainFileText();

// A path as config.ini gives it (its bytes: GBK or UTF-8), taken relative to
// `startupDir`; "" for an empty value.
QString ConfiguredPath(const std::string& startupDir, const std::string& value);

// The size and time of change of a file, to tell when another program has
// changed it; equal to a default stamp when the file is missing.
struct DiskStamp {
  qint64 size = -1;
  QDateTime modified;
  static DiskStamp Of(const QString& path);
  bool operator==(const DiskStamp&) const = default;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_FILE_IO_H_
