// Where a modal window appears the first time it is shown: centred in the work area of the
// screen its owner lies on, never left of or above the desktop. Later showings keep the
// place where the window was last hidden.
#pragma once

class QWidget;

namespace forms {

// Centres `window` once; does nothing when it has been placed or moved before.
void PlaceForFirstShowing(QWidget& window, const QWidget* owner);

}  // namespace forms
