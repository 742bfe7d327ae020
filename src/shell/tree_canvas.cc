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
  viewport()->setMouseTracking(true);
  Relayout();
}

void TreeCanvas::SetTrees(ParseList parses, ParseMarks marks, bool numbered) {
  CanvasTrees trees;
  if (numbered) {
    trees.numbers.resize(parses.size());
    for (std::size_t k = 0; k < parses.size(); ++k) trees.numbers[k] = static_cast<int>(k) + 1;
  }
  trees.parses = std::move(parses);
  trees.marks = std::move(marks);
  SetTrees(std::move(trees));
}

void TreeCanvas::SetTrees(CanvasTrees trees) {
  parses_ = std::move(trees.parses);
  marks_ = std::move(trees.marks);
  points_ = std::move(trees.points);
  numbers_ = std::move(trees.numbers);
  headings_ = std::move(trees.headings);
  picked_ = -1;
  placed_.clear();  // so the view goes back to the top
  Relayout();
  horizontalScrollBar()->setValue(0);
}

int TreeCanvas::NumberOf(std::size_t index) const {
  return index < numbers_.size() ? numbers_[index] : 0;
}

int TreeCanvas::TreeNumbered(int number) const {
  if (number <= 0) return -1;
  const auto at = std::find(numbers_.begin(), numbers_.end(), number);
  return at == numbers_.end() ? -1 : static_cast<int>(at - numbers_.begin());
}

std::pair<int, int> TreeCanvas::NodeAt(const QPoint& point) const {
  const QPointF at = point + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const int tree = TreeAt(point);
  if (tree < 0) return {-1, -1};
  const Placed& placed = placed_[static_cast<std::size_t>(tree)];
  const std::vector<DrawnNode>& nodes = placed.drawing.nodes;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const DrawingRect& box = nodes[i].box;
    if (QRectF(placed.at + QPointF(box.left, box.top), QSizeF(box.width, box.height)).contains(at))
      return {tree, static_cast<int>(i)};
  }
  return {-1, -1};
}

const ParseTreeNode* TreeCanvas::NodeOf(int tree, int node) const {
  if (tree < 0 || tree >= treeCount() || node < 0) return nullptr;
  // Preorder: a node, then its children's subtrees from left to right.
  std::vector<const ParseTreeNode*> stack = {parses_[static_cast<std::size_t>(tree)].get()};
  for (int k = 0; !stack.empty(); ++k) {
    const ParseTreeNode* at = stack.back();
    stack.pop_back();
    if (k == node) return at;
    std::vector<const ParseTreeNode*> children;
    for (const ParseTreeNode* child = at->firstChild.get(); child; child = child->nextSibling.get())
      children.push_back(child);
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return nullptr;
}

QRect TreeCanvas::NodeRect(int tree, int node) const {
  if (tree < 0 || tree >= laidOutCount()) return QRect();
  const Placed& placed = placed_[static_cast<std::size_t>(tree)];
  if (node < 0 || node >= static_cast<int>(placed.drawing.nodes.size())) return QRect();
  const DrawingRect& box = placed.drawing.nodes[static_cast<std::size_t>(node)].box;
  const QPointF offset(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  return QRectF(placed.at + offset + QPointF(box.left, box.top), QSizeF(box.width, box.height))
      .toAlignedRect();
}

QString TreeCanvas::ToolTipAt(const QPoint& point) const {
  const auto [tree, node] = NodeAt(point);
  const ParseTreeNode* at = NodeOf(tree, node);
  return at != nullptr && nodeText_ ? nodeText_(*at) : QString();
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
  DrawnTree drawing;
  std::size_t first = 0;  // the tree the drawing begins with
  if (index < 0) {
    style.maxRowWidth = kExportRowWidth * style.fontSize / 14;
    // Each group under its heading, as the view shows them.
    const std::span<const std::unique_ptr<ParseTreeNode>> all(parses_);
    const std::span<const std::vector<bool>> marks(marks_);
    auto layOut = [&](std::size_t from, std::size_t to) {
      return LayOutTrees(all.subspan(from, to - from), measure, style,
                         from < marks.size()
                             ? marks.subspan(from, std::min(marks.size(), to) - from)
                             : marks.subspan(0, 0),
                         numbers_.empty() ? 0 : 1);
    };
    auto firstOf = [this](std::size_t h) {
      return h < headings_.size()
                 ? std::min(parses_.size(),
                            static_cast<std::size_t>(std::max(0, headings_[h].first)))
                 : parses_.size();
    };
    if (headings_.empty() || firstOf(0) > 0) AppendBelow(drawing, layOut(0, firstOf(0)));
    for (std::size_t h = 0; h < headings_.size(); ++h) {
      const std::size_t from = firstOf(h), to = std::max(from, firstOf(h + 1));
      DrawnTree group = layOut(from, to);
      AddLineAbove(group, headings_[h].text.toStdString(), DrawnText::Role::kHeading, measure,
                   style);
      AppendBelow(drawing, std::move(group));
    }
    // The trees' own numbers, which need not follow one another (groups).
    std::size_t k = 0;
    for (DrawnText& text : drawing.texts) {
      if (text.role != DrawnText::Role::kNumber) continue;
      text.text = "[" + std::to_string(NumberOf(k++)) + "]";
      const double width = measure(text.text);
      text.box.left += (text.box.width - width) / 2;  // centred where it was
      text.box.width = width;
    }
  } else {
    first = static_cast<std::size_t>(index);
    drawing =
        LayOutTrees(OneOf(parses_, first), measure, style, OneOf(marks_, first), NumberOf(first));
  }
  // The tops of the points, framed as in the view.
  SetPointTops(drawing, points_, first);
  return drawing;
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
    placed.drawing = LayOutTrees(OneOf(parses_, k), measure, style_, OneOf(marks_, k), NumberOf(k));
    SetPointTops(placed.drawing, points_, k);
    placed_.push_back(std::move(placed));
    Place(k);
  }
  UpdateScrollBars();
}

void TreeCanvas::Place(std::size_t index) {
  Placed& placed = placed_[index];
  const double width = placed.drawing.width;
  // A heading starts a row of its own, and its trees the row below.
  while (headingAt_.size() < headings_.size() &&
         headings_[headingAt_.size()].first <= static_cast<int>(index)) {
    if (nextX_ > margin_) rowTop_ += rowHeight_ + style_.rowGap;
    headingAt_.emplace_back(margin_, rowTop_);
    rowTop_ += style_.lineHeight * 1.5;
    nextX_ = margin_;
    rowHeight_ = 0;
  }
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
  headingAt_.clear();
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
  QFont bold = font_;
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(colours.label);
  for (std::size_t h = 0; h < headingAt_.size(); ++h) {
    const QRectF line(headingAt_[h], QSizeF(std::max(contentWidth_, double(viewport()->width())),
                                            style_.lineHeight));
    if (line.intersects(shown))
      painter.drawText(line.translated(offset), Qt::AlignLeft | Qt::AlignVCenter,
                       headings_[h].text);
  }
  for (std::size_t k = 0; k < placed_.size(); ++k) {
    // The line under a point's span reaches a little below the tree.
    if (!TreeRect(static_cast<int>(k)).adjusted(0, 0, 0, style_.lineHeight).intersects(shown))
      continue;
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
    for (std::size_t k = 0; k < placed_.size(); ++k) Place(k);
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

bool TreeCanvas::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = ToolTipAt(help->pos());
    if (text.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      const auto [tree, node] = NodeAt(help->pos());
      QToolTip::showText(help->globalPos(), text, viewport(), NodeRect(tree, node));
    }
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void TreeCanvas::mousePressEvent(QMouseEvent* event) {
  const auto [tree, node] = NodeAt(event->position().toPoint());
  const ParseTreeNode* at = NodeOf(tree, node);
  if (event->button() == Qt::LeftButton && at != nullptr && at->firstChild != nullptr) {
    event->accept();
    emit nodeClicked(tree, node);
    return;
  }
  QAbstractScrollArea::mousePressEvent(event);
}

void TreeCanvas::mouseMoveEvent(QMouseEvent* event) {
  // A node that was built by a rule can be clicked.
  const auto [tree, node] = NodeAt(event->position().toPoint());
  const ParseTreeNode* at = NodeOf(tree, node);
  if (at != nullptr && at->firstChild != nullptr)
    viewport()->setCursor(Qt::PointingHandCursor);
  else
    viewport()->unsetCursor();
  QAbstractScrollArea::mouseMoveEvent(event);
}

void TreeCanvas::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) Relayout();
  if (event->type() == QEvent::PaletteChange) viewport()->update();
}

}  // namespace marvolen
