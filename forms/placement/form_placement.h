// Where the operator window opens, from the position and size stored in the settings file.
// Everything here is in physical pixels of the virtual desktop.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace settings {

// The operator window's outer rectangle as the settings file stores it.
struct StoredPlacement {
  int top = 0;
  int left = 0;
  int width = 0;
  int height = 0;
};

struct ScreenLayout {
  QRect primary;            // the primary screen
  QRect primary_available;  // its area without task bars and docks
  QList<QRect> available;   // every screen's available area, the primary's included
  QRect desktop;            // the virtual desktop: every screen together
};

// Extra room kept between a corrected window and the primary screen's far edge.
constexpr int kFarEdgeMargin = 30;

// The outer rectangle the operator window gets:
// - a top at or below the primary screen's bottom edge becomes that edge minus the
//   window's created outer height minus kFarEdgeMargin; a left at or beyond the right edge
//   likewise with the created width (the correction uses the created size, not the stored
//   one, as the stored size is applied after it);
// - the stored width and height are applied as they are, but never larger than the whole
//   virtual desktop plus the window's frame (`frame_size`), which no window needs and which
//   a damaged file would otherwise turn into a window of gigabytes;
// - a window that then overlaps no screen's available area at all (a monitor that has been
//   removed, a top of -3000) moves to the top left corner of the primary screen's available
//   area, keeping its size. A position on another monitor, even left of or above the primary
//   one, stays.
QRect PlaceOperatorWindow(const StoredPlacement& stored, QSize created_outer_size, QSize frame_size,
                          const ScreenLayout& screens);

}  // namespace settings
