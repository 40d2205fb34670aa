// An image box that draws its picture at the picture's own pixel size, centred.
#include "forms/centred_image.h"

#include <QImage>
#include <QPainter>
#include <cmath>

namespace forms {

// The box paints no background of its own, so transparent parts show the window's.
CentredImage::CentredImage(QWidget* parent) : QWidget(parent) {}

void CentredImage::SetPicture(const QImage& picture) {
  picture_ = QPixmap::fromImage(picture);
  update();
}

QRect CentredImage::PhysicalPictureRect(qreal ratio) const {
  if (picture_.isNull()) return {};
  const QSize box(static_cast<int>(std::floor(width() * ratio)),
                  static_cast<int>(std::floor(height() * ratio)));
  QSize drawn = picture_.size();
  if (drawn.width() > box.width() || drawn.height() > box.height()) {
    drawn.scale(box, Qt::KeepAspectRatio);
  }
  const int left = (box.width() - drawn.width()) / 2;
  const int top = (box.height() - drawn.height()) / 2;
  return QRect(QPoint(left, top), drawn);
}

QRectF CentredImage::PictureRect() const {
  const qreal ratio = devicePixelRatioF();
  const QRect physical = PhysicalPictureRect(ratio);
  return QRectF(physical.x() / ratio, physical.y() / ratio, physical.width() / ratio,
                physical.height() / ratio);
}

void CentredImage::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  // The ratio is the box's own, read at every paint: it changes when the window moves to a
  // screen of another scale, and the picture must keep its physical pixels there as well.
  const qreal ratio = devicePixelRatioF();
  if (picture_.devicePixelRatio() != ratio) picture_.setDevicePixelRatio(ratio);
  const QRect physical = PhysicalPictureRect(ratio);
  const QRectF target = PictureRect();
  QPainter painter(this);
  if (physical.size() == picture_.size()) {
    painter.drawPixmap(target.topLeft(), picture_);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, picture_, QRectF(picture_.rect()));
  }
}

}  // namespace forms
