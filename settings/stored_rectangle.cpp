// Where the operator window opens.
#include "settings/stored_rectangle.h"

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

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

}  // namespace

PixelRect PlaceStoredRectangle(const PixelRect& stored, PixelSize created_outer_size,
                               PixelSize frame_size, const ScreenAreas& screens) {
  // The primary screen begins at the origin on Windows, so its far edges are its height and
  // width there; elsewhere it may not, and the edges are where it ends.
  const int bottom_edge = screens.primary.top + screens.primary.height;
  const int right_edge = screens.primary.left + screens.primary.width;
  int top = stored.top;
  if (top >= bottom_edge) top = bottom_edge - created_outer_size.height - kFarEdgeMargin;
  int left = stored.left;
  if (left >= right_edge) left = right_edge - created_outer_size.width - kFarEdgeMargin;
  PixelRect outer{ClampCoordinate(left), ClampCoordinate(top),
                  ClampSize(stored.width, screens.desktop.width, frame_size.width),
                  ClampSize(stored.height, screens.desktop.height, frame_size.height)};
  // An empty rectangle overlaps nothing; the window still takes room where it stands.
  const PixelRect footprint{outer.left, outer.top, std::max(outer.width, 1),
                            std::max(outer.height, 1)};
  const bool visible = std::any_of(screens.available.begin(), screens.available.end(),
                                   [&](const PixelRect& area) { return Overlap(area, footprint); });
  if (!visible) {
    outer.left = screens.primary_available.left;
    outer.top = screens.primary_available.top;
  }
  return outer;
}

}  // namespace settings
