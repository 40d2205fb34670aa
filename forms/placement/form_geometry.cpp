// A top-level window's outer rectangle in physical pixels.
#include "forms/placement/form_geometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include "forms/placement/form_frame.h"

namespace settings {
namespace {

// Events of the window that may bring the frame's size before the keeper gives up: the
// first few after the window is mapped.
constexpr int kMaxFrameWaitEvents = 32;

// What the window remembers of its placement: the outer rectangle it was given (physical
// pixels) and the client rectangle that stood for it (device-independent pixels).
constexpr char kPlacedOuterProperty[] = "queuePlacedOuter";
constexpr char kPlacedClientProperty[] = "queuePlacedClient";

void RememberPlacement(QWidget& window, const QRect& outer, const QRect& client) {
  window.setProperty(kPlacedOuterProperty, outer);
  window.setProperty(kPlacedClientProperty, client);
}

// The client rectangle of the window's normal placement: the current one, or the restored one
// while minimised.
QRect NormalClientGeometry(const QWidget& window) {
  if (window.isMinimized() && window.normalGeometry().isValid()) return window.normalGeometry();
  return window.geometry();
}

// Places the window again by its outer rectangle once the window system has told its frame,
// which some do only after mapping the window.
class FrameArrivalKeeper : public QObject {
 public:
  FrameArrivalKeeper(QWidget& window, QRect outer, QRect client)
      : QObject(&window), window_(&window), outer_(outer), client_(client) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_ || !IsGeometryNews(event->type())) return false;
    if (window_->geometry() != client_) {
      deleteLater();  // moved or resized by someone else meanwhile: that placement stands
    } else if (!FrameMayArriveLater(*window_)) {
      const QRect client = SetPhysicalFrameGeometry(*window_, outer_);
      RememberPlacement(*window_, outer_, client);
      deleteLater();
    } else if (++events_ >= kMaxFrameWaitEvents) {
      deleteLater();  // a window manager that never tells
    }
    return false;
  }

 private:
  static bool IsGeometryNews(QEvent::Type type) {
    return type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show ||
           type == QEvent::Expose || type == QEvent::WindowActivate ||
           type == QEvent::UpdateRequest;
  }

  QPointer<QWidget> window_;
  QRect outer_;
  QRect client_;
  int events_ = 0;
};

}  // namespace

QRect StoredOuterGeometry(const QWidget& window) {
  const QRect client = NormalClientGeometry(window);
  const QVariant placed_outer = window.property(kPlacedOuterProperty);
  if (placed_outer.isValid() && window.property(kPlacedClientProperty).toRect() == client) {
    return placed_outer.toRect();
  }
  QRect outer = ToPhysical(client, window.devicePixelRatioF())
                    .marginsAdded(KnownPhysicalFrameMargins(window));
  if (placed_outer.isValid() && WindowSystemPlacesWindows()) {
    outer.moveTopLeft(placed_outer.toRect().topLeft());
  }
  return outer;
}

QSize CurrentFrameSize(QWidget& window) {
  const QMargins margins = PhysicalFrameMargins(window);
  return {margins.left() + margins.right(), margins.top() + margins.bottom()};
}

QSize CurrentOuterSize(QWidget& window) {
  return ToPhysical(window.geometry(), window.devicePixelRatioF()).size() +
         CurrentFrameSize(window);
}

ScreenLayout CurrentScreenLayout(const QWidget& window) {
  const qreal ratio = window.devicePixelRatioF();
  ScreenLayout layout;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    layout.primary = ToPhysical(primary->geometry(), ratio);
    layout.primary_available = ToPhysical(primary->availableGeometry(), ratio);
    layout.desktop = ToPhysical(primary->virtualGeometry(), ratio);
  }
  for (const QScreen* screen : QGuiApplication::screens()) {
    layout.available.append(ToPhysical(screen->availableGeometry(), ratio));
  }
  return layout;
}

void ApplyOuterGeometry(QWidget& window, const QRect& outer) {
  // Asked before the client rectangle is worked out: on X11 the window manager tells the frame
  // it will draw, which Qt itself learns only after mapping.
  PhysicalFrameMargins(window);
  const QRect client = SetPhysicalFrameGeometry(window, outer);
  RememberPlacement(window, outer, client);
  if (FrameMayArriveLater(window)) new FrameArrivalKeeper(window, outer, client);
}

}  // namespace settings
