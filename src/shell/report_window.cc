// The report window.
#include "shell/report_window.h"

#include <QtWidgets>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <new>

#include "shell/changes_view.h"
#include "shell/images.h"
#include "shell/report_outline.h"
#include "shell/report_view.h"

namespace marvolen {

namespace {

constexpr int kLineRole = Qt::UserRole;

int Depth(const QTreeWidgetItem* item) {
  int depth = 0;
  for (const QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent()) ++depth;
  return depth;
}

}  // namespace

ReportWindow::ReportWindow(std::size_t pieceBytes)
    : view_(new ReportView),
      changes_(new ChangesView),
      outline_(new QTreeWidget),
      messages_(new QTreeWidget),
      pieceBytes_(std::max<std::size_t>(pieceBytes, 1)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(AppIcon(true));
  outline_->setHeaderLabels({tr("报告提纲"), tr("个数")});
  outline_->header()->setStretchLastSection(false);
  outline_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  outline_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  outline_->setObjectName(QStringLiteral("reportOutline"));
  connect(outline_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    view_->ShowLineAtTop(item->data(0, kLineRole).toLongLong());
    view_->setFocus();
  });
  connect(outline_, &QTreeWidget::itemClicked, outline_, &QTreeWidget::itemActivated);
  // The outline follows the cursor: the section it is in is current.
  connect(view_, &ReportView::currentLineChanged, this, [this] {
    const qint64 line = view_->cursorLine();
    const auto after = std::upper_bound(outlineItems_.begin(), outlineItems_.end(), line,
                                        [](qint64 at, QTreeWidgetItem* item) {
                                          return at < item->data(0, kLineRole).toLongLong();
                                        });
    QTreeWidgetItem* section = after == outlineItems_.begin() ? nullptr : *(after - 1);
    if (section != outline_->currentItem()) outline_->setCurrentItem(section);
  });

  messages_->setObjectName(QStringLiteral("runMessages"));
  messages_->setRootIsDecorated(false);
  messages_->setHeaderLabels({tr("本次分析的消息"), tr("文件"), tr("行")});
  messages_->header()->setStretchLastSection(false);
  messages_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  messages_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  messages_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  messages_->hide();
  connect(messages_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    const QString file = item->data(1, kLineRole).toString();
    if (!file.isEmpty()) emit placeChosen(file, item->data(2, kLineRole).toInt());
  });

  auto* column = new QSplitter(Qt::Vertical);
  column->addWidget(view_);
  column->addWidget(changes_);
  column->addWidget(messages_);
  column->setStretchFactor(0, 4);
  column->setStretchFactor(1, 3);
  column->setStretchFactor(2, 1);
  changes_->hide();
  auto* splitter = new QSplitter;
  splitter->addWidget(outline_);
  splitter->addWidget(column);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({220, 800});
  splitter->setFocusProxy(view_);
  setWidget(splitter);
}

// The reading of a report's remainder in the background: pieces that end at
// a line end, each with the outline of the report up to its end, handed to
// the window (at most kPiecesInFlight waiting) until the file's end, a
// read error or the stop.
struct ReportWindow::Piece {
  std::string bytes;
  // The outline's entries from `outlineFrom` on (those before stay).
  std::size_t outlineFrom = 0;
  std::vector<OutlineEntry> outline;
  qint64 read = 0;  // the bytes read so far, this piece's included
  bool last = false;
  QString error;  // why the read failed, on the last piece
};

struct ReportWindow::Reader {
  quint64 generation = 0;
  qint64 size = 0;  // the file's size when the reading began
  std::counting_semaphore<kPiecesInFlight> free{kPiecesInFlight};
  std::jthread thread;
};

namespace {

// Read up to `count` more bytes of `file` onto `bytes`; false at the end of
// the file or on an error (ferror tells).
bool ReadMore(std::FILE* file, std::size_t count, std::string& bytes) {
  const std::size_t had = bytes.size();
  bytes.resize(had + count);
  const std::size_t n = std::fread(bytes.data() + had, 1, count, file);
  bytes.resize(had + n);
  return n == count;
}

// Split `piece` after its last line end: what follows (a line read in part)
// is returned to begin the next piece. A piece without a line end stays
// whole while more is to come.
std::string TakeTail(std::string& piece) {
  const std::size_t lf = piece.rfind('\n');
  if (lf == std::string::npos) return {};
  std::string tail = piece.substr(lf + 1);
  piece.resize(lf + 1);
  return tail;
}

}  // namespace

ReportWindow::~ReportWindow() { StopReading(); }

void ReportWindow::StopReading() {
  ++generation_;    // pieces of an earlier reading still queued are dropped
  reader_.reset();  // asks the thread to stop, and waits for it
}

bool ReportWindow::loading() const { return reader_ != nullptr; }

bool ReportWindow::Load(const QString& path, QString* error) {
  UniqueFile file = OpenForReading(path, error);
  if (file == nullptr) return false;
  const qint64 size = QFileInfo(path).size();
  std::string first;
  bool more = false;
  try {
    // Room for the whole report at once: it then never moves in memory.
    first.reserve(static_cast<std::size_t>(size));
    more = ReadMore(file.get(), pieceBytes_, first);
  } catch (const std::bad_alloc&) {
    *error = tr("%1\n该报告太大，内存不足，无法显示。").arg(QDir::toNativeSeparators(path));
    return false;
  }
  if (std::ferror(file.get()) != 0) {
    *error = ReadFailure(path, errno);
    return false;
  }
  StopReading();
  std::string tail = more ? TakeTail(first) : std::string();
  ReportOutliner outliner;
  outliner.Feed(first);

  const QString absolute = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  const qint64 line = absolute == path_ ? view_->cursorLine() : 1;
  newPath_ = absolute != path_;
  path_ = absolute;
  stamp_ = DiskStamp::Of(path_);
  setWindowTitle(tr("分析报告 - %1").arg(QFileInfo(path).fileName()));
  outline_->clear();
  outlineItems_.clear();
  ShowOutline(outliner.outline(), 0);
  if (newPath_) FitOutline();
  const qint64 read = static_cast<qint64>(first.size() + tail.size());
  view_->SetBytes(std::move(first), line);
  if (line > view_->lineCount()) view_->GoToLineWhenRead(line);
  if (!more) return true;

  // The rest in the background; the window shows what has come.
  reader_ = std::make_unique<Reader>();
  reader_->generation = generation_;
  reader_->size = size;
  ReportProgress(read);
  reader_->thread = std::jthread([this, path, file = std::move(file), tail = std::move(tail),
                                  outliner = std::move(outliner), reader = reader_.get(),
                                  read](std::stop_token stop) mutable {
    qint64 total = read;
    for (bool going = true; going;) {
      std::string piece = std::exchange(tail, std::string());
      const std::size_t carried = piece.size();
      going = ReadMore(file.get(), pieceBytes_, piece);
      total += static_cast<qint64>(piece.size() - carried);
      tail = going ? TakeTail(piece) : std::string();
      const std::size_t from = outliner.firstOpen();
      outliner.Feed(piece);
      const auto& outline = outliner.outline();
      auto sent = std::make_shared<Piece>(
          Piece{std::move(piece), from,
                std::vector<OutlineEntry>(outline.begin() + static_cast<std::ptrdiff_t>(from),
                                          outline.end()),
                total, !going, QString()});
      if (std::ferror(file.get()) != 0) {
        sent->last = true;
        sent->error = ReadFailure(path, errno);
        going = false;
      }
      while (!reader->free.try_acquire_for(std::chrono::milliseconds(50)))
        if (stop.stop_requested()) return;
      if (stop.stop_requested()) return;
      QMetaObject::invokeMethod(
          this, [this, generation = reader->generation, sent] { Receive(generation, *sent); },
          Qt::QueuedConnection);
    }
  });
  return true;
}

void ReportWindow::Receive(quint64 generation, Piece& piece) {
  if (generation != generation_ || reader_ == nullptr) return;  // from a reading given up
  reader_->free.release();
  view_->AppendBytes(piece.bytes);
  std::string().swap(piece.bytes);
  ShowOutline(piece.outline, piece.outlineFrom);
  if (!piece.last) return ReportProgress(piece.read);
  StopReading();
  if (newPath_) FitOutline();
  if (!piece.error.isEmpty()) {
    emit statusNote(tr("报告没有读完：%1").arg(piece.error.simplified()), 0);
    emit readFailed(piece.error);
  } else {
    emit statusNote(tr("报告已读入：共 %1 行").arg(QLocale().toString(view_->lineCount())), 5000);
  }
  emit loaded();
}

void ReportWindow::ReportProgress(qint64 read) {
  const qint64 size = std::max<qint64>(reader_->size, read);
  emit statusNote(tr("正在读入报告 %1：%2%（%3 行）")
                      .arg(QFileInfo(path_).fileName())
                      .arg(size > 0 ? read * 100 / size : 100)
                      .arg(QLocale().toString(view_->lineCount())),
                  0);
}

void ReportWindow::ShowOutline(const std::vector<OutlineEntry>& entries, std::size_t from) {
  // Entries only come, and only the last list's count grows: the items
  // shown stay, so do the current one and the scroll position.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const OutlineEntry& entry = entries[i];
    if (from + i >= outlineItems_.size()) {
      // Its parent: the last item before it one level up.
      QTreeWidgetItem* parent = nullptr;
      for (auto it = outlineItems_.rbegin(); entry.depth > 0 && it != outlineItems_.rend(); ++it)
        if (Depth(*it) < entry.depth) {
          parent = Depth(*it) == entry.depth - 1 ? *it : nullptr;
          break;
        }
      auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(outline_);
      item->setText(0, entry.title);
      item->setData(0, kLineRole, entry.line);
      item->setToolTip(0, tr("第 %1 行").arg(entry.line));
      item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
      if (parent != nullptr) parent->setExpanded(true);
      outlineItems_.push_back(item);
    }
    if (entry.count >= 0) outlineItems_[from + i]->setText(1, QLocale().toString(entry.count));
  }
}

void ReportWindow::FitOutline() {
  // The outline as wide as its titles, within reason.
  auto* splitter = qobject_cast<QSplitter*>(widget());
  if (splitter == nullptr) return;
  int width = 0;
  const QFontMetrics metrics = outline_->fontMetrics();
  for (QTreeWidgetItemIterator it(outline_); *it != nullptr; ++it) {
    int depth = 1;
    for (QTreeWidgetItem* up = (*it)->parent(); up != nullptr; up = up->parent()) ++depth;
    width = std::max(width, depth * outline_->indentation() +
                                metrics.horizontalAdvance((*it)->text(0) + (*it)->text(1)));
  }
  width = std::min(width + 4 * metrics.averageCharWidth(), 420);
  splitter->setSizes({width, std::max(splitter->width() - width, width)});
}

QStringList ReportWindow::outlineEntries() const {
  QStringList entries;
  for (QTreeWidgetItemIterator it(outline_); *it != nullptr; ++it) {
    int depth = 0;
    for (QTreeWidgetItem* up = (*it)->parent(); up != nullptr; up = up->parent()) ++depth;
    entries.append(QString(depth * 2, QLatin1Char(' ')) + (*it)->text(0) + "|" +
                   QString::number((*it)->data(0, kLineRole).toLongLong()) +
                   ((*it)->text(1).isEmpty() ? QString() : "|" + (*it)->text(1)));
  }
  return entries;
}

void ReportWindow::JumpTo(int outlineEntry) {
  QTreeWidgetItemIterator it(outline_);
  for (int i = 0; i < outlineEntry && *it != nullptr; ++i) ++it;
  if (*it != nullptr) emit outline_->itemActivated(*it, 0);
}

void ReportWindow::SetMessages(const std::vector<RunMessage>& messages) {
  messages_->clear();
  for (const RunMessage& message : messages) {
    auto* item = new QTreeWidgetItem(messages_);
    item->setText(0, message.text.simplified());
    item->setToolTip(0, message.text);
    item->setText(1, QFileInfo(message.file).fileName());
    item->setToolTip(1, QDir::toNativeSeparators(message.file));
    item->setData(1, kLineRole, message.file);
    if (message.line > 0) item->setText(2, QString::number(message.line));
    item->setData(2, kLineRole, message.line);
  }
  messages_->setVisible(!messages.empty());
}

bool ReportWindow::ChangedOnDisk() const {
  const DiskStamp now = DiskStamp::Of(path_);
  return now.size >= 0 && !(now == stamp_);
}

}  // namespace marvolen
