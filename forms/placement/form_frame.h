// The frame that the window system puts around a top-level window (caption and borders), in
// physical pixels, and placing a window by its frame's rectangle. Qt knows the frame only once
// the window is mapped on X11, where a reparenting window manager draws it; the operator window
// and the dialogs are placed before that, so the window manager is asked in advance.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace settings {

// The frame's margins in physical pixels: Qt's once it knows them; before that, on X11, what
// the window manager says it will give the window (it is asked once per window and answers
// within kFrameAnswerWaitMs, or the frame counts as unknown); none where there is no frame
// (no window manager, the offscreen platform) or it cannot be known before mapping.
QMargins PhysicalFrameMargins(QWidget& window);

// The same without asking anybody: Qt's margins, else those the window manager gave earlier.
QMargins KnownPhysicalFrameMargins(const QWidget& window);

// Whether the frame may still arrive after the window is mapped: nobody has told its size yet.
bool FrameMayArriveLater(const QWidget& window);

// Places the window so that its frame's rectangle is `frame` (physical pixels): the client area
// goes inside it by the frame's margins. The position is given to the window system even when
// it equals the current one, so the window manager never places the window by its own rules.
// Returns the client rectangle set, in device-independent pixels.
QRect SetPhysicalFrameGeometry(QWidget& window, const QRect& frame);

// Device-independent and physical pixels of the window.
QRect ToPhysical(const QRect& logical, qreal ratio);
QRect ToLogical(const QRect& physical, qreal ratio);

// Whether the window system places top-level windows itself, whatever the program asks
// (Wayland: a program cannot know or set its window's position).
bool WindowSystemPlacesWindows();

}  // namespace settings
