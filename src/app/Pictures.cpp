#include "app/Pictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "ui/Assets.h"
#include "ui/Jpeg.h"

namespace {

QPixmap DecodeLogo(const std::string& name) {
  const std::string path = FindAssetFile(name);
  TRgbImage picture;
  std::string error;
  if (path.empty() || !DecodeJpegFile(path, picture, error)) return {};
  // The pixmap takes its own copy of the pixels.
  return QPixmap::fromImage(QImage(picture.Rgb.data(), picture.Width, picture.Height,
                                   picture.Width * 3, QImage::Format_RGB888));
}

} // namespace

QPixmap LoadLogoPixmap(const std::string& name, qreal pixelRatio) {
  // On a dense screen the picture drawn at twice the size ("logo@2x.jpg"), shown at the size
  // of the plain one; the plain one when that is missing or damaged.
  if (pixelRatio > 1) {
    const std::size_t dot = name.rfind('.');
    const std::string dense =
        dot == std::string::npos ? name + "@2x" : name.substr(0, dot) + "@2x" + name.substr(dot);
    QPixmap pixmap = DecodeLogo(dense);
    if (!pixmap.isNull()) {
      pixmap.setDevicePixelRatio(2);
      return pixmap;
    }
  }
  return DecodeLogo(name);
}

QIcon ProgramIcon() {
  const std::string path = FindAssetFile("vantel.png");
  return path.empty() ? QIcon() : QIcon(QString::fromStdString(path));
}

namespace {

const QColor Outline(0x3a, 0x3f, 0x45);

void DrawPage(QPainter& p, const QRectF& r, qreal fold) {
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({r.topLeft(), QPointF(r.right() - fold, r.top()),
                           QPointF(r.right(), r.top() + fold), r.bottomRight(), r.bottomLeft()}));
  p.drawPolyline(
      QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                 QPointF(r.right(), r.top() + fold)}));
}

// A bent arrow: an arc over the top, its head at the left end (mirrored for redo).
void DrawTurnArrow(QPainter& p, bool redo) {
  if (redo) {
    p.translate(32, 0);
    p.scale(-1, 1);
  }
  QPainterPath arc;
  arc.moveTo(9, 14);
  arc.cubicTo(13, 6, 25, 6, 26, 15);
  arc.cubicTo(27, 21, 22, 25, 17, 25);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x1f, 0x5f, 0xa8), 3.2, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(arc);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1f, 0x5f, 0xa8));
  p.drawPolygon(QPolygonF({QPointF(3, 10), QPointF(13, 9), QPointF(8, 19)}));
}

// Drawn on a 32 x 32 grid and scaled to the size asked for.
QPixmap DrawToolIcon(TToolIcon kind, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  p.setPen(QPen(Outline, 1.5));
  switch (kind) {
  case TToolIcon::New:
    DrawPage(p, QRectF(7, 3, 18, 26), 6);
    break;
  case TToolIcon::Open:
    p.setBrush(QColor(0xe0, 0xa8, 0x3a));
    p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(11, 8), QPointF(13, 11), QPointF(27, 11),
                             QPointF(27, 26), QPointF(3, 26)}));
    p.setBrush(QColor(0xf6, 0xcd, 0x6a));
    p.drawPolygon(QPolygonF({QPointF(7, 15), QPointF(30, 15), QPointF(27, 26), QPointF(3, 26)}));
    break;
  case TToolIcon::Save:
    p.setBrush(QColor(0x2f, 0x4f, 0x86));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 5, 16, 10));
    p.setBrush(QColor(0xc8, 0xcd, 0xd3));
    p.drawRect(QRectF(10, 19, 12, 9));
    break;
  case TToolIcon::Print:
    // Paper in the feed, the body with its lamp, and a printed sheet coming out.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 11));
    p.setBrush(QColor(0x7a, 0x84, 0x8e));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.drawLine(QLineF(11.5, 23, 20.5, 23));
    p.drawLine(QLineF(11.5, 26, 18, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0xc0, 0x3a));
    p.drawEllipse(QRectF(24, 15, 2.6, 2.6));
    break;
  case TToolIcon::Undo:
  case TToolIcon::Redo:
    DrawTurnArrow(p, kind == TToolIcon::Redo);
    break;
  }
  return pixmap;
}

} // namespace

QIcon ToolIcon(TToolIcon kind) {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48}) icon.addPixmap(DrawToolIcon(kind, size));
  return icon;
}
