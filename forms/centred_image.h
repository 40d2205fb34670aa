// An image box that draws its picture at the picture's own pixel size, centred: shrunk, keeping
// its proportions, only when the box is smaller, and never enlarged. The picture keeps its
// physical pixels at any display scale, since pictures are not rescaled with the window.
#pragma once

#include <QPixmap>
#include <QWidget>

class QImage;

namespace forms {

class CentredImage : public QWidget {
  Q_OBJECT

 public:
  explicit CentredImage(QWidget* parent = nullptr);

  void SetPicture(const QImage& picture);
  // The picture's size in physical pixels, as stored.
  QSize PictureSize() const { return picture_.size(); }
  // Where the picture is drawn, in the box's own coordinates at its current device pixel
  // ratio; its corners fall on whole physical pixels, so an unshrunk picture is not resampled.
  QRectF PictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Where the picture goes in physical pixels of the box, at the given device pixel ratio.
  QRect PhysicalPictureRect(qreal ratio) const;

  QPixmap picture_;
};

}  // namespace forms
