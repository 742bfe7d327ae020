#include "drawing/tree_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "encoding/gbk.h"

namespace marvolen {
namespace {

constexpr double kEps = 1e-6;

double Approximate(std::string_view text) { return ApproximateTextWidth(text, 14); }

std::unique_ptr<ParseTreeNode> Node(std::string_view label, std::string_view title = "") {
  return std::make_unique<ParseTreeNode>(Gbk(label), Gbk(title));
}

// VP:述宾 over v and NP:定中(NP:的字结构(n, u<的>), n), as the examples give it.
std::unique_ptr<ParseTreeNode> VerbPhrase() {
  auto inner = Node("NP", "的字结构");
  AppendChild(*inner, Node("n"));
  AppendChild(*inner, Node("u<的>"));
  auto np = Node("NP", "定中");
  AppendChild(*np, std::move(inner));
  AppendChild(*np, Node("n"));
  auto vp = Node("VP", "述宾");
  AppendChild(*vp, Node("v"));
  AppendChild(*vp, std::move(np));
  return vp;
}

// A random tree over 1 to 8 leaves, with one-item chains, labels and titles
// from short to very long, Latin and Chinese.
std::unique_ptr<ParseTreeNode> RandomTree(std::mt19937& rng, int depth = 0) {
  static const char* const kLabels[] = {"n", "v",  "u<的>",         "NP",       "VP",
                                        "S", "AP", "VeryLongLabel", "名词短语", "x&<>\"'"};
  static const char* const kTitles[] = {
      "", "", "定中", "的字结构", "T", "一个很长很长的树标题", "title with blanks"};
  auto pick = [&rng](auto& list) {
    return list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(rng)];
  };
  const int children =
      depth >= 5 ? 0
                 : std::discrete_distribution<int>({depth == 0 ? 1.0 : 5.0, 2.0, 4.0, 2.0})(rng);
  if (children == 0) return Node(pick(kLabels));
  auto node = Node(pick(kLabels), pick(kTitles));
  for (int c = 0; c < children; ++c) AppendChild(*node, RandomTree(rng, depth + 1));
  return node;
}

int CountNodes(const ParseTreeNode& node) {
  int count = 1;
  for (const ParseTreeNode* c = node.firstChild.get(); c; c = c->nextSibling.get()) {
    count += CountNodes(*c);
  }
  return count;
}

double CentreX(const DrawingRect& r) { return r.left + r.width / 2; }

bool BoxesOverlap(const DrawingRect& a, const DrawingRect& b) {
  return a.left < b.right() - kEps && b.left < a.right() - kEps && a.top < b.bottom() - kEps &&
         b.top < a.bottom() - kEps;
}

// Whether the segment p-q passes through the inside of `box` (Liang-Barsky).
bool SegmentEntersBox(DrawingPoint p, DrawingPoint q, const DrawingRect& box) {
  const double l = box.left + 1e-3, r = box.right() - 1e-3;
  const double t = box.top + 1e-3, b = box.bottom() - 1e-3;
  double lo = 0, hi = 1;
  const double dx = q.x - p.x, dy = q.y - p.y;
  const double ps[4] = {-dx, dx, -dy, dy};
  const double qs[4] = {p.x - l, r - p.x, p.y - t, b - p.y};
  for (int i = 0; i < 4; ++i) {
    if (std::abs(ps[i]) < 1e-12) {
      if (qs[i] < 0) return false;
    } else {
      const double u = qs[i] / ps[i];
      if (ps[i] < 0) {
        lo = std::max(lo, u);
      } else {
        hi = std::min(hi, u);
      }
    }
  }
  return lo < hi;
}

double Cross(DrawingPoint o, DrawingPoint a, DrawingPoint b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Whether two segments cross at a point inside both.
bool SegmentsCross(DrawingPoint a, DrawingPoint b, DrawingPoint c, DrawingPoint d) {
  const double d1 = Cross(c, d, a), d2 = Cross(c, d, b), d3 = Cross(a, b, c), d4 = Cross(a, b, d);
  return ((d1 > 1e-6 && d2 < -1e-6) || (d1 < -1e-6 && d2 > 1e-6)) &&
         ((d3 > 1e-6 && d4 < -1e-6) || (d3 < -1e-6 && d4 > 1e-6));
}

// Everything a drawing of trees must satisfy, whatever the trees.
void CheckDrawing(const DrawnTree& d, const TreeStyle& style) {
  // Nodes: inside the drawing, never overlapping, at least nodeGap apart when
  // side by side.
  for (std::size_t i = 0; i < d.nodes.size(); ++i) {
    const DrawingRect& a = d.nodes[i].box;
    ASSERT_GE(a.left, style.margin - kEps);
    ASSERT_GE(a.top, style.margin - kEps);
    ASSERT_LE(a.right(), d.width - style.margin + kEps);
    ASSERT_LE(a.bottom(), d.height - style.margin + kEps);
    for (std::size_t j = i + 1; j < d.nodes.size(); ++j) {
      const DrawingRect& b = d.nodes[j].box;
      ASSERT_FALSE(BoxesOverlap(a, b)) << "nodes " << i << " and " << j;
      if (a.top < b.bottom() && b.top < a.bottom()) {
        const double apart = std::max(b.left - a.right(), a.left - b.right());
        ASSERT_GE(apart, style.nodeGap - kEps) << "nodes " << i << " and " << j;
      }
    }
  }
  // Edges: from the bottom centre of the parent to the top centre of the
  // child, one per node with a parent, entering no node box and crossing no
  // other edge.
  std::vector<int> edgesTo(d.nodes.size(), 0);
  for (const DrawnEdge& e : d.edges) {
    ASSERT_GE(e.points.size(), 2u);
    ++edgesTo[e.child];
    const DrawingRect& from = d.nodes[e.parent].box;
    const DrawingRect& to = d.nodes[e.child].box;
    ASSERT_EQ(d.nodes[e.child].parent, e.parent);
    ASSERT_NEAR(e.points.front().x, CentreX(from), kEps);
    ASSERT_NEAR(e.points.front().y, from.bottom(), kEps);
    ASSERT_NEAR(e.points.back().x, CentreX(to), kEps);
    ASSERT_NEAR(e.points.back().y, to.top, kEps);
    for (std::size_t k = 0; k + 1 < e.points.size(); ++k) {
      for (std::size_t n = 0; n < d.nodes.size(); ++n) {
        ASSERT_FALSE(SegmentEntersBox(e.points[k], e.points[k + 1], d.nodes[n].box))
            << "edge to " << e.child << " enters node " << n;
      }
      for (const DrawnEdge& f : d.edges) {
        for (std::size_t m = 0; m + 1 < f.points.size(); ++m) {
          ASSERT_FALSE(SegmentsCross(e.points[k], e.points[k + 1], f.points[m], f.points[m + 1]))
              << "edges to " << e.child << " and " << f.child << " cross";
        }
      }
    }
  }
  for (std::size_t n = 0; n < d.nodes.size(); ++n) {
    ASSERT_EQ(edgesTo[n], d.nodes[n].parent < 0 ? 0 : 1) << "node " << n;
  }
  // Each text lies inside its node, centred; a title right under its label.
  for (const DrawnText& t : d.texts) {
    if (t.node < 0) continue;
    const DrawingRect& box = d.nodes[t.node].box;
    ASSERT_NEAR(CentreX(t.box), CentreX(box), kEps);
    ASSERT_GE(t.box.left, box.left - kEps);
    ASSERT_LE(t.box.right(), box.right() + kEps);
    const double expectedTop = box.top + (t.role == DrawnText::Role::kTitle ? style.lineHeight : 0);
    ASSERT_NEAR(t.box.top, expectedTop, kEps);
  }
}

// What holds within one tree: leaves in order on one baseline, every parent
// centred over its first and last child and above them.
void CheckTree(const DrawnTree& d, int tree) {
  std::vector<int> nodes;
  for (std::size_t n = 0; n < d.nodes.size(); ++n) {
    if (d.nodes[n].tree == tree) nodes.push_back(static_cast<int>(n));
  }
  double lastRight = -1e300, baseline = -1;
  for (int n : nodes) {
    const DrawnNode& node = d.nodes[n];
    if (node.leaf) {
      if (baseline < 0) baseline = node.box.top;
      ASSERT_NEAR(node.box.top, baseline, kEps) << "leaf " << n;
      ASSERT_GT(node.box.left, lastRight) << "leaf " << n << " out of order";
      lastRight = node.box.right();
      continue;
    }
    std::vector<int> children;
    for (int c : nodes) {
      if (d.nodes[c].parent == n) children.push_back(c);
    }
    ASSERT_FALSE(children.empty());
    ASSERT_NEAR(
        CentreX(node.box),
        (CentreX(d.nodes[children.front()].box) + CentreX(d.nodes[children.back()].box)) / 2, kEps)
        << "node " << n;
    for (int c : children) ASSERT_LT(node.box.bottom(), d.nodes[c].box.top);
  }
  for (int n : nodes) {
    if (!d.nodes[n].leaf) {
      ASSERT_LT(d.nodes[n].box.bottom(), baseline);
    }
  }
}

TEST(TreeLayoutTest, RandomTreesNeverOverlapAndKeepLeavesAndParentsInPlace) {
  std::mt19937 rng(20240613);
  for (int round = 0; round < 1500; ++round) {
    const auto tree = RandomTree(rng);
    TreeStyle style;
    style.nodeGap = round % 3 == 0 ? 0.5 : 10;
    style.paddingX = round % 2 ? 0 : 3;
    // The approximate widths, or widths unrelated to the text's length.
    std::uniform_real_distribution<double> width(0, 120);
    const double seed = width(rng);
    const MeasureText odd = [seed](std::string_view text) {
      return std::fmod(seed + 37.0 * text.size(), 120.0);
    };
    const DrawnTree d = LayOutTree(*tree, round % 4 == 3 ? odd : Approximate, style);
    ASSERT_EQ(d.nodes.size(), static_cast<std::size_t>(CountNodes(*tree)));
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_NO_FATAL_FAILURE(CheckDrawing(d, style));
    ASSERT_NO_FATAL_FAILURE(CheckTree(d, 0));
  }
}

TEST(TreeLayoutTest, NodesComeInPreorderWithTheirTextsConvertedToUtf8) {
  const DrawnTree d = LayOutTree(*VerbPhrase(), Approximate, {}, {true, false, false, true});
  // VP, v, NP, NP, n, u<的>, n.
  ASSERT_EQ(d.nodes.size(), 7u);
  std::vector<std::string> labels;
  for (const DrawnText& t : d.texts) {
    labels.push_back(t.text);
    EXPECT_EQ(t.box.width, Approximate(t.text));
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"VP", "述宾", "v", "NP", "定中", "NP", "的字结构",
                                              "n", "u<的>", "n"}));
  std::vector<bool> marked, leaf;
  for (const DrawnNode& n : d.nodes) {
    marked.push_back(n.marked);
    leaf.push_back(n.leaf);
  }
  EXPECT_EQ(marked, (std::vector<bool>{true, false, false, true, false, false, false}));
  EXPECT_EQ(leaf, (std::vector<bool>{false, true, false, false, true, true, true}));
  EXPECT_EQ(d.nodes[3].parent, 2);
  // Node boxes: text plus padding, one line for a bare label, two with a title.
  const TreeStyle style;
  EXPECT_EQ(d.nodes[0].box.width, Approximate("述宾") + 2 * style.paddingX);
  EXPECT_EQ(d.nodes[0].box.height, 2 * style.lineHeight);
  EXPECT_EQ(d.nodes[1].box.height, style.lineHeight);
  // The leaf v hangs from VP with a bend on the level below VP.
  ASSERT_EQ(d.edges[0].child, 1);
  ASSERT_EQ(d.edges[0].points.size(), 3u);
  EXPECT_EQ(d.edges[0].points[1].y, d.nodes[2].box.top);
  EXPECT_EQ(d.edges[0].points[1].x, d.edges[0].points[2].x);
  ASSERT_NO_FATAL_FAILURE(CheckDrawing(d, style));
  ASSERT_NO_FATAL_FAILURE(CheckTree(d, 0));
  EXPECT_EQ(d.trees.size(), 1u);
}

TEST(TreeLayoutTest, ALoneLeafIsOneNodeAndTheRootsSiblingsAreNotDrawn) {
  auto leaf = Node("n");
  leaf->nextSibling = Node("v");
  const TreeStyle style;
  const DrawnTree d = LayOutTree(*leaf, Approximate, style);
  ASSERT_EQ(d.nodes.size(), 1u);
  EXPECT_TRUE(d.edges.empty());
  EXPECT_EQ(d.width, Approximate("n") + 2 * style.paddingX + 2 * style.margin);
  EXPECT_EQ(d.height, style.lineHeight + 2 * style.margin);
}

TEST(TreeLayoutTest, ALongTitleDoesNotPushItsOwnChildrenApartButItsNeighbours) {
  // S over X (long title, over a b) and Y (over c d): X's box is wider than
  // its leaves, so Y's subtree moves right until the edge down to c is
  // nodeGap from X's box, while a and b stay nodeGap apart.
  auto x = Node("X", "一个很长很长很长的树标题");
  AppendChild(*x, Node("a"));
  AppendChild(*x, Node("b"));
  auto y = Node("Y");
  AppendChild(*y, Node("c"));
  AppendChild(*y, Node("d"));
  auto s = Node("S");
  AppendChild(*s, std::move(x));
  AppendChild(*s, std::move(y));
  const TreeStyle style;
  const DrawnTree d = LayOutTree(*s, Approximate, style);
  // S, X, a, b, Y, c, d.
  EXPECT_NEAR(d.nodes[3].box.left - d.nodes[2].box.right(), style.nodeGap, kEps);
  EXPECT_NEAR(CentreX(d.nodes[5].box) - d.nodes[1].box.right(), style.nodeGap, kEps);
  EXPECT_NEAR(d.nodes[6].box.left - d.nodes[5].box.right(), style.nodeGap, kEps);
  ASSERT_NO_FATAL_FAILURE(CheckDrawing(d, style));
}

TEST(TreeLayoutTest, AMeasureGivingNegativeOrNotANumberCountsAsZeroWidth) {
  for (const double width : {-5.0, std::nan("")}) {
    const MeasureText broken = [width](std::string_view) { return width; };
    const TreeStyle style;
    const DrawnTree d = LayOutTree(*VerbPhrase(), broken, style);
    for (const DrawnNode& n : d.nodes) EXPECT_EQ(n.box.width, 2 * style.paddingX);
    ASSERT_NO_FATAL_FAILURE(CheckDrawing(d, style));
    ASSERT_NO_FATAL_FAILURE(CheckTree(d, 0));
  }
}

TEST(TreeLayoutTest, TreesSideBySideAreNumberedAndWrapIntoRows) {
  std::mt19937 rng(7);
  std::vector<std::unique_ptr<ParseTreeNode>> trees;
  for (int k = 0; k < 12; ++k) trees.push_back(RandomTree(rng));
  for (const double rowWidth : {0.0, 500.0, 10.0}) {
    TreeStyle style;
    style.maxRowWidth = rowWidth;
    const std::vector<std::vector<bool>> marks = {{true}, {}, {false, true}};
    const DrawnTree d = LayOutTrees(trees, Approximate, style, marks, 3);
    ASSERT_NO_FATAL_FAILURE(CheckDrawing(d, style));
    ASSERT_EQ(d.trees.size(), trees.size());
    std::size_t node = 0;
    for (std::size_t t = 0; t < trees.size(); ++t) {
      ASSERT_NO_FATAL_FAILURE(CheckTree(d, static_cast<int>(t)));
      EXPECT_EQ(d.nodes[node].marked, t == 0);  // the first tree's root only
      node += CountNodes(*trees[t]);
      // Tree areas never overlap; every node of a tree is inside its area.
      for (std::size_t u = t + 1; u < trees.size(); ++u) {
        EXPECT_FALSE(BoxesOverlap(d.trees[t], d.trees[u])) << t << " " << u;
      }
      EXPECT_LE(d.trees[t].right(), d.width - style.margin + kEps);
    }
    EXPECT_TRUE(d.nodes[CountNodes(*trees[0]) + CountNodes(*trees[1]) + 1].marked);
    for (const DrawnNode& n : d.nodes) {
      const DrawingRect& area = d.trees[n.tree];
      EXPECT_TRUE(n.box.left >= area.left - kEps && n.box.right() <= area.right() + kEps &&
                  n.box.top >= area.top - kEps && n.box.bottom() <= area.bottom() + kEps);
    }
    // The numbers [3] to [14], each in its tree's area above the tree.
    std::vector<std::string> numbers;
    for (const DrawnText& t : d.texts) {
      if (t.role != DrawnText::Role::kNumber) continue;
      const DrawingRect& area = d.trees[numbers.size()];
      EXPECT_EQ(t.box.top, area.top);
      EXPECT_GE(t.box.left, area.left - kEps);
      EXPECT_LE(t.box.right(), area.right() + kEps);
      numbers.push_back(t.text);
    }
    ASSERT_EQ(numbers.size(), trees.size());
    EXPECT_EQ(numbers.front(), "[3]");
    EXPECT_EQ(numbers.back(), "[14]");
    // Rows: one row, or rows no wider than asked unless a tree alone is.
    std::set<double> rows;
    for (const DrawingRect& area : d.trees) {
      rows.insert(area.top);
      if (rowWidth > 0 && area.left > style.margin) {
        EXPECT_LE(area.right() + style.margin, rowWidth + kEps);
      }
    }
    const std::size_t expectedRows = rowWidth == 0 ? 1 : rowWidth == 10 ? trees.size() : 0;
    if (expectedRows > 0) {
      EXPECT_EQ(rows.size(), expectedRows);
    } else {
      EXPECT_GT(rows.size(), 1u);
      EXPECT_LT(rows.size(), trees.size());
    }
  }
}

TEST(TreeLayoutTest, TreesWithoutNumbersHaveNoNumberRow) {
  std::vector<std::unique_ptr<ParseTreeNode>> trees;
  trees.push_back(VerbPhrase());
  const TreeStyle style;
  const DrawnTree d = LayOutTrees(trees, Approximate, style, {}, 0);
  const DrawnTree alone = LayOutTree(*trees[0], Approximate, style);
  EXPECT_EQ(d.width, alone.width);
  EXPECT_EQ(d.height, alone.height);
  for (const DrawnText& t : d.texts) EXPECT_NE(t.role, DrawnText::Role::kNumber);
  EXPECT_EQ(LayOutTrees({}, Approximate, style).nodes.size(), 0u);
}

// Groups of trees put one below another, each under a line of its own:
// every node, text, edge and tree is kept with its links renumbered, and
// moved down by what is above it; a point's span is under its leaves.
TEST(TreeLayoutTest, DrawingsGoBelowEachOtherUnderTheirLines) {
  std::vector<std::unique_ptr<ParseTreeNode>> first, second;
  first.push_back(VerbPhrase());
  first.push_back(Node("n"));
  second.push_back(VerbPhrase());
  const TreeStyle style;
  const DrawnTree a = LayOutTrees(first, Approximate, style);
  DrawnTree b = LayOutTrees(second, Approximate, style);
  const DrawnTree bAlone = b;
  AddLineAbove(b, "根 VP 共1种", DrawnText::Role::kHeading, Approximate, style);
  const double shift = style.lineHeight + style.margin;
  EXPECT_DOUBLE_EQ(b.height, bAlone.height + shift);
  const DrawnText& line = b.texts.back();
  EXPECT_EQ(line.role, DrawnText::Role::kHeading);
  EXPECT_EQ(line.text, "根 VP 共1种");
  EXPECT_DOUBLE_EQ(line.box.left, style.margin);
  EXPECT_DOUBLE_EQ(line.box.top, style.margin);
  EXPECT_DOUBLE_EQ(line.box.width, Approximate("根 VP 共1种"));
  for (std::size_t n = 0; n < b.nodes.size(); ++n)
    EXPECT_DOUBLE_EQ(b.nodes[n].box.top, bAlone.nodes[n].box.top + shift);

  DrawnTree both = a;
  AppendBelow(both, b);
  ASSERT_EQ(both.nodes.size(), a.nodes.size() + b.nodes.size());
  ASSERT_EQ(both.texts.size(), a.texts.size() + b.texts.size());
  ASSERT_EQ(both.edges.size(), a.edges.size() + b.edges.size());
  ASSERT_EQ(both.trees.size(), 3u);
  EXPECT_DOUBLE_EQ(both.height, a.height + b.height);
  EXPECT_DOUBLE_EQ(both.width, std::max(a.width, b.width));
  const int offset = static_cast<int>(a.nodes.size());
  for (std::size_t n = a.nodes.size(); n < both.nodes.size(); ++n) {
    const DrawnNode& node = both.nodes[n];
    const DrawnNode& was = b.nodes[n - a.nodes.size()];
    EXPECT_EQ(node.parent, was.parent < 0 ? -1 : was.parent + offset);
    EXPECT_EQ(node.tree, was.tree + 2);
    EXPECT_DOUBLE_EQ(node.box.top, was.box.top + a.height);
    EXPECT_GE(node.box.top, a.height);
  }
  for (std::size_t e = a.edges.size(); e < both.edges.size(); ++e) {
    EXPECT_GE(both.edges[e].parent, offset);
    EXPECT_EQ(both.nodes[both.edges[e].child].parent, both.edges[e].parent);
  }
  for (std::size_t t = a.texts.size(); t < both.texts.size(); ++t) {
    EXPECT_EQ(both.texts[t].text, b.texts[t - a.texts.size()].text);
    const int node = both.texts[t].node;
    EXPECT_TRUE(node < 0 || node >= offset) << node;
  }

  // The span of the root of VerbPhrase: from v to the last n, under them;
  // of the inner NP: n and u<的>.
  const SpanLine root = PointSpan(a, 0);
  double left = 1e9, right = -1e9, bottom = 0;
  for (std::size_t n = 0; n < a.nodes.size(); ++n) {
    if (!a.nodes[n].leaf || a.nodes[n].tree != 0) continue;
    left = std::min(left, a.nodes[n].box.left);
    right = std::max(right, a.nodes[n].box.right());
    bottom = std::max(bottom, a.nodes[n].box.bottom());
  }
  EXPECT_DOUBLE_EQ(root.left, std::min(left, a.nodes[0].box.left));
  EXPECT_DOUBLE_EQ(root.right, std::max(right, a.nodes[0].box.right()));
  EXPECT_DOUBLE_EQ(root.y, bottom);
  // Preorder: VP, v, NP, NP:的字结构, n, u<的>, n.
  const SpanLine inner = PointSpan(a, 3);
  EXPECT_DOUBLE_EQ(inner.left, std::min(a.nodes[4].box.left, a.nodes[3].box.left));
  EXPECT_DOUBLE_EQ(inner.right, std::max(a.nodes[5].box.right(), a.nodes[3].box.right()));
  // A leaf is its own span; the lone tree's too.
  const SpanLine leaf = PointSpan(a, 1);
  EXPECT_DOUBLE_EQ(leaf.left, a.nodes[1].box.left);
  EXPECT_DOUBLE_EQ(leaf.y, a.nodes[1].box.bottom());
}

TEST(ApproximateTextWidthTest, AChineseCharacterIsAsWideAsTheFontAnAsciiOne60Percent) {
  EXPECT_DOUBLE_EQ(ApproximateTextWidth("", 10), 0);
  EXPECT_DOUBLE_EQ(ApproximateTextWidth("NP", 10), 12);
  EXPECT_DOUBLE_EQ(ApproximateTextWidth("定中", 10), 20);
  EXPECT_DOUBLE_EQ(ApproximateTextWidth("u<的>", 10), 28);
  EXPECT_DOUBLE_EQ(ApproximateTextWidth("\xF0\xA0\x80\x80", 10), 10);  // one 4-byte character
}

}  // namespace
}  // namespace marvolen
