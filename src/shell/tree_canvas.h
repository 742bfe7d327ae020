// The trees of one sequence, side by side in rows as wide as the view and
// scrolled up and down, in groups under headings when there are many. The trees are laid out as
// they come into sight: the first screenful at once, the rest as the view is scrolled (a line may
// have hundreds of parses). Ctrl+wheel zooms; the colours follow the
// palette. Hovering a node shows what the pane says of it (the rule that
// built it); a click on a node says which node it was.
#ifndef MARVOLEN_SHELL_TREE_CANVAS_H_
#define MARVOLEN_SHELL_TREE_CANVAS_H_

#include <QAbstractScrollArea>
#include <QFont>
#include <QString>
#include <functional>
#include <vector>

#include "analysis/parse_differences.h"
#include "drawing/tree_layout.h"
#include "grammar/parse_engine.h"

namespace marvolen {

// What the canvas shows.
struct CanvasTrees {
  ParseList parses;
  ParseMarks marks;   // the differences, per tree, by node in preorder
  ParseMarks points;  // the tops of divergence points, the same way
  // The number shown above each tree ([n]); none when empty or 0.
  std::vector<int> numbers;
  // A heading on a line of its own before tree `first`, in order.
  struct Heading {
    int first = 0;
    QString text;
  };
  std::vector<Heading> headings;
};

class TreeCanvas : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TreeCanvas(QWidget* parent = nullptr);

  // Show `parses` with their `marks`, numbered [1], [2], ... when
  // `numbered`; the view goes back to the top.
  void SetTrees(ParseList parses, ParseMarks marks, bool numbered);
  // Show `trees`; the view goes back to the top.
  void SetTrees(CanvasTrees trees);
  // The tree numbered `number`, or -1; the number of tree `index` (0: none).
  int TreeNumbered(int number) const;
  int NumberOf(std::size_t index) const;
  const std::vector<CanvasTrees::Heading>& headings() const { return headings_; }
  // The tops of divergence points, per tree, by node in preorder.
  const ParseMarks& pointMarks() const { return points_; }

  // What hovering a node shows ("" for nothing).
  void SetNodeText(std::function<QString(const ParseTreeNode&)> text) {
    nodeText_ = std::move(text);
  }
  // The node at `point` of the viewport: its tree, and its number in
  // preorder; {-1, -1} for none.
  std::pair<int, int> NodeAt(const QPoint& point) const;
  // Node `node` (preorder) of tree `tree`, or null.
  const ParseTreeNode* NodeOf(int tree, int node) const;
  // Where node `node` of laid-out tree `tree` stands, in the viewport.
  QRect NodeRect(int tree, int node) const;
  // The text hovering the node at `point` shows.
  QString ToolTipAt(const QPoint& point) const;

  const ParseList& parses() const { return parses_; }
  int treeCount() const { return static_cast<int>(parses_.size()); }
  // The trees laid out so far (those in sight and a screenful beyond).
  int laidOutCount() const { return static_cast<int>(placed_.size()); }
  // The tree at `point` of the viewport, or -1.
  int TreeAt(const QPoint& point) const;
  // Where tree `index` stands, in the content's coordinates (it must be
  // laid out).
  QRectF TreeRect(int index) const;
  // The drawing of laid-out tree `index`, at (0, 0).
  const DrawnTree& LaidOutTree(int index) const { return placed_.at(index).drawing; }

  // The drawing of tree `index`, or of all of them when -1, in `font` (the
  // trees' numbers as shown), for export.
  DrawnTree Drawing(int index, const QFont& font) const;

  // Pick out tree `index` (-1: none): framed, and scrolled into sight.
  void PickOut(int index);
  int pickedOut() const { return picked_; }

  double zoom() const { return zoom_; }
  void SetZoom(double zoom);  // kept between kMinZoom and kMaxZoom
  static constexpr double kMinZoom = 0.25, kMaxZoom = 4;

  // A paint of the view has ended (for timing it).
  Q_SIGNAL void painted();
  // Node `node` (preorder) of tree `tree` was clicked.
  Q_SIGNAL void nodeClicked(int tree, int node);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void changeEvent(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  struct Placed {
    DrawnTree drawing;  // one tree, its number included, at (0, 0)
    QPointF at;         // its top left corner in the content
  };

  // Lay out trees until the rows reach `bottom` (content coordinates) and
  // a view's height beyond, or every tree is laid out.
  void LayOutTo(double bottom);
  // Place tree `index` after those before it (and its heading, if any).
  void Place(std::size_t index);
  void StartRows();
  // Lay everything out again (size, zoom or font changed), keeping the
  // part of the content in sight.
  void Relayout();
  void UpdateScrollBars();

  ParseList parses_;
  ParseMarks marks_, points_;
  std::vector<int> numbers_;
  std::vector<CanvasTrees::Heading> headings_;
  std::vector<QPointF> headingAt_;  // where each heading placed so far stands
  std::function<QString(const ParseTreeNode&)> nodeText_;
  int picked_ = -1;
  double zoom_ = 1;
  QFont font_;
  TreeStyle style_;    // of each tree: no margin
  double margin_ = 0;  // around the rows
  std::vector<Placed> placed_;
  // Where the next tree goes: the row's top, the next x, the row's height.
  double rowTop_ = 0, nextX_ = 0, rowHeight_ = 0, contentWidth_ = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_TREE_CANVAS_H_
