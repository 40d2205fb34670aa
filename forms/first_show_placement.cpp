// First-show placement of the modal windows.
#include "forms/first_show_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "forms/placement/form_frame.h"

namespace forms {

void PlaceForFirstShowing(QWidget& window, const QWidget* owner) {
  // Qt sets WA_Moved once a window has been positioned (by us or by the user dragging it).
  if (window.testAttribute(Qt::WA_Moved)) return;
  QScreen* screen = owner != nullptr ? owner->screen() : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The native window is made now, so that its frame can be known and centred with it.
  window.winId();
  const qreal ratio = window.devicePixelRatioF();
  const QRect work_area = settings::ToPhysical(screen->availableGeometry(), ratio);
  const QRect desktop = settings::ToPhysical(screen->virtualGeometry(), ratio);
  const QSize outer = settings::ToPhysical(window.geometry(), ratio)
                          .marginsAdded(settings::PhysicalFrameMargins(window))
                          .size();
  const int left =
      std::max(desktop.left(), work_area.left() + (work_area.width() - outer.width()) / 2);
  const int top =
      std::max(desktop.top(), work_area.top() + (work_area.height() - outer.height()) / 2);
  settings::SetPhysicalFrameGeometry(window, QRect(QPoint(left, top), outer));
}

}  // namespace forms
