// Drawing the theme's controls into a device context: the shapes the Linux program's style
// gives them (rounded buttons with a vertical gradient and a one-pixel border, flat framed
// fields, a rounded group frame), in the theme's colours.
#pragma once

#include <windows.h>

#include <string>

#include "win32/theme/win_theme.h"

namespace win32theme {

enum class ButtonState { kNormal, kHot, kPressed, kDisabled };

// The theme's shapes are given at 96 pixels per inch; `density` is the control's window's, so a
// rounded corner grows with the window as the Linux program's do.

// The background of the parent window behind `rect` (the corners around a rounded shape).
void FillWindowBackground(HDC dc, const RECT& rect, const WinTheme& theme);

void PaintButton(HDC dc, const RECT& rect, ButtonState state, bool focused, HFONT font,
                 const std::u16string& text, bool hide_prefix, int density, const WinTheme& theme);

// A group box's frame, with its caption (if any) at the top left over the window's background.
void PaintGroupFrame(HDC dc, const RECT& rect, HFONT font, const std::u16string& caption,
                     bool enabled, int density, const WinTheme& theme);

// The field of a drop-down list: its frame, the shown entry and the arrow button at the right.
struct ComboFieldLook {
  RECT client;
  RECT item;    // where the shown entry is written
  RECT button;  // the arrow button
  bool focused = false;
  bool dropped = false;
  bool enabled = true;
  int density = 96;
};
void PaintComboField(HDC dc, const ComboFieldLook& look, HFONT font, const std::u16string& text,
                     const WinTheme& theme);

// A one-pixel frame `rect` in `border`, with what lies between it and `inner` in `fill`.
void PaintFieldFrame(HDC dc, const RECT& rect, const RECT& inner, theme::Rgb border, HBRUSH fill,
                     const WinTheme& theme);

}  // namespace win32theme
