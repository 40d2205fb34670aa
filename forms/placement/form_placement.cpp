// Where the operator window opens.
#include "forms/placement/form_placement.h"

#include <algorithm>

namespace settings {
namespace {

// No window system places a window beyond this, and within it a rectangle's edges cannot
// overflow an int, whatever a hand-edited file holds.
constexpr int kMaxCoordinate = 1 << 24;

int ClampCoordinate(int value) {
  return std::clamp(value, -kMaxCoordinate, kMaxCoordinate);
}

// A desktop of no size is one the window system did not tell; then only the range holds.
int ClampSize(int value, int desktop, int frame) {
  const int largest = desktop > 0 ? std::min(kMaxCoordinate, desktop + frame) : kMaxCoordinate;
  return std::clamp(value, 0, largest);
}

}  // namespace

QRect PlaceOperatorWindow(const StoredPlacement& stored, QSize created_outer_size, QSize frame_size,
                          const ScreenLayout& screens) {
  // The primary screen begins at the origin on Windows, so its far edges are its height and
  // width there; elsewhere it may not, and the edges are where it ends.
  const int bottom_edge = screens.primary.y() + screens.primary.height();
  const int right_edge = screens.primary.x() + screens.primary.width();
  int top = stored.top;
  if (top >= bottom_edge) top = bottom_edge - created_outer_size.height() - kFarEdgeMargin;
  int left = stored.left;
  if (left >= right_edge) left = right_edge - created_outer_size.width() - kFarEdgeMargin;
  QRect outer(ClampCoordinate(left), ClampCoordinate(top),
              ClampSize(stored.width, screens.desktop.width(), frame_size.width()),
              ClampSize(stored.height, screens.desktop.height(), frame_size.height()));
  // An empty rectangle overlaps nothing; the window still takes room where it stands.
  const QRect footprint(outer.topLeft(), outer.size().expandedTo(QSize(1, 1)));
  const bool visible = std::any_of(screens.available.begin(), screens.available.end(),
                                   [&](const QRect& area) { return area.intersects(footprint); });
  if (!visible) outer.moveTopLeft(screens.primary_available.topLeft());
  return outer;
}

}  // namespace settings
