#include "drawing/svg.h"

#include <gtest/gtest.h>

#include <cmath>

#include "encoding/gbk.h"

namespace marvolen {
namespace {

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

double Approximate(std::string_view text) { return ApproximateTextWidth(text, 14); }

TEST(EscapeXmlTest, MarkupCharactersBecomeReferencesAndControlsReplacementCharacters) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"u<的>", "u&lt;的&gt;"},
      {"a&&b", "a&amp;&amp;b"},
      {"\"'", "&quot;&apos;"},
      {"&amp;", "&amp;amp;"},
      {"tab\there\r\n", "tab\there\r\n"},
      {std::string("a\0b", 3),
       "a\xEF\xBF\xBD"
       "b"},
      {"\x01\x1F\x7F", "\xEF\xBF\xBD\xEF\xBF\xBD\x7F"},
      {"定中 NP", "定中 NP"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeXml(c.in), c.out) << c.in;
}

TEST(RenderSvgTest, DrawsEveryEdgeTextAndMarkOfTheLayout) {
  // Two trees: NP:定中 over x&y and u<的>, marked; and a lone leaf.
  std::vector<std::unique_ptr<ParseTreeNode>> trees;
  trees.push_back(std::make_unique<ParseTreeNode>("NP", Gbk("定中")));
  AppendChild(*trees[0], std::make_unique<ParseTreeNode>("x&y", ""));
  AppendChild(*trees[0], std::make_unique<ParseTreeNode>(Gbk("u<的>"), ""));
  trees.push_back(std::make_unique<ParseTreeNode>("\"q'", ""));
  const std::vector<std::vector<bool>> marks = {{true, false, true}};
  TreeStyle style;
  style.fontSize = 16;
  const DrawnTree drawing = LayOutTrees(trees, Approximate, style, marks, 1);
  const std::string svg = RenderSvg(drawing, style);

  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  const std::string size = "width=\"" + std::to_string(int(std::ceil(drawing.width))) +
                           "\" height=\"" + std::to_string(int(std::ceil(drawing.height))) + "\"";
  EXPECT_NE(svg.find(size), std::string::npos) << size;
  EXPECT_NE(svg.find("font-family=\"&apos;Noto Sans CJK SC&apos;, SimSun, sans-serif\""),
            std::string::npos);
  EXPECT_NE(svg.find("font-size=\"16\""), std::string::npos);

  // Every text once, escaped, UTF-8; the numbers bold.
  EXPECT_EQ(Occurrences(svg, "<text "), static_cast<int>(drawing.texts.size()));
  for (const char* text : {">NP<", ">定中<", ">x&amp;y<", ">u&lt;的&gt;<", ">&quot;q&apos;<",
                           " font-weight=\"bold\">[1]<", " font-weight=\"bold\">[2]<"}) {
    EXPECT_EQ(Occurrences(svg, text), 1) << text;
  }
  EXPECT_EQ(Occurrences(svg, "<polyline "), static_cast<int>(drawing.edges.size()));
  // The background and the two marked nodes.
  EXPECT_EQ(Occurrences(svg, "<rect "), 3);
  // Marked texts (NP, 定中 and u<的>) in the marking colour.
  EXPECT_EQ(Occurrences(svg, "fill=\"#b3261e\""), 3);
  // No scientific notation or locale commas in numbers.
  EXPECT_EQ(svg.find("e+"), std::string::npos);
}

// The tops of divergence points: each framed and its span underlined in
// the points' colour; a drawing without them has none of it. Headings are
// bold.
TEST(RenderSvgTest, PointsAreFramedAndUnderlinedAndHeadingsBold) {
  std::vector<std::unique_ptr<ParseTreeNode>> trees;
  trees.push_back(std::make_unique<ParseTreeNode>("NP", ""));
  AppendChild(*trees[0], std::make_unique<ParseTreeNode>("n", ""));
  AppendChild(*trees[0], std::make_unique<ParseTreeNode>("n", ""));
  const TreeStyle style;
  DrawnTree drawing = LayOutTrees(trees, Approximate, style, {}, 0);
  const std::string plain = RenderSvg(drawing, style);
  EXPECT_EQ(plain.find(kPaperColours.point), std::string::npos);

  drawing.nodes[0].point = true;
  AddLineAbove(drawing, "根 NP", DrawnText::Role::kHeading, Approximate, style);
  const std::string svg = RenderSvg(drawing, style);
  EXPECT_EQ(Occurrences(svg, std::string("stroke=\"") + kPaperColours.point + "\""), 1);
  EXPECT_EQ(Occurrences(svg, "<line "), 1);
  EXPECT_EQ(Occurrences(svg, "<rect "), 2);  // the background and the frame
  EXPECT_EQ(Occurrences(svg, " font-weight=\"bold\">根 NP<"), 1);
  // The line under both leaves, below them.
  const SpanLine span = PointSpan(drawing, 0);
  EXPECT_DOUBLE_EQ(span.left, drawing.nodes[1].box.left);
  EXPECT_DOUBLE_EQ(span.right, drawing.nodes[2].box.right());
  EXPECT_NE(svg.find("<line x1=\"" + std::to_string(int(span.left))), std::string::npos);
}

TEST(RenderSvgTest, CoordinatesAreRoundedToTwoDecimals) {
  DrawnTree drawing;
  drawing.width = 10.2;
  drawing.height = 3;
  drawing.nodes.push_back({{-0.001, 1.23456, 2.5, 100}, -1, 0, true, true});
  drawing.nodes.push_back({{1e300, NAN, 1e-9, 7}, -1, 0, true, true});
  const std::string svg = RenderSvg(drawing);
  EXPECT_NE(svg.find("width=\"11\" height=\"3\""), std::string::npos);
  EXPECT_NE(svg.find("<rect x=\"0\" y=\"1.23\" width=\"2.5\" height=\"100\" rx=\"3\"/>"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find("<rect x=\"0\" y=\"0\" width=\"0\" height=\"7\" rx=\"3\"/>"),
            std::string::npos)
      << svg;
}

}  // namespace
}  // namespace marvolen
