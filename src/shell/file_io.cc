// The workbench's file utilities. Files are read through the platform
// layer, which refuses what is no plain file.
#include "shell/file_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>

#include "platform/file_system.h"

namespace marvolen {

namespace {

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

}  // namespace

QString NotPlainFileText() {
  return QCoreApplication::translate("FileIo", "这不是一个普通文件（而是文件夹、设备或管道）。");
}

UniqueFile OpenForReading(const QString& path, QString* error) {
  const QFileInfo info(path);
  if (!info.exists()) {
    *error =
        QCoreApplication::translate("FileIo", "%1\n找不到该文件。\n请确认路径和文件名是否正确。")
            .arg(Shown(path));
    return nullptr;
  }
  // A FIFO would block the read, a device feed it without end.
  if (!info.isFile()) {
    *error = QCoreApplication::translate("FileIo", "%1\n无法打开该文件：%2")
                 .arg(Shown(path), NotPlainFileText());
    return nullptr;
  }
  errno = 0;
  UniqueFile file = OpenPlainFileForReading(path.toStdString());
  if (file == nullptr) {
    const QString reason = errno != 0 ? qt_error_string(errno) : NotPlainFileText();
    *error =
        QCoreApplication::translate("FileIo", "%1\n无法打开该文件：%2").arg(Shown(path), reason);
  }
  return file;
}

QString ReadFailure(const QString& path, int errorNumber) {
  return QCoreApplication::translate("FileIo", "%1\n读取该文件时出错：%2")
      .arg(Shown(path), qt_error_string(errorNumber));
}

bool ReadFileBytes(const QString& path, qint64 maxBytes, std::string* bytes, QString* error) {
  const QFileInfo info(path);
  if (info.size() > maxBytes) {
    *error = QCoreApplication::translate("FileIo", "该文件太大，无法打开。");
    return false;
  }
  const UniqueFile file = OpenForReading(path, error);
  if (file == nullptr) return false;
  // One byte more than allowed tells a file that is too big, even one that
  // grows while it is read.
  bytes->clear();
  bytes->reserve(static_cast<std::size_t>(info.size()));
  char block[65536];
  std::size_t n = 0;
  while (static_cast<qint64>(bytes->size()) <= maxBytes &&
         (n = std::fread(block, 1, sizeof block, file.get())) > 0)
    bytes->append(block, n);
  if (std::ferror(file.get()) != 0) {
    *error = ReadFailure(path, errno);
    return false;
  }
  if (static_cast<qint64>(bytes->size()) > maxBytes) {
    *error = QCoreApplication::translate("FileIo", "该文件太大，无法打开。");
    return false;
  }
  return true;
}

QString ConfiguredPath(const std::string& startupDir, const std::string& value) {
  if (value.empty()) return QString();
  const QDir dir(QString::fromStdString(startupDir));
  return QDir::toNativeSeparators(
      QDir::cleanPath(dir.absoluteFilePath(QString::fromStdString(NativePath(value)))));
}

DiskStamp DiskStamp::Of(const QString& path) {
  const QFileInfo info(path);
  return info.exists() ? DiskStamp{info.size(), info.lastModified()} : DiskStamp();
}

}  // namespace marvolen
