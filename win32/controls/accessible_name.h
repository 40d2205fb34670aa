// What a screen reader says of a control: its name, its description and, for a label that acts
// as a link, that it is a link. The control answers the screen reader's WM_GETOBJECT itself with
// the system's own accessible object for it, in which these answers replace the system's;
// everything else is the system's. (Names set through the system's property service would do the
// same from Windows 7 on, but not everywhere the program runs: Wine's service answers nothing.)
#pragma once

#include <windows.h>

#include <string_view>

#include "core/window_texts.h"

namespace win32 {

struct ScreenReaderText {
  // Empty: the system's name, which is what the control shows (a button's caption, a label's
  // text) or, for a field, the label made just before it.
  std::u16string_view name;
  // Empty: the system's description.
  std::u16string_view description;
  // A label that acts as a link: read as a link that can be focused, and its default action
  // clicks it (STN_CLICKED to its parent), as Enter does.
  bool link = false;
};

// Names `control` for screen readers until the control is destroyed. Throws a Failure when the
// control cannot be subclassed or memory is short.
void NameForScreenReader(HWND control, const ScreenReaderText& text);

// The name and description the windows' texts give the control.
inline void NameForScreenReader(HWND control, const queue::texts::ControlText& text) {
  NameForScreenReader(control, ScreenReaderText{text.name, text.description});
}

}  // namespace win32
