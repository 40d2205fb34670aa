// Reads a picture compiled into the program.
#include "resources/bundled_image.h"

#include <QImageReader>

namespace resources {

QImage ReadBundledPng(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

bool BundledPngReadable(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.canRead() && reader.size().isValid();
}

}  // namespace resources
