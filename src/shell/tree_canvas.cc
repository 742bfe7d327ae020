// The scrolled view of a sequence's trees.
#include "shell/tree_canvas.h"

#include <QtWidgets>
#include <cmath>

#include "shell/tree_painter.h"

namespace marvolen {

namespace {

// Trees exported all at once wrap into rows this wide (at a 14-pixel font).
constexpr double kExportRowWidth = 1600;
// A wheel notch zooms by this factor.
constexpr double kZoomStep = 1.15;

template <typename T>
std::span<const T> OneOf(const std::vector<T>& all, std::size_t index) {
  return index < all.size() ? std::span(all).subspan(index, 1) : std::span<const T>();
}

}  // namespace

TreeCanvas::TreeCanvas(QWidget* parent) : QAbstractScrollArea(parent) {
  // Always there, so that rows never flow again because it came or went.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setAutoFillBackground(false);
  Relayout();
}

void TreeCanvas::SetTrees(ParseList parses, ParseMarks marks, bool numbered) {
  parses_ = std::move(parses);
  marks_ = std::move(marks);
  numbered_ = numbered;
  picked_ = -1;
  placed_.clear();  // so the view goes back to the top
  Relayout();
  horizontalScrollBar()->setValue(0);
}

void TreeCanvas::PickOut(int index) {
  picked_ = index >= 0 && index < treeCount() ? index : -1;
  if (picked_ >= 0) {
    while (laidOutCount() <= picked_) LayOutTo(rowTop_ + rowHeight_);
    const QRectF tree = TreeRect(picked_);
    QScrollBar* vertical = verticalScrollBar();
    if (tree.top() < vertical->value() || tree.bottom() > vertical->value() + viewport()->height())
      vertical->setValue(static_cast<int>(tree.top() - margin_));
    QScrollBar* horizontal = horizontalScrollBar();
    if (tree.left() < horizontal->value() ||
        tree.right() > horizontal->value() + viewport()->width())
      horizontal->setValue(static_cast<int>(tree.left() - margin_));
  }
  viewport()->update();
}

int TreeCanvas::TreeAt(const QPoint& point) const {
  const QPointF at = point + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
  for (std::size_t k = 0; k < placed_.size(); ++k)
    if (TreeRect(static_cast<int>(k)).contains(at)) return static_cast<int>(k);
  return -1;
}

QRectF TreeCanvas::TreeRect(int index) const {
  const Placed& placed = placed_.at(static_cast<std::size_t>(index));
  return QRectF(placed.at, QSizeF(placed.drawing.width, placed.drawing.height));
}

DrawnTree TreeCanvas::Drawing(int index, const QFont& font) const {
  TreeStyle style = StyleFor(font);
  const MeasureText measure = FontMeasure(font);
  if (index < 0) {
    style.maxRowWidth = kExportRowWidth * style.fontSize / 14;
    return LayOutTrees(parses_, measure, style, marks_, numbered_ ? 1 : 0);
  }
  const auto k = static_cast<std::size_t>(index);
  return LayOutTrees(OneOf(parses_, k), measure, style, OneOf(marks_, k),
                     numbered_ ? index + 1 : 0);
}

void TreeCanvas::SetZoom(double zoom) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  if (zoom == zoom_) return;
  zoom_ = zoom;
  Relayout();
}

void TreeCanvas::LayOutTo(double bottom) {
  const double limit = bottom + viewport()->height();
  const MeasureText measure = FontMeasure(font_);
  while (placed_.size() < parses_.size() && (placed_.empty() || rowTop_ < limit)) {
    const std::size_t k = placed_.size();
    Placed placed;
    placed.drawing = LayOutTrees(OneOf(parses_, k), measure, style_, OneOf(marks_, k),
                                 numbered_ ? static_cast<int>(k) + 1 : 0);
    Place(placed);
    placed_.push_back(std::move(placed));
  }
  UpdateScrollBars();
}

void TreeCanvas::Place(Placed& placed) {
  const double width = placed.drawing.width;
  if (nextX_ > margin_ && nextX_ + width + margin_ > viewport()->width()) {
    rowTop_ += rowHeight_ + style_.rowGap;
    nextX_ = margin_;
    rowHeight_ = 0;
  }
  placed.at = QPointF(nextX_, rowTop_);
  nextX_ += width + style_.treeGap;
  rowHeight_ = std::max(rowHeight_, placed.drawing.height);
  contentWidth_ = std::max(contentWidth_, placed.at.x() + width + margin_);
}

void TreeCanvas::Relayout() {
  // The first tree in sight stays in sight.
  int first = 0;
  while (first < laidOutCount() && TreeRect(first).bottom() < verticalScrollBar()->value()) ++first;
  const int base = QFontInfo(font()).pixelSize();
  font_ = TreeFont(static_cast<int>(std::lround(base * zoom_)));
  style_ = StyleFor(font_);
  margin_ = style_.margin;
  style_.margin = 0;  // each tree on its own; the rows have the margins
  placed_.clear();
  StartRows();
  LayOutTo(0);
  while (laidOutCount() <= first && laidOutCount() < treeCount()) LayOutTo(rowTop_ + rowHeight_);
  verticalScrollBar()->setValue(
      first < laidOutCount() && first > 0 ? static_cast<int>(TreeRect(first).top()) : 0);
  viewport()->update();
}

void TreeCanvas::StartRows() {
  rowTop_ = nextX_ = margin_;
  rowHeight_ = contentWidth_ = 0;
}

void TreeCanvas::UpdateScrollBars() {
  double height = rowTop_ + rowHeight_ + margin_;
  // Until every tree is laid out, the rest are guessed to be like these.
  if (!placed_.empty() && placed_.size() < parses_.size())
    height = height * static_cast<double>(parses_.size()) / static_cast<double>(placed_.size());
  const QSize view = viewport()->size();
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, std::max(0, static_cast<int>(std::ceil(height)) - view.height()));
  vertical->setPageStep(view.height());
  vertical->setSingleStep(static_cast<int>(style_.lineHeight));
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, std::max(0, static_cast<int>(std::ceil(contentWidth_)) - view.width()));
  horizontal->setPageStep(view.width());
  horizontal->setSingleStep(static_cast<int>(style_.lineHeight));
}

void TreeCanvas::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const TreeColours colours = ColoursFor(palette());
  painter.fillRect(event->rect(), colours.background);
  const QPointF offset(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  const QRectF shown = QRectF(event->rect()).translated(-offset);
  for (std::size_t k = 0; k < placed_.size(); ++k) {
    if (!TreeRect(static_cast<int>(k)).intersects(shown)) continue;
    painter.save();
    painter.translate(offset + placed_[k].at);
    PaintDrawing(painter, placed_[k].drawing, font_, colours);
    painter.restore();
    if (static_cast<int>(k) == picked_) {
      painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
      painter.setBrush(Qt::NoBrush);
      const double gap = margin_ / 2;
      painter.drawRect(TreeRect(picked_).adjusted(-gap, -gap, gap, gap).translated(offset));
    }
  }
  emit painted();
}

void TreeCanvas::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (event->oldSize().width() != event->size().width()) {
    // The rows flow again; the drawings stay as they are.
    StartRows();
    for (Placed& placed : placed_) Place(placed);
  }
  LayOutTo(verticalScrollBar()->value());
}

void TreeCanvas::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return QAbstractScrollArea::wheelEvent(event);
  SetZoom(zoom_ * std::pow(kZoomStep, event->angleDelta().y() / 120.0));
  event->accept();
}

void TreeCanvas::scrollContentsBy(int, int) {
  LayOutTo(verticalScrollBar()->value());
  viewport()->update();
}

void TreeCanvas::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) Relayout();
  if (event->type() == QEvent::PaletteChange) viewport()->update();
}

}  // namespace marvolen
