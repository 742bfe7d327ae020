// Drawing laid-out parse trees with a QPainter: the measuring function made
// of a Qt font's metrics, the colours of the screen (the palette, light or
// dark) and of paper, and images of a drawing for the clipboard and PNG
// files.
#ifndef MARVOLEN_SHELL_TREE_PAINTER_H_
#define MARVOLEN_SHELL_TREE_PAINTER_H_

#include <QColor>
#include <QFont>
#include <QImage>
#include <vector>

#include "drawing/tree_layout.h"

class QPainter;
class QPalette;

namespace marvolen {

struct TreeColours {
  QColor background, edge, label, title, marked, markGround;
  QColor point;  // the frame of a divergence point's top node
};

// Colours that suit `palette`: its text on its base, the marks in a colour
// that stands out on a light or on a dark base.
TreeColours ColoursFor(const QPalette& palette);
// The colours of the SVG drawings: dark on white.
TreeColours PaperColours();

// The font of the drawings, a Chinese one first, `pixelSize` pixels high.
QFont TreeFont(int pixelSize);
// Widths as `font` draws the texts.
MeasureText FontMeasure(const QFont& font);

// A drawing's style for `font`: the default sizes scaled to its pixel size.
TreeStyle StyleFor(const QFont& font);

// Draw `drawing` (without a background) with its origin at the painter's.
// The tops of divergence points (DrawnNode::point) are framed, and
// underlined under their span.
void PaintDrawing(QPainter& painter, const DrawnTree& drawing, const QFont& font,
                  const TreeColours& colours);

// `drawing` on paper, a unit to a pixel; the image says it has
// `dotsPerInch`. Null when it would be larger than an image may be
// (kMaxImagePixels, or kMaxImageSide pixels a side).
QImage RenderImage(const DrawnTree& drawing, const QFont& font, double dotsPerInch);
inline constexpr qint64 kMaxImagePixels = 100'000'000;
inline constexpr int kMaxImageSide = 32767;

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_TREE_PAINTER_H_
