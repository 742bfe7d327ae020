// The Marvolen document and its view. Files are read and written through
// POSIX calls, which tell why they fail.
#include "shell/marvolen_doc.h"

#include <QtWidgets>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marvolen {

namespace {

const char kNotPlainFile[] = "这不是一个普通文件（而是文件夹、设备或管道）。";

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

// Open `path` for reading if it is a plain file; else the reason. The file
// is opened without blocking and checked before a byte is read, so that a
// FIFO (which would block) or a device (which never ends) is refused.
QString OpenPlainFile(const QString& path, QFile* file) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return qt_error_string(errno);
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
    return QString();
  ::close(fd);
  return QString::fromUtf8(kNotPlainFile);
}

// Write `bytes` and flush them to the disk (a full disk may only show
// there); the system's reason when that fails. (Qt reports a write that
// fails part-way as "unknown error".)
QString WriteToDisk(QFileDevice& file, const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(file.handle(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return qt_error_string(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  return ::fsync(file.handle()) == 0 ? QString() : qt_error_string(errno);
}

}  // namespace

CMarvolenDoc::CMarvolenDoc(const QString& title, QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), title_(title) {
  text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
  connect(text_, &QTextDocument::modificationChanged, this, &CMarvolenDoc::changed);
}

void CMarvolenDoc::SetPath(const QString& path) {
  path_ = Shown(QFileInfo(path).absoluteFilePath());
  title_ = QFileInfo(path).fileName();
  emit changed();
}

bool CMarvolenDoc::Load(const QString& path, QString* error) {
  QFile file;
  const bool exists = QFileInfo::exists(path);
  const QString reason = exists ? OpenPlainFile(path, &file) : QString();
  // One byte more than allowed tells a file that is too big, even one that
  // grows while it is read.
  const QByteArray bytes =
      file.isOpen() && file.size() <= kMaxFileSize ? file.read(kMaxFileSize + 1) : QByteArray();
  if (!exists) {
    *error = QStringLiteral("%1\n找不到该文件。\n请确认路径和文件名是否正确。").arg(Shown(path));
  } else if (!reason.isEmpty()) {
    *error = QStringLiteral("%1\n无法打开该文件：%2").arg(Shown(path), reason);
  } else if (file.size() > kMaxFileSize || bytes.size() > kMaxFileSize) {
    *error = QStringLiteral("该文件太大，无法打开。");
  } else if (file.error() != QFileDevice::NoError) {
    *error = QStringLiteral("%1\n读取该文件时出错：%2").arg(Shown(path), file.errorString());
  } else {
    const EditableText decoded = DecodeGbkText(std::string_view(bytes.constData(), bytes.size()));
    lineEnding_ = decoded.lineEnding;
    text_->setPlainText(QString::fromStdU16String(decoded.text));
    text_->clearUndoRedoStacks();
    text_->setModified(false);
    SetPath(path);
    return true;
  }
  return false;
}

std::optional<std::string> CMarvolenDoc::Bytes(QString* error) const {
  GbkEncodeError bad;
  auto bytes = EncodeGbkText(text_->toRawText().toStdU16String(), lineEnding_, &bad);
  if (!bytes) {
    const char32_t c = bad.character;
    *error = QStringLiteral("%1 第 %2 行含有 GBK 编码无法表示的字符“%3”（U+%4）")
                 .arg(title_)
                 .arg(text_->findBlock(static_cast<int>(bad.index)).blockNumber() + 1)
                 .arg(QString::fromUcs4(&c, 1),
                      QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0')));
  }
  return bytes;
}

bool CMarvolenDoc::Save(const QString& path, QString* error) {
  const auto bytes = Bytes(error);
  if (!bytes) {
    *error += QStringLiteral("，文件未保存。");
    return false;
  }
  *error = QStringLiteral("无法保存文件 %1。\n").arg(Shown(path));
  if (QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
    *error += QString::fromUtf8(kNotPlainFile);
    return false;
  }
  // The content must be complete and on the disk before commit() replaces
  // the old file: Qt 6.4's commit() ignores a failed flush of buffered bytes.
  QSaveFile file(path);
  QString reason = file.open(QIODevice::WriteOnly) ? WriteToDisk(file, *bytes) : file.errorString();
  if (reason.isEmpty() && !file.commit()) reason = file.errorString();
  if (!reason.isEmpty()) {
    file.cancelWriting();
    *error += reason;
    return false;
  }
  error->clear();
  text_->setModified(false);
  SetPath(path);
  return true;
}

CMarvolenView::CMarvolenView(CMarvolenDoc* document) : document_(document) {
  QFont font;
  font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setStyleHint(QFont::TypeWriter);
  setFont(font);
  PreCreateWindow();
  setDocument(document->text());
  document->text()->setDefaultFont(font);
  ++document->views_;
}

CMarvolenView::~CMarvolenView() {
  if (document_ != nullptr && --document_->views_ == 0) document_->deleteLater();
}

void CMarvolenView::PreCreateWindow() {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

}  // namespace marvolen
