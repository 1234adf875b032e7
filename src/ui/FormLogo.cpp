#include "ui/FormLogo.h"

#include <QImage>
#include <QPainter>

#include "ui/Assets.h"
#include "ui/Jpeg.h"

QPixmap LoadLogoPixmap(const std::string& name) {
  const std::string path = FindAssetFile(name);
  TRgbImage picture;
  std::string error;
  if (path.empty() || !DecodeJpegFile(path, picture, error)) return {};
  // The pixmap takes its own copy of the pixels.
  return QPixmap::fromImage(QImage(picture.Rgb.data(), picture.Width, picture.Height,
                                   picture.Width * 3, QImage::Format_RGB888));
}

QIcon ProgramIcon() {
  const std::string path = FindAssetFile("vantel.png");
  return path.empty() ? QIcon() : QIcon(QString::fromStdString(path));
}

namespace {

// Paper in the feed, the body with its lamp, and a printed sheet coming out, on a 32 x 32 grid.
QPixmap DrawPrinter(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  p.setPen(QPen(QColor(0x3a, 0x3f, 0x45), 1.5));
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
  return pixmap;
}

} // namespace

QIcon PrinterIcon() {
  QIcon drawn;
  for (int size : {16, 22, 24, 32, 48}) drawn.addPixmap(DrawPrinter(size));
  return QIcon::fromTheme("document-print", drawn);
}
