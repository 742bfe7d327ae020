// Writing tree drawings as SVG.
#include "drawing/svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace marvolen {

namespace {

const char* const kEdgeColour = kPaperColours.edge;
const char* const kLabelColour = kPaperColours.label;
const char* const kTitleColour = kPaperColours.title;
const char* const kMarkedColour = kPaperColours.marked;
const char* const kMarkGround = kPaperColours.markGround;

// A coordinate with at most two decimals, never in exponent form, whatever
// the locale.
std::string Number(double value) {
  if (!std::isfinite(value)) return "0";
  double rounded = std::round(value * 100) / 100;
  if (rounded == 0) rounded = 0;  // no "-0"
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 2);
  if (result.ec != std::errc()) return "0";  // beyond any drawing
  std::string text(buffer, result.ptr);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

void AppendText(std::string& svg, const DrawnText& text, const TreeStyle& style,
                const char* colour) {
  // The baseline that centres a CJK line of fontSize in the line's box.
  const double baseline = text.box.top + text.box.height / 2 + 0.35 * style.fontSize;
  svg += "<text x=\"" + Number(text.box.left + text.box.width / 2) + "\" y=\"" + Number(baseline) +
         "\"";
  if (colour != kLabelColour) svg += std::string(" fill=\"") + colour + "\"";
  if (text.role == DrawnText::Role::kNumber || text.role == DrawnText::Role::kHeading)
    svg += " font-weight=\"bold\"";
  svg += ">" + EscapeXml(text.text) + "</text>\n";
}

}  // namespace

std::string EscapeXml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          out += "\xEF\xBF\xBD";  // U+FFFD
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string RenderSvg(const DrawnTree& drawing, const TreeStyle& style) {
  const std::string width = Number(std::ceil(drawing.width));
  const std::string height = Number(std::ceil(drawing.height));
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
         "\" viewBox=\"0 0 " + width + " " + height + "\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"" + std::string(kPaperColours.background) +
         "\"/>\n";

  svg += "<g fill=\"" + std::string(kMarkGround) + "\">\n";
  for (const DrawnNode& node : drawing.nodes) {
    if (!node.marked) continue;
    svg += "<rect x=\"" + Number(node.box.left) + "\" y=\"" + Number(node.box.top) + "\" width=\"" +
           Number(node.box.width) + "\" height=\"" + Number(node.box.height) + "\" rx=\"3\"/>\n";
  }
  svg += "</g>\n";

  svg += "<g fill=\"none\" stroke=\"" + std::string(kEdgeColour) + "\" stroke-width=\"1\">\n";
  for (const DrawnEdge& edge : drawing.edges) {
    svg += "<polyline points=\"";
    for (std::size_t i = 0; i < edge.points.size(); ++i) {
      if (i > 0) svg += ' ';
      svg += Number(edge.points[i].x) + "," + Number(edge.points[i].y);
    }
    svg += "\"/>\n";
  }
  svg += "</g>\n";

  // A point's top: a frame round the node, a line under the leaves of its
  // span. (A drawing without points is written as it always was.)
  const double pen = std::max(1.5, style.fontSize / 8);
  bool anyPoint = false;
  for (std::size_t i = 0; i < drawing.nodes.size(); ++i) {
    const DrawnNode& node = drawing.nodes[i];
    if (!node.point) continue;
    if (!anyPoint) {
      svg += "<g fill=\"none\" stroke=\"" + std::string(kPaperColours.point) +
             "\" stroke-width=\"" + Number(pen) + "\">\n";
      anyPoint = true;
    }
    svg += "<rect x=\"" + Number(node.box.left - pen) + "\" y=\"" + Number(node.box.top - pen) +
           "\" width=\"" + Number(node.box.width + 2 * pen) + "\" height=\"" +
           Number(node.box.height + 2 * pen) + "\" rx=\"" + Number(style.fontSize / 5) + "\"/>\n";
    const SpanLine span = PointSpan(drawing, i);
    const std::string under = Number(span.y + 2 * pen);
    svg += "<line x1=\"" + Number(span.left) + "\" y1=\"" + under + "\" x2=\"" +
           Number(span.right) + "\" y2=\"" + under + "\"/>\n";
  }
  if (anyPoint) svg += "</g>\n";

  svg += "<g font-family=\"" + EscapeXml(kSvgFontFamily) + "\" font-size=\"" +
         Number(style.fontSize) + "\" text-anchor=\"middle\" fill=\"" + kLabelColour + "\">\n";
  for (const DrawnText& text : drawing.texts) {
    const bool marked = text.node >= 0 && drawing.nodes[text.node].marked;
    const char* colour = marked                                 ? kMarkedColour
                         : text.role == DrawnText::Role::kTitle ? kTitleColour
                                                                : kLabelColour;
    AppendText(svg, text, style, colour);
  }
  svg += "</g>\n</svg>\n";
  return svg;
}

}  // namespace marvolen
