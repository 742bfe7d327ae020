// Toolbar images and icons, drawn with QPainter.
#include "shell/images.h"

#include <QPainter>
#include <QPainterPath>

#include "shell/commands.h"

namespace marvolen {

namespace {

const QColor kOutline(64, 64, 64);

void DrawPage(QPainter& p, const QRect& r) {
  QPainterPath page;
  page.moveTo(r.left(), r.top());
  page.lineTo(r.right() - 3, r.top());
  page.lineTo(r.right(), r.top() + 3);
  page.lineTo(r.right(), r.bottom());
  page.lineTo(r.left(), r.bottom());
  page.closeSubpath();
  p.setPen(kOutline);
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(r.right() - 3, r.top(), r.right() - 3, r.top() + 3);
  p.drawLine(r.right() - 3, r.top() + 3, r.right(), r.top() + 3);
}

void DrawTree(QPainter& p, const QPointF& root, qreal w, qreal h, const QColor& color, qreal dot) {
  const QPointF left(root.x() - w / 2, root.y() + h / 2);
  const QPointF right(root.x() + w / 2, root.y() + h / 2);
  const QPointF leftLeaf(left.x() - w / 4, root.y() + h);
  const QPointF leftLeaf2(left.x() + w / 4, root.y() + h);
  p.setPen(QPen(color, dot / 2.5));
  p.drawLine(root, left);
  p.drawLine(root, right);
  p.drawLine(left, leftLeaf);
  p.drawLine(left, leftLeaf2);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  for (const QPointF& pt : {root, left, right, leftLeaf, leftLeaf2}) p.drawEllipse(pt, dot, dot);
}

void DrawButton(QPainter& p, int command) {
  switch (command) {
    case kFileNew:
      DrawPage(p, QRect(3, 1, 10, 13));
      break;
    case kFileOpen: {
      p.setPen(kOutline);
      p.setBrush(QColor(230, 190, 60));
      p.drawRect(1, 4, 12, 9);
      p.drawRect(1, 2, 5, 2);
      p.setBrush(QColor(250, 220, 110));
      const QPointF flap[] = {{3, 7}, {15, 7}, {13, 13}, {1, 13}};
      p.drawPolygon(flap, 4);
      break;
    }
    case kFileSave:
      p.setPen(kOutline);
      p.setBrush(QColor(40, 80, 170));
      p.drawRect(1, 1, 13, 13);
      p.setBrush(Qt::white);
      p.drawRect(4, 1, 7, 5);
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(4, 9, 7, 5);
      break;
    case kEditCut:
      p.setPen(QPen(kOutline, 1.2));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(4.5, 11.5), 2.5, 2.5);
      p.drawEllipse(QPointF(11.5, 11.5), 2.5, 2.5);
      p.drawLine(QPointF(6, 9.5), QPointF(11, 1));
      p.drawLine(QPointF(10, 9.5), QPointF(5, 1));
      break;
    case kEditCopy:
      DrawPage(p, QRect(1, 1, 8, 10));
      DrawPage(p, QRect(6, 4, 8, 10));
      break;
    case kEditPaste:
      p.setPen(kOutline);
      p.setBrush(QColor(170, 120, 60));
      p.drawRect(1, 2, 10, 12);
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(4, 1, 4, 2);
      DrawPage(p, QRect(6, 5, 8, 9));
      break;
    case kFilePrint:
      p.setPen(kOutline);
      p.setBrush(Qt::white);
      p.drawRect(4, 1, 8, 6);
      p.setBrush(QColor(170, 170, 170));
      p.drawRect(1, 6, 14, 6);
      p.setBrush(Qt::white);
      p.drawRect(4, 10, 8, 4);
      p.setPen(QColor(40, 160, 40));
      p.drawPoint(13, 8);
      break;
    case kAppAbout: {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(40, 80, 170));
      p.drawEllipse(QRectF(1, 0.5, 14, 14));
      QFont font = p.font();
      font.setPixelSize(12);
      font.setBold(true);
      p.setFont(font);
      p.setPen(Qt::white);
      p.drawText(QRect(1, 0, 14, 15), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    default:
      break;
  }
}

QPixmap DrawIcon(bool document, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size / 32.0;
  if (document) {
    DrawPage(p, QRect(qRound(5 * s), qRound(2 * s), qRound(22 * s), qRound(28 * s)));
    DrawTree(p, QPointF(16 * s, 9 * s), 12 * s, 14 * s, QColor(40, 80, 170), 2 * s);
  } else {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 80, 170));
    p.drawRoundedRect(QRectF(1 * s, 1 * s, 30 * s, 30 * s), 6 * s, 6 * s);
    DrawTree(p, QPointF(17 * s, 7 * s), 16 * s, 18 * s, Qt::white, 2.6 * s);
  }
  return pixmap;
}

}  // namespace

QPixmap ToolbarImage(int command) {
  QPixmap pixmap(kToolbarImageSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, command == kEditCut || command == kAppAbout);
  DrawButton(p, command);
  return pixmap;
}

QIcon AppIcon(bool document) {
  QIcon icon;
  for (int size : {16, 32, 48}) icon.addPixmap(DrawIcon(document, size));
  return icon;
}

}  // namespace marvolen
