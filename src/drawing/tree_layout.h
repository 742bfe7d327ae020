// Where everything of a parse tree picture goes: node boxes, text lines and
// edges of a top-down constituency tree, as plain numbers that any renderer
// can draw (SVG text here, a QPainter in the workbench, a browser script).
//
// A node shows its label and, on a second line below it, its tree title (a
// bare label when there is none). The leaves, which are the items, stand in
// order on one baseline at the bottom; every other node stands on the level
// of its depth, centred over its first and last child. An edge runs from the
// bottom of a node to the top of each child; an edge to a leaf that stands
// more than one level lower bends at the level below its parent and goes
// straight down from there, so it never crosses the nodes between.
//
// Placement, bottom-up: every subtree has a contour, the leftmost and the
// rightmost x it occupies on each level below its root (the node boxes, the
// x where its edges meet the level, and the vertical part of an edge to a
// leaf). The children of a node are placed from left to right, each as close
// to those before as the contours allow with `nodeGap` between them on every
// level; the node is centred over its first and last child. So subtrees never
// overlap and no edge crosses a node. (The same few steps are easy to write
// in a browser script.)
//
// The texts of the drawing are UTF-8; the trees' labels and titles are GBK,
// as in the data files, and are converted. Widths come from the caller's
// measuring function, so the layout fits any font.
#ifndef MARVOLEN_DRAWING_TREE_LAYOUT_H_
#define MARVOLEN_DRAWING_TREE_LAYOUT_H_

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "grammar/parse_tree.h"

namespace marvolen {

// The width of a UTF-8 text in the drawing's units.
using MeasureText = std::function<double(std::string_view utf8)>;

// Sizes of a drawing, in the units of the measuring function (pixels, say).
struct TreeStyle {
  double fontSize = 14;    // for renderers; the layout uses lineHeight
  double lineHeight = 20;  // height of one line of text
  double paddingX = 3;     // on each side of a node's text
  double nodeGap = 10;     // least room between neighbouring nodes and edges
  double levelGap = 22;    // room for the edges between two levels
  double treeGap = 36;     // between trees side by side
  double rowGap = 28;      // between rows of trees
  double margin = 10;      // around the drawing
  // Trees side by side wrap into rows no wider than this (a tree wider than
  // it stands alone in its row); 0 keeps them all in one row.
  double maxRowWidth = 0;
};

struct DrawingPoint {
  double x = 0;
  double y = 0;
};

struct DrawingRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  double right() const { return left + width; }
  double bottom() const { return top + height; }
};

// A node: its box holds its label line and, when it has one, its title line.
struct DrawnNode {
  DrawingRect box;
  int parent = -1;  // index in DrawnTree::nodes; -1 for a root
  int tree = 0;     // which tree of the drawing (0 for the first)
  bool leaf = false;
  bool marked = false;
  // The top of a divergence point: framed, its span underlined (PointSpan).
  bool point = false;
};

// One line of text, to be drawn centred in its box.
struct DrawnText {
  // kHeading: a line of its own above a group of trees, in bold.
  enum class Role { kLabel, kTitle, kNumber, kHeading };
  Role role = Role::kLabel;
  std::string text;  // UTF-8
  DrawingRect box;   // lineHeight high, as wide as the measured text
  int node = -1;     // the node it belongs to; -1 for a tree's number or a line
};

// A line from a node to one of its children: two points, or three when it
// bends above a leaf.
struct DrawnEdge {
  std::vector<DrawingPoint> points;
  int parent = 0;
  int child = 0;
};

struct DrawnTree {
  double width = 0;
  double height = 0;
  // Every node of every tree, each tree in preorder (a node, then its
  // children's subtrees from left to right), the trees one after the other.
  std::vector<DrawnNode> nodes;
  std::vector<DrawnText> texts;
  std::vector<DrawnEdge> edges;
  // The area of each tree, its number included.
  std::vector<DrawingRect> trees;
};

// Lay out one tree (its sibling chain is ignored). `marks` are the nodes to
// mark, in preorder; missing entries are unmarked.
DrawnTree LayOutTree(const ParseTreeNode& root, const MeasureText& measure,
                     const TreeStyle& style = {}, const std::vector<bool>& marks = {});

// Lay out `roots` side by side, tops aligned, left to right (in rows, when
// style.maxRowWidth is set). With `firstNumber` above 0 each tree has its
// number above it, "[firstNumber]", "[firstNumber + 1]", ...; with 0 none.
// marks[i] are the marks of roots[i] (missing: nothing marked).
DrawnTree LayOutTrees(std::span<const std::unique_ptr<ParseTreeNode>> roots,
                      const MeasureText& measure, const TreeStyle& style = {},
                      std::span<const std::vector<bool>> marks = {}, int firstNumber = 1);

// Where the span of node `index` is underlined when it is a point's top:
// from the left of its leftmost leaf to the right of its rightmost (or of
// the node, when wider), at the bottom of its lowest leaf (y).
struct SpanLine {
  double left = 0, right = 0, y = 0;
};
SpanLine PointSpan(const DrawnTree& drawing, std::size_t index);

// Make the tops of divergence points points: node n (in preorder) of the
// drawing's tree t when points[first + t][n] (missing: not a top).
void SetPointTops(DrawnTree& drawing, std::span<const std::vector<bool>> points,
                  std::size_t first = 0);

// Put the line `text` (UTF-8) of `role` above `drawing`, at its left
// margin, moving everything down by a line and a margin.
void AddLineAbove(DrawnTree& drawing, std::string text, DrawnText::Role role,
                  const MeasureText& measure, const TreeStyle& style);

// Put `part` below `drawing`: its nodes, texts, edges and trees after
// those of `drawing`, its trees counted after its trees.
void AppendBelow(DrawnTree& drawing, DrawnTree part);

// Widths for a font of `fontSize` without measuring it: a CJK (or any other
// non-ASCII) character is fontSize wide, an ASCII character 0.6 of it, about
// what Chinese fonts give, slightly generous.
double ApproximateTextWidth(std::string_view utf8, double fontSize);

}  // namespace marvolen

#endif  // MARVOLEN_DRAWING_TREE_LAYOUT_H_
