// A top-level window's outer rectangle (frame and caption included) in physical pixels, as
// the settings file stores it. Qt works in device-independent pixels; the window's device
// pixel ratio converts between the two.
#pragma once

#include <QRect>

#include "forms/placement/form_placement.h"

class QWidget;

namespace settings {

// The outer rectangle to store: the window's current one, or, while it is minimised, the one
// it has when restored. A window that still stands where ApplyOuterGeometry put it gives the
// rectangle it was given, exactly, although device-independent pixels at a display scale, or a
// frame of odd size, cannot always represent it. Where the window system places windows
// itself (Wayland), the position given is kept, since the real one cannot be known.
QRect StoredOuterGeometry(const QWidget& window);

// Moves and resizes the window so that its outer rectangle is `outer`. The frame is asked for
// before the window is mapped where the window system can tell it; where it arrives only with
// the mapping, the window is placed again once it is known, so that a stored rectangle does
// not move or grow by the frame at every start.
void ApplyOuterGeometry(QWidget& window, const QRect& outer);

// The window's outer size now (before the stored size is applied).
QSize CurrentOuterSize(QWidget& window);

// The frame's share of the outer size: its margins added up.
QSize CurrentFrameSize(QWidget& window);

// The screens of the desktop, in the same physical pixels as the window.
ScreenLayout CurrentScreenLayout(const QWidget& window);

}  // namespace settings
