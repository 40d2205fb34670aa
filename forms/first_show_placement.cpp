// First-show placement of the modal windows.
#include "forms/first_show_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace forms {

void PlaceForFirstShowing(QWidget& window, const QWidget* owner) {
  // Qt sets WA_Moved once a window has been positioned (by us or by the user dragging it).
  if (window.testAttribute(Qt::WA_Moved)) return;
  QScreen* screen = owner != nullptr ? owner->screen() : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect work_area = screen->availableGeometry();
  const QRect desktop = screen->virtualGeometry();
  // The native window knows its frame; made now, the frame is centred, not just the client.
  window.winId();
  const QSize outer = window.frameGeometry().size();
  const int left =
      std::max(desktop.left(), work_area.left() + (work_area.width() - outer.width()) / 2);
  const int top =
      std::max(desktop.top(), work_area.top() + (work_area.height() - outer.height()) / 2);
  window.move(left, top);
}

}  // namespace forms
