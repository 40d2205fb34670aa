// Making and placing the standard controls of a window, and the design font.
#pragma once

#include <windows.h>

#include <string_view>

#include "win32/controls/gdi_handles.h"
#include "win32/scaling/design_scaling.h"

namespace win32 {

// Makes a visible child control of `parent` with the control identifier `id`. Throws a Failure
// when the system refuses.
HWND MakeChild(HWND parent, const wchar_t* window_class, std::u16string_view text, DWORD style,
               int id, DWORD ex_style = 0);

// Moves and sizes a control to its design rectangle at `scaling`.
void PlaceChild(HWND child, const DesignRect& design, const Scaling& scaling);

// Sets a control's font and redraws it.
void SetControlFont(HWND control, HFONT font);

// The size of `text` drawn in `font`, in pixels.
SIZE TextSize(HWND window, HFONT font, std::u16string_view text);

// A Tahoma font of a character height given at the design density, made at one density; owned,
// freed with the object.
class DesignFont {
 public:
  struct Style {
    bool bold = false;
    bool underline = false;
    // The characters' width in per cent of the face's own: below 100 narrows a text where the
    // design font is missing and the one standing in for it is wider.
    int width_percent = 100;
  };
  DesignFont(int design_pixels, const Scaling& scaling, Style style);
  DesignFont(int design_pixels, const Scaling& scaling) : DesignFont(design_pixels, scaling, {}) {}
  DesignFont(const DesignFont&) = delete;
  DesignFont& operator=(const DesignFont&) = delete;

  HFONT handle() const { return font_.get(); }

 private:
  Font font_;
};

}  // namespace win32
