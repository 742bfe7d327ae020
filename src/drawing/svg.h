// Tree drawings as SVG: standalone UTF-8 documents with no script, for
// marvolen-report --svg, the HTML report and export from the workbench.
#ifndef MARVOLEN_DRAWING_SVG_H_
#define MARVOLEN_DRAWING_SVG_H_

#include <string>
#include <string_view>

#include "drawing/tree_layout.h"

namespace marvolen {

// The font family of the drawings: a Chinese font first.
inline constexpr char kSvgFontFamily[] = "'Noto Sans CJK SC', SimSun, sans-serif";

// The colours of a drawing on white paper, as "#rrggbb": the SVG's, and the
// workbench's for images it exports.
struct DrawingColours {
  const char* background;
  const char* edge;
  const char* label;
  const char* title;
  const char* marked;      // the texts of a marked node
  const char* markGround;  // behind a marked node
  const char* point;       // the frame of a divergence point's top
};
inline constexpr DrawingColours kPaperColours = {"#ffffff", "#555555", "#111111", "#666666",
                                                 "#b3261e", "#ffe9a8", "#1565c0"};

// A complete SVG document (XML declaration included) that draws `drawing`:
// edges, texts centred in their boxes at style.fontSize, marked nodes on a
// coloured ground, the tops of divergence points framed and their spans
// underlined, numbers and headings in bold, on a white background.
std::string RenderSvg(const DrawnTree& drawing, const TreeStyle& style = {});

// `text` with the characters that XML gives a meaning (& < > " ') written as
// references, and the control characters that XML cannot hold as U+FFFD.
std::string EscapeXml(std::string_view text);

}  // namespace marvolen

#endif  // MARVOLEN_DRAWING_SVG_H_
