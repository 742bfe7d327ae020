// Laying out parse trees for drawing.
#include "drawing/tree_layout.h"

#include <algorithm>
#include <cstdint>

#include "encoding/gbk.h"

namespace marvolen {

namespace {

// A node of the tree being laid out, in preorder.
struct Item {
  std::string label, title;  // UTF-8
  int parent = -1;
  std::vector<int> children;
  int depth = 0;
  double labelWidth = 0, titleWidth = 0;  // as measured
  double width = 0;                       // of the box
  double x = 0;                           // centre: first relative to the parent's, then absolute
};

// The leftmost and rightmost x a subtree occupies on each level from its
// root's level `top` down to the leaves' level, relative to its root.
struct Contour {
  int top = 0;
  std::vector<double> left, right;  // index: level - top
};

// The nodes under `root` in preorder (the root's siblings are not part of
// its tree).
std::vector<Item> Flatten(const ParseTreeNode& root) {
  std::vector<Item> items;
  std::vector<std::pair<const ParseTreeNode*, int>> stack = {{&root, -1}};
  while (!stack.empty()) {
    const auto [node, parent] = stack.back();
    stack.pop_back();
    const int index = static_cast<int>(items.size());
    Item item;
    item.label = GbkToUtf8(node->label);
    item.title = GbkToUtf8(node->title);
    item.parent = parent;
    if (parent >= 0) {
      item.depth = items[parent].depth + 1;
      items[parent].children.push_back(index);
    }
    items.push_back(std::move(item));
    // Children are pushed last first, so that they come off in order.
    std::vector<const ParseTreeNode*> children;
    for (const ParseTreeNode* c = node->firstChild.get(); c; c = c->nextSibling.get()) {
      children.push_back(c);
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back({*it, index});
  }
  return items;
}

// Place the children of every node and centre it over them, leaves first;
// afterwards each item's x is relative to its parent's. Returns the root's
// contour.
Contour PlaceBottomUp(std::vector<Item>& items, int leafLevel, double gap) {
  std::vector<Contour> contours(items.size());
  for (int n = static_cast<int>(items.size()) - 1; n >= 0; --n) {
    Item& item = items[n];
    Contour& contour = contours[n];
    contour.top = item.depth;
    const std::size_t levels = static_cast<std::size_t>(leafLevel - item.depth + 1);
    const double half = item.width / 2;
    if (item.children.empty()) {
      // The edge's vertical part on the levels above, the box on the last.
      contour.left.assign(levels, 0);
      contour.right.assign(levels, 0);
      contour.left.back() = -half;
      contour.right.back() = half;
      continue;
    }
    // The children's contours, side by side, first child at 0.
    Contour below = std::move(contours[item.children.front()]);
    items[item.children.front()].x = 0;
    for (std::size_t c = 1; c < item.children.size(); ++c) {
      Contour& next = contours[item.children[c]];
      double shift = below.right[0] + gap - next.left[0];
      for (std::size_t l = 1; l < next.left.size(); ++l) {
        shift = std::max(shift, below.right[l] + gap - next.left[l]);
      }
      for (std::size_t l = 0; l < next.left.size(); ++l) {
        below.left[l] = std::min(below.left[l], shift + next.left[l]);
        below.right[l] = std::max(below.right[l], shift + next.right[l]);
      }
      items[item.children[c]].x = shift;
      next = Contour();
    }
    const double centre = (items[item.children.front()].x + items[item.children.back()].x) / 2;
    for (int child : item.children) items[child].x -= centre;
    // This level holds the box and the ends of the edges to the children.
    contour.left.assign(1, std::min(-half, items[item.children.front()].x));
    contour.right.assign(1, std::max(half, items[item.children.back()].x));
    for (std::size_t l = 0; l + 1 < levels; ++l) {
      contour.left.push_back(below.left[l] - centre);
      contour.right.push_back(below.right[l] - centre);
    }
  }
  return std::move(contours[0]);
}

// One tree with its top left corner at (0, 0), in `out`, whose nodes,
// texts and edges it appends; returns the tree's size and root's x.
struct PlacedSize {
  double width = 0, height = 0, rootX = 0;
};

PlacedSize AppendTree(const ParseTreeNode& root, const MeasureText& measure, const TreeStyle& style,
                      const std::vector<bool>& marks, int treeIndex, DrawnTree& out) {
  std::vector<Item> items = Flatten(root);
  int leafLevel = 0;
  for (Item& item : items) {
    leafLevel = std::max(leafLevel, item.depth);
    // A width that is not a number or negative counts as 0.
    item.labelWidth = std::max(0.0, measure(item.label));
    item.titleWidth = item.title.empty() ? 0.0 : std::max(0.0, measure(item.title));
    item.width = std::max(item.labelWidth, item.titleWidth) + 2 * style.paddingX;
  }
  const Contour contour = PlaceBottomUp(items, leafLevel, style.nodeGap);
  double minX = 0, maxX = 0;
  for (std::size_t l = 0; l < contour.left.size(); ++l) {
    minX = std::min(minX, contour.left[l]);
    maxX = std::max(maxX, contour.right[l]);
  }
  items[0].x = -minX;
  for (std::size_t n = 1; n < items.size(); ++n) items[n].x += items[items[n].parent].x;

  // Levels: as high as their highest node, leaves on the last.
  auto levelOf = [&](const Item& item) { return item.children.empty() ? leafLevel : item.depth; };
  std::vector<double> levelTop(static_cast<std::size_t>(leafLevel) + 1, 0);
  std::vector<double> levelHeight(levelTop.size(), style.lineHeight);
  for (const Item& item : items) {
    if (!item.title.empty()) levelHeight[levelOf(item)] = 2 * style.lineHeight;
  }
  for (std::size_t l = 1; l < levelTop.size(); ++l) {
    levelTop[l] = levelTop[l - 1] + levelHeight[l - 1] + style.levelGap;
  }

  const int base = static_cast<int>(out.nodes.size());
  for (std::size_t n = 0; n < items.size(); ++n) {
    const Item& item = items[n];
    DrawnNode node;
    const double top = levelTop[levelOf(item)];
    const double lines = item.title.empty() ? 1 : 2;
    node.box = {item.x - item.width / 2, top, item.width, lines * style.lineHeight};
    node.parent = item.parent < 0 ? -1 : base + item.parent;
    node.tree = treeIndex;
    node.leaf = item.children.empty();
    node.marked = n < marks.size() && marks[n];
    out.nodes.push_back(node);
    const int index = base + static_cast<int>(n);
    out.texts.push_back({DrawnText::Role::kLabel,
                         item.label,
                         {item.x - item.labelWidth / 2, top, item.labelWidth, style.lineHeight},
                         index});
    if (!item.title.empty()) {
      out.texts.push_back({DrawnText::Role::kTitle,
                           item.title,
                           {item.x - item.titleWidth / 2, top + style.lineHeight, item.titleWidth,
                            style.lineHeight},
                           index});
    }
    if (item.parent >= 0) {
      const Item& parent = items[item.parent];
      const DrawnNode& from = out.nodes[base + item.parent];
      DrawnEdge edge;
      edge.parent = base + item.parent;
      edge.child = index;
      edge.points.push_back({parent.x, from.box.bottom()});
      if (item.children.empty() && parent.depth + 1 < leafLevel) {
        edge.points.push_back({item.x, levelTop[parent.depth + 1]});
      }
      edge.points.push_back({item.x, top});
      out.edges.push_back(std::move(edge));
    }
  }
  return {maxX - minX, levelTop.back() + levelHeight.back(), items[0].x};
}

// Move everything from index `nodes`, `texts`, `edges` on by (dx, dy).
void Shift(DrawnTree& drawing, std::size_t nodes, std::size_t texts, std::size_t edges, double dx,
           double dy) {
  for (std::size_t i = nodes; i < drawing.nodes.size(); ++i) {
    drawing.nodes[i].box.left += dx;
    drawing.nodes[i].box.top += dy;
  }
  for (std::size_t i = texts; i < drawing.texts.size(); ++i) {
    drawing.texts[i].box.left += dx;
    drawing.texts[i].box.top += dy;
  }
  for (std::size_t i = edges; i < drawing.edges.size(); ++i) {
    for (DrawingPoint& p : drawing.edges[i].points) {
      p.x += dx;
      p.y += dy;
    }
  }
}

}  // namespace

DrawnTree LayOutTree(const ParseTreeNode& root, const MeasureText& measure, const TreeStyle& style,
                     const std::vector<bool>& marks) {
  DrawnTree drawing;
  const PlacedSize size = AppendTree(root, measure, style, marks, 0, drawing);
  Shift(drawing, 0, 0, 0, style.margin, style.margin);
  drawing.trees.push_back({style.margin, style.margin, size.width, size.height});
  drawing.width = size.width + 2 * style.margin;
  drawing.height = size.height + 2 * style.margin;
  return drawing;
}

DrawnTree LayOutTrees(std::span<const std::unique_ptr<ParseTreeNode>> roots,
                      const MeasureText& measure, const TreeStyle& style,
                      std::span<const std::vector<bool>> marks, int firstNumber) {
  static const std::vector<bool> kNoMarks;
  DrawnTree drawing;
  const double numberHeight = firstNumber > 0 ? style.lineHeight * 1.5 : 0;
  double x = style.margin, rowTop = style.margin, rowHeight = 0, widest = 0;
  for (std::size_t t = 0; t < roots.size(); ++t) {
    const std::size_t nodes = drawing.nodes.size(), texts = drawing.texts.size(),
                      edges = drawing.edges.size();
    const PlacedSize size =
        AppendTree(*roots[t], measure, style, t < marks.size() ? marks[t] : kNoMarks,
                   static_cast<int>(t), drawing);
    std::string number;
    double numberWidth = 0;
    if (firstNumber > 0) {
      number = "[" + std::to_string(static_cast<std::int64_t>(firstNumber) + t) + "]";
      numberWidth = std::max(0.0, measure(number));
    }
    const double width = std::max(size.width, numberWidth);
    if (style.maxRowWidth > 0 && x > style.margin && x + width + style.margin > style.maxRowWidth) {
      x = style.margin;
      rowTop += rowHeight + style.rowGap;
      rowHeight = 0;
    }
    // The tree, centred in its area under the number.
    const double treeLeft = x + (width - size.width) / 2;
    Shift(drawing, nodes, texts, edges, treeLeft, rowTop + numberHeight);
    if (firstNumber > 0) {
      // Over the root, but inside the tree's area.
      const double centre =
          std::clamp(treeLeft + size.rootX, x + numberWidth / 2, x + width - numberWidth / 2);
      drawing.texts.push_back({DrawnText::Role::kNumber,
                               number,
                               {centre - numberWidth / 2, rowTop, numberWidth, style.lineHeight},
                               -1});
    }
    drawing.trees.push_back({x, rowTop, width, numberHeight + size.height});
    rowHeight = std::max(rowHeight, numberHeight + size.height);
    widest = std::max(widest, x + width);
    x += width + style.treeGap;
  }
  drawing.width = std::max(widest, style.margin) + style.margin;
  drawing.height = rowTop + rowHeight + style.margin;
  return drawing;
}

SpanLine PointSpan(const DrawnTree& drawing, std::size_t index) {
  const DrawingRect& box = drawing.nodes.at(index).box;
  SpanLine line{box.left, box.right(), box.bottom()};
  for (std::size_t j = index + 1; j < drawing.nodes.size(); ++j) {
    // The subtree of the node is the nodes after it, in preorder, up to one
    // that is not its descendant.
    int up = drawing.nodes[j].parent;
    while (up > static_cast<int>(index)) up = drawing.nodes[static_cast<std::size_t>(up)].parent;
    if (up != static_cast<int>(index)) break;
    if (!drawing.nodes[j].leaf) continue;
    const DrawingRect& leaf = drawing.nodes[j].box;
    line.left = std::min(line.left, leaf.left);
    line.right = std::max(line.right, leaf.right());
    line.y = std::max(line.y, leaf.bottom());
  }
  return line;
}

void SetPointTops(DrawnTree& drawing, std::span<const std::vector<bool>> points,
                  std::size_t first) {
  int tree = -1;
  std::size_t preorder = 0;
  for (DrawnNode& node : drawing.nodes) {
    if (node.tree != tree) {
      tree = node.tree;
      preorder = 0;
    }
    const std::size_t t = first + static_cast<std::size_t>(node.tree);
    node.point = t < points.size() && preorder < points[t].size() && points[t][preorder];
    ++preorder;
  }
}

void AddLineAbove(DrawnTree& drawing, std::string text, DrawnText::Role role,
                  const MeasureText& measure, const TreeStyle& style) {
  const double shift = style.lineHeight + style.margin;
  Shift(drawing, 0, 0, 0, 0, shift);
  for (DrawingRect& tree : drawing.trees) tree.top += shift;
  DrawnText line;
  line.role = role;
  line.box = {style.margin, style.margin, std::max(0.0, measure(text)), style.lineHeight};
  line.text = std::move(text);
  drawing.width = std::max(drawing.width, line.box.right() + style.margin);
  drawing.texts.push_back(std::move(line));
  drawing.height = std::max(drawing.height, 2 * style.margin) + shift;
}

void AppendBelow(DrawnTree& drawing, DrawnTree part) {
  const int nodes = static_cast<int>(drawing.nodes.size());
  const int trees = static_cast<int>(drawing.trees.size());
  const double top = drawing.height;
  Shift(part, 0, 0, 0, 0, top);
  for (DrawnNode& node : part.nodes) {
    if (node.parent >= 0) node.parent += nodes;
    node.tree += trees;
    drawing.nodes.push_back(node);
  }
  for (DrawnText& text : part.texts) {
    if (text.node >= 0) text.node += nodes;
    drawing.texts.push_back(std::move(text));
  }
  for (DrawnEdge& edge : part.edges) {
    edge.parent += nodes;
    edge.child += nodes;
    drawing.edges.push_back(std::move(edge));
  }
  for (DrawingRect tree : part.trees) {
    tree.top += top;
    drawing.trees.push_back(tree);
  }
  drawing.width = std::max(drawing.width, part.width);
  drawing.height = top + part.height;
}

double ApproximateTextWidth(std::string_view utf8, double fontSize) {
  double width = 0;
  for (unsigned char c : utf8) {
    // One per character: ASCII bytes, and the lead bytes of the others.
    if (c < 0x80) {
      width += 0.6 * fontSize;
    } else if (c >= 0xC0) {
      width += fontSize;
    }
  }
  return width;
}

}  // namespace marvolen
