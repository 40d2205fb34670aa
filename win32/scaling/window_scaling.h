// Scaling a window between display densities: every control's rectangle by its edges, fonts
// made anew at the new height (the old ones freed once no control uses them), single-line
// edit fields and drop-down lists taking their height from their font, the client size; and
// the answer to WM_DPICHANGED, which rescales from the window's current density and places it
// in the rectangle the system suggests. Pictures are not rescaled: their boxes grow, their
// pixels stay.
#pragma once

#include <windows.h>

namespace win32scaling {

// The density a window is currently scaled to; 96 until it is first scaled.
UINT CurrentDensity(HWND window);

// Records the density a window was made at (its controls and fonts laid out for it).
void MarkDensity(HWND window, UINT density);

// A length at 96 pixels per inch, at the window's current density.
int Scaled(HWND window, int design_length);

// A rectangle scaled by its edges: the right and bottom edges move as the left and top do.
RECT ScaleByEdges(const RECT& rect, UINT to, UINT from);

// Scales the window's controls and fonts from its current density to `to`, and with
// `resize_client` its client area too; the window's current density becomes `to`. Nothing
// happens for a density below 30; at the current density nothing changes.
void ScaleWindowTo(HWND window, UINT to, bool resize_client = true);

// Attaches the density handling to a top-level window: WM_DPICHANGED rescales it into the
// suggested rectangle; its frame is scaled by the system where it can be (attached before the
// window's WM_NCCREATE). The fonts the scaling made are freed with the window.
void AttachDensityHandling(HWND window);

// The creation hook that attaches the density handling to each top-level window the program
// makes on this thread (once per thread; a second call does nothing). Throws queue::Failure
// when the system refuses the hook.
void InstallDensityHook();
void RemoveDensityHook();

}  // namespace win32scaling
