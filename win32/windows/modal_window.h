// A window shown modally from the operator window (the settings and About windows): made once,
// hidden between showings, centred in the work area of its owner's monitor at its first
// showing (never left of or above the desktop) and later shown where it was left.
#pragma once

#include "win32/windows/window.h"

namespace win32 {

class ModalWindow : public Window {
 public:
  // Shows the window, runs a nested message loop until it is closed, hides it and returns.
  // The owner takes no input meanwhile.
  void ShowModal();

 protected:
  // Ends the modal showing: the window is hidden, not destroyed.
  void EndModal();

  // Closing (the close button, Alt+F4) ends the modal showing; Enter and Esc mean nothing.
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void PlaceForFirstShowing();

  bool modal_ = false;
  bool placed_ = false;
};

}  // namespace win32
