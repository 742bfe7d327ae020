// Toolbar images and icons, drawn with QPainter.
#include "shell/images.h"

#include <QPainter>

#include "shell/commands.h"

namespace marvolen {

namespace {

const QColor kOutline(64, 64, 64);
const QColor kBlue(40, 80, 170);

// A rectangle outlined in grey and filled with `fill`.
void Box(QPainter& p, const QColor& fill, int x, int y, int w, int h) {
  p.setPen(kOutline);
  p.setBrush(fill);
  p.drawRect(x, y, w, h);
}

// A sheet of paper with its top right corner folded.
void DrawPage(QPainter& p, const QRect& r) {
  const QPoint fold(r.right() - 3, r.top() + 3);
  const QPoint outline[] = {
      r.topLeft(), {fold.x(), r.top()}, {r.right(), fold.y()}, r.bottomRight(), r.bottomLeft()};
  const QPoint crease[] = {{fold.x(), r.top()}, fold, {r.right(), fold.y()}};
  p.setPen(kOutline);
  p.setBrush(Qt::white);
  p.drawPolygon(outline, 5);
  p.drawPolyline(crease, 3);
}

// A small parse tree: a root, two children, two leaves under the left one.
void DrawTree(QPainter& p, const QPointF& root, qreal w, qreal h, const QColor& color, qreal dot) {
  const QPointF left(root.x() - w / 2, root.y() + h / 2), right(root.x() + w / 2, root.y() + h / 2);
  const QPointF leaf1(left.x() - w / 4, root.y() + h), leaf2(left.x() + w / 4, root.y() + h);
  p.setPen(QPen(color, dot / 2.5));
  const QLineF branches[] = {{root, left}, {root, right}, {left, leaf1}, {left, leaf2}};
  p.drawLines(branches, 4);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  for (const QPointF& point : {root, left, right, leaf1, leaf2}) p.drawEllipse(point, dot, dot);
}

void DrawButton(QPainter& p, Command command) {
  using enum Command;
  switch (command) {
    case kFileNew:
      return DrawPage(p, QRect(3, 1, 10, 13));
    case kFileOpen: {
      Box(p, QColor(230, 190, 60), 1, 4, 12, 9);
      p.drawRect(1, 2, 5, 2);
      p.setBrush(QColor(250, 220, 110));
      return p.drawPolygon(QPolygonF({{3, 7}, {15, 7}, {13, 13}, {1, 13}}));
    }
    case kFileSave:
      Box(p, kBlue, 1, 1, 13, 13);
      Box(p, Qt::white, 4, 1, 7, 5);
      return Box(p, QColor(200, 200, 200), 4, 9, 7, 5);
    case kEditCut:
      p.setPen(QPen(kOutline, 1.2));
      p.drawEllipse(QPointF(4.5, 11.5), 2.5, 2.5);
      p.drawEllipse(QPointF(11.5, 11.5), 2.5, 2.5);
      p.drawLine(QPointF(6, 9.5), QPointF(11, 1));
      return p.drawLine(QPointF(10, 9.5), QPointF(5, 1));
    case kEditCopy:
      DrawPage(p, QRect(1, 1, 8, 10));
      return DrawPage(p, QRect(6, 4, 8, 10));
    case kEditPaste:
      Box(p, QColor(170, 120, 60), 1, 2, 10, 12);
      Box(p, QColor(200, 200, 200), 4, 1, 4, 2);
      return DrawPage(p, QRect(6, 5, 8, 9));
    case kFilePrint:
      Box(p, Qt::white, 4, 1, 8, 6);
      Box(p, QColor(170, 170, 170), 1, 6, 14, 6);
      Box(p, Qt::white, 4, 10, 8, 4);
      p.setPen(QColor(40, 160, 40));
      return p.drawPoint(13, 8);
    case kAppAbout: {
      p.setPen(Qt::NoPen);
      p.setBrush(kBlue);
      p.drawEllipse(QRectF(1, 0.5, 14, 14));
      QFont font = p.font();
      font.setPixelSize(12);
      font.setBold(true);
      p.setFont(font);
      p.setPen(Qt::white);
      return p.drawText(QRect(1, 0, 14, 15), Qt::AlignCenter, QStringLiteral("?"));
    }
    default:
      return;  // no image
  }
}

}  // namespace

QPixmap ToolbarImage(Command command) {
  QPixmap pixmap(kToolbarImageSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing,
                  command == Command::kEditCut || command == Command::kAppAbout);
  DrawButton(p, command);
  return pixmap;
}

QIcon AppIcon(bool document) {
  // Drawn at 48 x 48; smaller sizes are scaled from it.
  QPixmap pixmap(48, 48);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(1.5, 1.5);  // drawn on a 32 x 32 grid
  if (document) {
    DrawPage(p, QRect(5, 2, 22, 28));
    DrawTree(p, QPointF(16, 9), 12, 14, kBlue, 2);
  } else {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    DrawTree(p, QPointF(17, 7), 16, 18, Qt::white, 2.6);
  }
  p.end();
  return QIcon(pixmap);
}

}  // namespace marvolen
