// Drawing laid-out parse trees with a QPainter.
#include "shell/tree_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QPolygonF>
#include <cmath>

#include "drawing/svg.h"

namespace marvolen {

namespace {

// `a` with `share` of `b` mixed in.
QColor Mix(const QColor& a, const QColor& b, double share) {
  return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - share) + b.redF() * share),
                          static_cast<float>(a.greenF() * (1 - share) + b.greenF() * share),
                          static_cast<float>(a.blueF() * (1 - share) + b.blueF() * share));
}

QRectF Rect(const DrawingRect& r) { return QRectF(r.left, r.top, r.width, r.height); }

}  // namespace

TreeColours ColoursFor(const QPalette& palette) {
  const QColor base = palette.color(QPalette::Base);
  const QColor text = palette.color(QPalette::Text);
  const bool dark = base.lightnessF() < 0.5;
  return {base,
          Mix(text, base, 0.3),
          text,
          Mix(text, base, 0.4),
          dark ? QColor(0xff, 0x8a, 0x80) : QColor(kPaperColours.marked),
          dark ? QColor(0x5c, 0x47, 0x0a) : QColor(kPaperColours.markGround),
          dark ? QColor(0x64, 0xb5, 0xf6) : QColor(0x15, 0x65, 0xc0)};
}

TreeColours PaperColours() {
  return {QColor(kPaperColours.background), QColor(kPaperColours.edge),
          QColor(kPaperColours.label),      QColor(kPaperColours.title),
          QColor(kPaperColours.marked),     QColor(kPaperColours.markGround),
          QColor(kPaperColours.point)};
}

QFont TreeFont(int pixelSize) {
  QFont font;
  font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("SimSun"),
                    QStringLiteral("Microsoft YaHei")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, pixelSize));
  return font;
}

MeasureText FontMeasure(const QFont& font) {
  return [metrics = QFontMetricsF(font)](std::string_view utf8) {
    return metrics.horizontalAdvance(
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  };
}

TreeStyle StyleFor(const QFont& font) {
  TreeStyle style;
  const double scale = QFontInfo(font).pixelSize() / style.fontSize;
  style.fontSize *= scale;
  style.lineHeight = std::max(style.lineHeight * scale, QFontMetricsF(font).height());
  for (double* size : {&style.paddingX, &style.nodeGap, &style.levelGap, &style.treeGap,
                       &style.rowGap, &style.margin})
    *size *= scale;
  return style;
}

void PaintDrawing(QPainter& painter, const DrawnTree& drawing, const QFont& font,
                  const TreeColours& colours) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colours.markGround);
  const double radius = QFontInfo(font).pixelSize() / 5.0;
  for (const DrawnNode& node : drawing.nodes)
    if (node.marked) painter.drawRoundedRect(Rect(node.box), radius, radius);

  painter.setPen(QPen(colours.edge, std::max(1.0, QFontInfo(font).pixelSize() / 14.0)));
  painter.setBrush(Qt::NoBrush);
  for (const DrawnEdge& edge : drawing.edges) {
    QPolygonF line;
    for (const DrawingPoint& p : edge.points) line.append(QPointF(p.x, p.y));
    painter.drawPolyline(line);
  }

  // A point's top: a frame round the node, and a line under the leaves of
  // its span, from its first leaf's left to its last leaf's right.
  const double pen = std::max(1.5, QFontInfo(font).pixelSize() / 8.0);
  painter.setPen(QPen(colours.point, pen));
  for (std::size_t i = 0; i < drawing.nodes.size(); ++i) {
    if (!drawing.nodes[i].point) continue;
    const QRectF box = Rect(drawing.nodes[i].box);
    painter.drawRoundedRect(box.adjusted(-pen, -pen, pen, pen), radius, radius);
    const SpanLine span = PointSpan(drawing, i);
    const double under = span.y + 2 * pen;
    painter.drawLine(QPointF(span.left, under), QPointF(span.right, under));
  }

  QFont bold = font;
  bold.setBold(true);
  for (const DrawnText& text : drawing.texts) {
    const bool marked = text.node >= 0 && drawing.nodes[text.node].marked;
    painter.setPen(marked                                 ? colours.marked
                   : text.role == DrawnText::Role::kTitle ? colours.title
                                                          : colours.label);
    const bool strong =
        text.role == DrawnText::Role::kNumber || text.role == DrawnText::Role::kHeading;
    painter.setFont(strong ? bold : font);
    painter.drawText(Rect(text.box), Qt::AlignCenter | Qt::TextDontClip,
                     QString::fromStdString(text.text));
  }
  painter.restore();
}

QImage RenderImage(const DrawnTree& drawing, const QFont& font, double dotsPerInch) {
  const double width = std::ceil(drawing.width), height = std::ceil(drawing.height);
  if (!(width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
        width * height <= kMaxImagePixels))
    return QImage();
  QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  if (image.isNull()) return image;  // out of memory
  const TreeColours paper = PaperColours();
  image.fill(paper.background);
  const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  QPainter painter(&image);
  PaintDrawing(painter, drawing, font, paper);
  return image;
}

}  // namespace marvolen
