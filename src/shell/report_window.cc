// The report window.
#include "shell/report_window.h"

#include <QtWidgets>
#include <limits>
#include <new>

#include "shell/images.h"
#include "shell/report_outline.h"
#include "shell/report_view.h"

namespace marvolen {

namespace {

constexpr int kLineRole = Qt::UserRole;

}  // namespace

ReportWindow::ReportWindow()
    : view_(new ReportView), outline_(new QTreeWidget), messages_(new QTreeWidget) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(AppIcon(true));
  outline_->setHeaderLabels({QStringLiteral("报告提纲"), QStringLiteral("个数")});
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
    QTreeWidgetItem* section = nullptr;
    for (QTreeWidgetItemIterator it(outline_); *it != nullptr; ++it)
      if ((*it)->data(0, kLineRole).toLongLong() <= line) section = *it;
    if (section != outline_->currentItem()) outline_->setCurrentItem(section);
  });

  messages_->setObjectName(QStringLiteral("runMessages"));
  messages_->setRootIsDecorated(false);
  messages_->setHeaderLabels(
      {QStringLiteral("本次分析的消息"), QStringLiteral("文件"), QStringLiteral("行")});
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
  column->addWidget(messages_);
  column->setStretchFactor(0, 4);
  column->setStretchFactor(1, 1);
  auto* splitter = new QSplitter;
  splitter->addWidget(outline_);
  splitter->addWidget(column);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({220, 800});
  splitter->setFocusProxy(view_);
  setWidget(splitter);
}

bool ReportWindow::Load(const QString& path, QString* error) {
  std::string bytes;
  try {
    if (!ReadFileBytes(path, std::numeric_limits<qint64>::max(), &bytes, error)) return false;
  } catch (const std::bad_alloc&) {
    *error =
        QStringLiteral("%1\n该报告太大，内存不足，无法显示。").arg(QDir::toNativeSeparators(path));
    return false;
  }
  const QString absolute = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  const qint64 line = absolute == path_ ? view_->cursorLine() : 1;
  const QString shown = path_;
  path_ = absolute;
  stamp_ = DiskStamp::Of(path_);
  setWindowTitle(QStringLiteral("分析报告 - %1").arg(QFileInfo(path).fileName()));
  outline_->clear();
  QList<QTreeWidgetItem*> parents;  // the last item of each depth
  for (const OutlineEntry& entry : BuildReportOutline(bytes)) {
    QTreeWidgetItem* parent = entry.depth > 0 ? parents.value(entry.depth - 1) : nullptr;
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(outline_);
    item->setText(0, entry.title);
    if (entry.count >= 0) {
      item->setText(1, QLocale().toString(entry.count));
      item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    item->setData(0, kLineRole, entry.line);
    item->setToolTip(0, QStringLiteral("第 %1 行").arg(entry.line));
    parents.resize(entry.depth);
    parents.append(item);
  }
  outline_->expandAll();
  // The outline as wide as its titles, within reason.
  if (auto* splitter = qobject_cast<QSplitter*>(widget()); splitter != nullptr && path_ != shown) {
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
  view_->SetBytes(std::move(bytes), line);
  return true;
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
