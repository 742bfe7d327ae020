// A document. Files are written through the platform layer, which replaces
// a file only once its new content is complete on the disk.
#include "shell/document.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <cstring>

#include "platform/replace_file.h"

namespace marvolen {

namespace {

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The cause of a failure reported by the platform layer, whose messages end
// in it after the last ": ": the system's reason for what failed (as
// strerror words it; Qt has the person's words for several), or the layer's
// own.
QString CauseOf(const std::string& error) {
  const QString text = QString::fromStdString(error);  // UTF-8 on every system
  const QString cause = text.mid(text.lastIndexOf(QLatin1String(": ")) + 1).trimmed();
  if (cause == QLatin1String("not a plain file")) return NotPlainFileText();
  if (cause == QLatin1String("the file may not be written"))
    return QCoreApplication::translate("Document", "该文件不允许写入（只读）。");
  for (int number = 1; number < 256; ++number)
    if (cause == QString::fromLocal8Bit(std::strerror(number))) return qt_error_string(number);
  return cause;
}
QByteArray Digest(const std::string& bytes) {
  return QCryptographicHash::hash(QByteArrayView(bytes.data(), std::ssize(bytes)),
                                  QCryptographicHash::Sha256);
}
}  // namespace

Document::Document(const QString& title, QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), title_(title) {
  text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
  connect(text_, &QTextDocument::modificationChanged, this, &Document::changed);
}

void Document::SetPath(const QString& path) {
  path_ = Shown(QFileInfo(path).absoluteFilePath());
  title_ = QFileInfo(path).fileName();
  stamp_ = noticed_ = DiskStamp::Of(path_);
  emit changed();
}

bool Document::Load(const QString& path, QString* error) {
  std::string bytes;
  if (!ReadFileBytes(path, kMaxFileSize, &bytes, error)) return false;
  const EditableText decoded = DecodeGbkText(bytes);
  lineEnding_ = decoded.lineEnding;
  text_->setPlainText(QString::fromStdU16String(decoded.text));
  text_->clearUndoRedoStacks();
  text_->setModified(false);
  digest_ = Digest(bytes);
  SetPath(path);
  return true;
}

std::optional<std::string> Document::Bytes(QString* error) const {
  GbkEncodeError bad;
  auto bytes = EncodeGbkText(text_->toRawText().toStdU16String(), lineEnding_, &bad);
  if (!bytes) {
    const char32_t c = bad.character;
    *error = QCoreApplication::translate("Document",
                                         "%1 第 %2 行含有 GBK 编码无法表示的字符“%3”（U+%4）")
                 .arg(title_)
                 .arg(text_->findBlock(static_cast<int>(bad.index)).blockNumber() + 1)
                 .arg(QString::fromUcs4(&c, 1),
                      QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0')));
  }
  return bytes;
}

bool Document::Save(const QString& path, QString* error) {
  const auto bytes = Bytes(error);
  if (!bytes) {
    *error += QCoreApplication::translate("Document", "，文件未保存。");
    return false;
  }
  *error = QCoreApplication::translate("Document", "无法保存文件 %1。\n").arg(Shown(path));
  if (QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
    *error += NotPlainFileText();
    return false;
  }
  std::string failure;
  if (!ReplaceFileContents(path.toStdString(), *bytes, &failure)) {
    *error += CauseOf(failure);
    return false;
  }
  error->clear();
  text_->setModified(false);
  digest_ = Digest(*bytes);
  SetPath(path);
  return true;
}

bool Document::ChangedOnDisk() const {
  if (path_.isEmpty()) return false;
  const DiskStamp now = DiskStamp::Of(path_);
  return now.size >= 0 && !(now == noticed_);
}

bool Document::OverwritesChange() const {
  if (path_.isEmpty() || !QFileInfo(path_).isFile() || DiskStamp::Of(path_) == stamp_) return false;
  // Touched or replaced by the same bytes is no change.
  std::string bytes;
  QString error;
  return !ReadFileBytes(path_, kMaxFileSize, &bytes, &error) || Digest(bytes) != digest_;
}

bool Document::NoticeGone() {
  const bool gone = GoneFromDisk(), news = gone && !goneNoticed_;
  goneNoticed_ = gone;
  return news;
}
}  // namespace marvolen
