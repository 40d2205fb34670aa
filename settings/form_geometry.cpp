// A top-level window's outer rectangle in physical pixels.
#include "settings/form_geometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace settings {
namespace {

// Events of the window that may bring the frame's size before the keeper gives up: the
// first few moves and resizes after the window is mapped.
constexpr int kMaxFrameWaitEvents = 16;

int ToPhysical(int logical, qreal ratio) {
  return qRound(logical * ratio);
}

int ToLogical(int physical, qreal ratio) {
  return qRound(physical / ratio);
}

QRect ToPhysical(const QRect& logical, qreal ratio) {
  return {ToPhysical(logical.x(), ratio), ToPhysical(logical.y(), ratio),
          ToPhysical(logical.width(), ratio), ToPhysical(logical.height(), ratio)};
}

QSize FrameExtra(const QWidget& window) {
  return window.frameGeometry().size() - window.geometry().size();
}

// Sets the window's client size from an outer size once the window system reports the frame.
class OuterSizeKeeper : public QObject {
 public:
  OuterSizeKeeper(QWidget& window, QSize outer_size)
      : QObject(&window), window_(&window), outer_size_(outer_size), client_size_(window.size()) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_ || (event->type() != QEvent::Move && event->type() != QEvent::Resize)) {
      return false;
    }
    const QSize extra = FrameExtra(*window_);
    if (window_->size() != client_size_) {
      deleteLater();  // resized by someone else meanwhile: that size stands
    } else if (!extra.isNull()) {
      window_->resize(outer_size_ - extra);
      deleteLater();
    } else if (++events_ >= kMaxFrameWaitEvents) {
      deleteLater();  // a window system without frames, or one that never tells
    }
    return false;
  }

 private:
  QPointer<QWidget> window_;
  QSize outer_size_;
  QSize client_size_;  // the size set from the stored one, while the frame was unknown
  int events_ = 0;
};

}  // namespace

QRect StoredOuterGeometry(const QWidget& window) {
  const qreal ratio = window.devicePixelRatioF();
  const QRect frame = window.frameGeometry();
  if (!window.isMinimized()) return ToPhysical(frame, ratio);
  const QRect client = window.geometry();
  const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : client;
  const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                         frame.right() - client.right(), frame.bottom() - client.bottom());
  return ToPhysical(normal.marginsAdded(margins), ratio);
}

QSize CurrentOuterSize(const QWidget& window) {
  const qreal ratio = window.devicePixelRatioF();
  const QSize size = window.frameGeometry().size();
  return {ToPhysical(size.width(), ratio), ToPhysical(size.height(), ratio)};
}

ScreenLayout CurrentScreenLayout(const QWidget& window) {
  const qreal ratio = window.devicePixelRatioF();
  ScreenLayout layout;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    layout.primary = ToPhysical(primary->geometry(), ratio);
    layout.primary_available = ToPhysical(primary->availableGeometry(), ratio);
  }
  for (const QScreen* screen : QGuiApplication::screens()) {
    layout.available.append(ToPhysical(screen->availableGeometry(), ratio));
  }
  return layout;
}

void ApplyOuterGeometry(QWidget& window, const QRect& outer) {
  const qreal ratio = window.devicePixelRatioF();
  const QSize outer_size(ToLogical(outer.width(), ratio), ToLogical(outer.height(), ratio));
  // For a top-level window, move() places the frame's top left corner.
  window.move(ToLogical(outer.x(), ratio), ToLogical(outer.y(), ratio));
  window.resize(outer_size - FrameExtra(window));
  // Even in the show handler the window is not mapped yet, so an unknown frame is the rule
  // at start-up on window systems that add frames.
  if (FrameExtra(window).isNull()) new OuterSizeKeeper(window, outer_size);
}

}  // namespace settings
