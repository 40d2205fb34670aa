// A top-level window's outer rectangle (frame and caption included) in physical pixels, as
// the settings file stores it. Qt works in device-independent pixels; the window's device
// pixel ratio converts between the two.
#pragma once

#include <QRect>

#include "settings/form_placement.h"

class QWidget;

namespace settings {

// The outer rectangle to store: the window's current one, or, while it is minimised, the one
// it has when restored.
QRect StoredOuterGeometry(const QWidget& window);

// Moves and resizes the window so that its outer rectangle is `outer`. Before a window is
// first mapped, some window systems do not know its frame yet; the size is then set again
// once the frame is known, so that a stored size does not grow by the frame at every start.
void ApplyOuterGeometry(QWidget& window, const QRect& outer);

// The window's outer size now (before the stored size is applied).
QSize CurrentOuterSize(const QWidget& window);

// The screens of the desktop, in the same physical pixels as the window.
ScreenLayout CurrentScreenLayout(const QWidget& window);

}  // namespace settings
