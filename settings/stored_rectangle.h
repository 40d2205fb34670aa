// Where the operator window opens, from the outer rectangle stored in the settings file: the
// rules both programs apply, in physical pixels of the virtual desktop.
#pragma once

#include <vector>

namespace settings {

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
  int width = 0;
  int height = 0;
};

// The desktop as the window system reports it.
struct ScreenAreas {
  PixelRect primary;                 // the primary screen
  PixelRect primary_available;       // its area without task bars and docks
  std::vector<PixelRect> available;  // every screen's available area, the primary's included
  PixelRect desktop;                 // the virtual desktop: every screen together
};

// Extra room kept between a corrected window and the primary screen's far edge.
constexpr int kFarEdgeMargin = 30;

// The outer rectangle the operator window gets from the `stored` one:
// - a top at or below the primary screen's bottom edge becomes that edge minus the window's
//   created outer height minus kFarEdgeMargin; a left at or beyond the right edge likewise
//   with the created width (the correction uses the created size, not the stored one, as the
//   stored size is applied after it);
// - the stored width and height are applied as they are, but never larger than the whole
//   virtual desktop plus the window's frame (`frame_size`), which no window needs and which
//   a damaged file would otherwise turn into a window of gigabytes;
// - a window that then overlaps no screen's available area at all (a monitor that has been
//   removed, a top of -3000) moves to the top left corner of the primary screen's available
//   area, keeping its size. A position on another monitor, even left of or above the primary
//   one, stays.
PixelRect PlaceStoredRectangle(const PixelRect& stored, PixelSize created_outer_size,
                               PixelSize frame_size, const ScreenAreas& screens);

}  // namespace settings
