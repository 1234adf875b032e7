#include "ui/FormLogo.h"

#include <QImage>

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
