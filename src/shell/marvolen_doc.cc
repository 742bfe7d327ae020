// The Marvolen document and its view. Files are read and written through
// the platform layer, which refuses what is no plain file and replaces a
// file only once its new content is complete on the disk.
#include "shell/marvolen_doc.h"

#include <QtWidgets>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_system.h"
#include "platform/replace_file.h"

namespace marvolen {

namespace {

const char kNotPlainFile[] = "这不是一个普通文件（而是文件夹、设备或管道）。";

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The cause of a failure reported by the platform layer, whose messages end
// in it after the last ": ": the system's reason for what failed (as
// strerror words it; Qt has the person's words for several), or the layer's
// own.
QString CauseOf(const std::string& error) {
  const QString text = QString::fromStdString(error);  // UTF-8 on every system
  const QString cause = text.mid(text.lastIndexOf(QLatin1String(": ")) + 1).trimmed();
  if (cause == QLatin1String("not a plain file")) return QString::fromUtf8(kNotPlainFile);
  if (cause == QLatin1String("the file may not be written"))
    return QStringLiteral("该文件不允许写入（只读）。");
  for (int number = 1; number < 256; ++number)
    if (cause == QString::fromLocal8Bit(std::strerror(number))) return qt_error_string(number);
  return cause;
}

QByteArray Digest(const std::string& bytes) {
  return QCryptographicHash::hash(QByteArrayView(bytes.data(), std::ssize(bytes)),
                                  QCryptographicHash::Sha256);
}

}  // namespace

UniqueFile OpenForReading(const QString& path, QString* error) {
  const QFileInfo info(path);
  if (!info.exists()) {
    *error = QStringLiteral("%1\n找不到该文件。\n请确认路径和文件名是否正确。").arg(Shown(path));
    return nullptr;
  }
  // A FIFO would block the read, a device feed it without end.
  if (!info.isFile()) {
    *error =
        QStringLiteral("%1\n无法打开该文件：%2").arg(Shown(path), QString::fromUtf8(kNotPlainFile));
    return nullptr;
  }
  errno = 0;
  UniqueFile file = OpenPlainFileForReading(path.toStdString());
  if (file == nullptr) {
    const QString reason = errno != 0 ? qt_error_string(errno) : QString::fromUtf8(kNotPlainFile);
    *error = QStringLiteral("%1\n无法打开该文件：%2").arg(Shown(path), reason);
  }
  return file;
}

QString ReadFailure(const QString& path, int errorNumber) {
  return QStringLiteral("%1\n读取该文件时出错：%2").arg(Shown(path), qt_error_string(errorNumber));
}

bool ReadFileBytes(const QString& path, qint64 maxBytes, std::string* bytes, QString* error) {
  if (QFileInfo(path).size() > maxBytes) {
    *error = QStringLiteral("该文件太大，无法打开。");
    return false;
  }
  const UniqueFile file = OpenForReading(path, error);
  if (file == nullptr) return false;
  // One byte more than allowed tells a file that is too big, even one that
  // grows while it is read.
  bytes->clear();
  bytes->reserve(static_cast<std::size_t>(QFileInfo(path).size()));
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
    *error = QStringLiteral("该文件太大，无法打开。");
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

CMarvolenDoc::CMarvolenDoc(const QString& title, QObject* parent)
    : QObject(parent), text_(new QTextDocument(this)), title_(title) {
  text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
  connect(text_, &QTextDocument::modificationChanged, this, &CMarvolenDoc::changed);
}

void CMarvolenDoc::SetPath(const QString& path) {
  path_ = Shown(QFileInfo(path).absoluteFilePath());
  title_ = QFileInfo(path).fileName();
  stamp_ = noticed_ = DiskStamp::Of(path_);
  emit changed();
}

bool CMarvolenDoc::Load(const QString& path, QString* error) {
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

bool CMarvolenDoc::ChangedOnDisk() const {
  if (path_.isEmpty()) return false;
  const DiskStamp now = DiskStamp::Of(path_);
  return now.size >= 0 && !(now == noticed_);
}

bool CMarvolenDoc::OverwritesChange() const {
  if (path_.isEmpty() || !QFileInfo(path_).isFile() || DiskStamp::Of(path_) == stamp_)
    return false;
  // Touched or replaced by the same bytes is no change.
  std::string bytes;
  QString error;
  return !ReadFileBytes(path_, kMaxFileSize, &bytes, &error) || Digest(bytes) != digest_;
}

bool CMarvolenDoc::NoticeGone() {
  const bool gone = GoneFromDisk(), news = gone && !goneNoticed_;
  goneNoticed_ = gone;
  return news;
}

QFont TextFont(int points) {
  QFont font;
  // A fixed-pitch font whose Chinese characters are two columns wide, so that
  // the columns of a rules file line up: Noto's where it is installed, 新宋体
  // (NSimSun) on Chinese Windows, else the system's fixed font.
  font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("NSimSun"),
                    QStringLiteral("Noto Sans CJK SC"),
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setStyleHint(QFont::TypeWriter);
  if (points > 0) font.setPointSize(points);
  return font;
}

CMarvolenView::CMarvolenView(CMarvolenDoc* document) : document_(document) {
  setFont(TextFont(0));
  PreCreateWindow();
  setDocument(document->text());
  document->text()->setDefaultFont(font());
  ++document->views_;
  // The marks follow the text in sight.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CMarvolenView::MarkMatchesInSight);
  connect(this, &QPlainTextEdit::textChanged, this, &CMarvolenView::MarkMatchesInSight);
}

CMarvolenView::~CMarvolenView() {
  if (document_ != nullptr && --document_->views_ == 0) document_->deleteLater();
}

void CMarvolenView::PreCreateWindow() {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

bool CMarvolenView::Find(const SearchPattern& pattern, bool backward, bool* wrapped) {
  // Positions in the raw text are the document's (blocks end in U+2029).
  const QString text = document()->toRawText();
  const QTextCursor cursor = textCursor();
  qsizetype at = FindMatch(text, pattern,
                           backward ? cursor.selectionStart() : cursor.selectionEnd(), backward);
  *wrapped = at < 0;
  if (at < 0) at = FindMatch(text, pattern, backward ? text.size() : 0, backward);
  if (at < 0) return false;
  QTextCursor match(document());
  match.setPosition(static_cast<int>(at));
  match.setPosition(static_cast<int>(at + pattern.text.size()), QTextCursor::KeepAnchor);
  setTextCursor(match);
  centerCursor();
  return true;
}

void CMarvolenView::Highlight(const SearchPattern& pattern) {
  highlighted_ = pattern;
  MarkMatchesInSight();
}

void CMarvolenView::MarkMatchesInSight() {
  QList<QTextEdit::ExtraSelection> marks;
  const qreal bottom = viewport()->height();
  for (QTextBlock block = firstVisibleBlock();
       !highlighted_.empty() && block.isValid() &&
       blockBoundingGeometry(block).translated(contentOffset()).top() <= bottom;
       block = block.next()) {
    const QString line = block.text();
    for (qsizetype at = FindMatch(line, highlighted_, 0); at >= 0;
         at = FindMatch(line, highlighted_, at + highlighted_.text.size())) {
      QTextEdit::ExtraSelection mark;
      mark.cursor = QTextCursor(block);
      mark.cursor.setPosition(block.position() + static_cast<int>(at));
      mark.cursor.setPosition(mark.cursor.position() + static_cast<int>(highlighted_.text.size()),
                              QTextCursor::KeepAnchor);
      mark.format.setBackground(QColor(255, 230, 120));
      marks.append(mark);
    }
  }
  setExtraSelections(marks);
}

void CMarvolenView::GoToLine(qint64 line) {
  const int number = static_cast<int>(std::clamp<qint64>(line, 1, blockCount())) - 1;
  setTextCursor(QTextCursor(document()->findBlockByNumber(number)));
  centerCursor();
}

void CMarvolenView::SetPointSize(int points) {
  setFont(TextFont(points));
  document()->setDefaultFont(font());
  MarkMatchesInSight();
}

void CMarvolenView::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  MarkMatchesInSight();
}

void CMarvolenView::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return QPlainTextEdit::wheelEvent(event);
  if (const int delta = event->angleDelta().y(); delta != 0) emit zoomRequested(delta > 0 ? 1 : -1);
  event->accept();
}

}  // namespace marvolen
