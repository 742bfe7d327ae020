// The Marvolen document.
#include "shell/marvolen_doc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace marvolen {

namespace {

const char kNotPlainFile[] = "这不是一个普通文件（而是文件夹、设备或管道）。";

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

// "“X”（U+XXXX）" for a character named in a message.
QString CharacterName(char32_t c) {
  return QStringLiteral("“%1”（U+%2）")
      .arg(QString::fromUcs4(&c, 1), QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

// Open `path` for reading, but only when it is a plain file. On Unix the file
// is opened without blocking and checked before anything is read, so that a
// FIFO (which would block) or a device put in its place is refused too.
bool OpenPlainFile(const QString& path, QFile* file, QString* reason) {
#ifdef Q_OS_UNIX
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *reason = qt_error_string(errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *reason = QString::fromUtf8(kNotPlainFile);
    ::close(fd);
    return false;
  }
  return file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
#else
  file->setFileName(path);
  if (!QFileInfo(path).isFile()) *reason = QString::fromUtf8(kNotPlainFile);
  else if (!file->open(QIODevice::ReadOnly)) *reason = file->errorString();
  return reason->isEmpty();
#endif
}

// Write `bytes` to the file and flush them to the disk (a full disk may only
// show there); the system's reason when that fails.
QString WriteToDisk(QFileDevice& file, const std::string& bytes) {
#ifdef Q_OS_UNIX
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(file.handle(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return qt_error_string(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(file.handle()) != 0) return qt_error_string(errno);
#else
  const auto size = static_cast<qint64>(bytes.size());
  if (file.write(bytes.data(), size) != size || !file.flush()) return file.errorString();
#endif
  return QString();
}

}  // namespace

CMarvolenDoc::CMarvolenDoc(const QString& title, QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), title_(title) {
  text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
  connect(text_, &QTextDocument::modificationChanged, this, &CMarvolenDoc::changed);
}

bool CMarvolenDoc::isModified() const { return text_->isModified(); }

void CMarvolenDoc::RemoveView() {
  if (--views_ == 0) deleteLater();
}

void CMarvolenDoc::SetPath(const QString& path) {
  path_ = Shown(QFileInfo(path).absoluteFilePath());
  title_ = QFileInfo(path).fileName();
  emit changed();
}

bool CMarvolenDoc::Load(const QString& path, QString* error) {
  const QString shown = Shown(path);
  if (!QFileInfo::exists(path)) {
    *error = QStringLiteral("%1\n找不到该文件。\n请确认路径和文件名是否正确。").arg(shown);
    return false;
  }
  QFile file;
  QString reason;
  if (!OpenPlainFile(path, &file, &reason)) {
    *error = QStringLiteral("%1\n无法打开该文件：%2").arg(shown, reason);
    return false;
  }
  // One byte more than allowed tells a file that is too big, even one that
  // grows while it is read.
  const QByteArray bytes = file.size() > kMaxFileSize ? QByteArray() : file.read(kMaxFileSize + 1);
  if (file.size() > kMaxFileSize || bytes.size() > kMaxFileSize) {
    *error = QStringLiteral("该文件太大，无法打开。");
    return false;
  }
  if (file.error() != QFileDevice::NoError) {
    *error = QStringLiteral("%1\n读取该文件时出错：%2").arg(shown, file.errorString());
    return false;
  }
  const EditableText decoded = DecodeGbkText(std::string_view(bytes.constData(), bytes.size()));
  lineEnding_ = decoded.lineEnding;
  text_->setPlainText(QString::fromStdU16String(decoded.text));
  text_->clearUndoRedoStacks();
  text_->setModified(false);
  SetPath(path);
  return true;
}

bool CMarvolenDoc::Save(const QString& path, QString* error) {
  const QString raw = text_->toRawText();
  GbkEncodeError bad;
  const auto bytes = EncodeGbkText(
      std::u16string_view(reinterpret_cast<const char16_t*>(raw.utf16()), raw.size()), lineEnding_, &bad);
  if (!bytes) {
    const QTextBlock block = text_->findBlock(static_cast<int>(bad.index));
    *error = QStringLiteral("%1 第 %2 行含有 GBK 编码无法表示的字符%3，文件未保存。")
                 .arg(title_)
                 .arg(block.blockNumber() + 1)
                 .arg(CharacterName(bad.character));
    return false;
  }
  const QString failed = QStringLiteral("无法保存文件 %1。\n").arg(Shown(path));
  const QFileInfo target(path);
  if (target.exists() && !target.isFile()) {
    *error = failed + QString::fromUtf8(kNotPlainFile);
    return false;
  }
  // QSaveFile::commit() replaces the file even when the last buffered bytes
  // could not be written (Qt 6.4 ignores a failed flush there), so the new
  // content must be complete and on the disk before it is called.
  QSaveFile file(path);
  QString reason = file.open(QIODevice::WriteOnly) ? WriteToDisk(file, *bytes) : file.errorString();
  if (reason.isEmpty() && !file.commit()) reason = file.errorString();
  if (!reason.isEmpty()) {
    file.cancelWriting();
    *error = failed + reason;
    return false;
  }
  text_->setModified(false);
  SetPath(path);
  return true;
}

}  // namespace marvolen
