// A window shown modally from the operator window (the settings and About windows): made at its
// first showing (most runs never show it, and making it cost start-up time), hidden between
// showings, centred in the work area of its owner's monitor at its first
// showing (never left of or above the desktop) and later shown where it was left.
#pragma once

#include "win32/windows/window.h"

namespace win32 {

class ModalWindow : public Window {
 public:
  // Makes the window and its controls, hidden. Throws a Failure when they cannot be made.
  virtual void Create() = 0;

  // Makes the window if it is not made yet (a failure leaves it unmade, to be tried again at
  // the next showing, and goes to the caller), shows it, runs a nested message loop until it
  // is closed, hides it and returns. The owner takes no input meanwhile.
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
