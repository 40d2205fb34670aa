// Drawing the theme's control shapes.
#include "win32/theme/control_painting.h"

#include <algorithm>

#include "win32/controls/gdi_handles.h"

namespace win32theme {
namespace {

using DcState = win32::SavedDcState;

int Scaled(int design_pixels, int density) {
  return MulDiv(design_pixels, density, 96);
}

int Blend(int from, int to, int step, int steps) {
  return steps <= 0 ? from : from + (to - from) * step / steps;
}

void FillGradient(HDC dc, const RECT& rect, const theme::Gradient& face) {
  const int rows = rect.bottom - rect.top;
  for (int row = 0; row < rows; ++row) {
    const int last = std::max(rows - 1, 1);
    const COLORREF colour = RGB(Blend(face.top.red, face.bottom.red, row, last),
                                Blend(face.top.green, face.bottom.green, row, last),
                                Blend(face.top.blue, face.bottom.blue, row, last));
    SetDCBrushColor(dc, colour);
    const RECT line{rect.left, rect.top + row, rect.right, rect.top + row + 1};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
}

// A rounded one-pixel outline; radius 0 draws square corners.
void Outline(HDC dc, const RECT& rect, int radius, HPEN pen) {
  SelectObject(dc, pen);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius * 2, radius * 2);
}

const theme::ButtonLook& LookOf(ButtonState state, const theme::ControlColours& c) {
  switch (state) {
    case ButtonState::kHot:
      return c.button_hot;
    case ButtonState::kPressed:
      return c.button_pressed;
    case ButtonState::kDisabled:
      return c.button_disabled;
    default:
      return c.button;
  }
}

void FillFace(HDC dc, const RECT& rect, int radius, const theme::Gradient& face) {
  DcState state(dc);
  const win32::Region shape(CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1,
                                               radius * 2, radius * 2));
  ExtSelectClipRgn(dc, shape.get(), RGN_AND);
  FillGradient(dc, rect, face);
}

}  // namespace

void FillWindowBackground(HDC dc, const RECT& rect, const WinTheme& theme) {
  FillRect(dc, &rect, theme.window_brush());
}

void PaintButton(HDC dc, const RECT& rect, ButtonState state, bool focused, HFONT font,
                 const std::u16string& text, bool hide_prefix, int density, const WinTheme& theme) {
  const DcState saved(dc);
  const auto& c = theme.colours();
  const theme::ButtonLook& look = LookOf(state, c);
  FillWindowBackground(dc, rect, theme);
  const int radius = Scaled(c.button_radius, density);
  FillFace(dc, rect, radius, look.face);
  const bool focus_border = focused && state == ButtonState::kNormal;
  Outline(dc, rect, radius, theme.Pen(focus_border ? c.button_focus_border : look.border));

  if (font) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(look.text));
  RECT text_rect = rect;
  InflateRect(&text_rect, -2, -1);
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (hide_prefix) format |= DT_HIDEPREFIX;
  DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.c_str()), static_cast<int>(text.size()), &text_rect,
            format);
}

void PaintGroupFrame(HDC dc, const RECT& rect, HFONT font, const std::u16string& caption,
                     bool enabled, int density, const WinTheme& theme) {
  const DcState saved(dc);
  const auto& c = theme.colours();
  if (font) SelectObject(dc, font);
  RECT frame = rect;
  SIZE caption_size{};
  if (!caption.empty()) {
    GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(caption.c_str()),
                          static_cast<int>(caption.size()), &caption_size);
    frame.top += caption_size.cy / 2;
  }
  Outline(dc, frame, Scaled(c.group_radius, density), theme.Pen(c.group_border));
  if (!caption.empty()) {
    RECT caption_rect{rect.left + 8, rect.top, rect.left + 8 + caption_size.cx + 4,
                      rect.top + caption_size.cy};
    FillWindowBackground(dc, caption_rect, theme);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(enabled ? c.window_text : c.disabled_text));
    caption_rect.left += 2;
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(caption.c_str()), static_cast<int>(caption.size()),
              &caption_rect, DT_LEFT | DT_TOP | DT_SINGLELINE);
  }
}

void PaintFieldFrame(HDC dc, const RECT& rect, const RECT& inner, theme::Rgb border, HBRUSH fill,
                     const WinTheme& theme) {
  const DcState saved(dc);
  ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  FillRect(dc, &rect, fill);
  Outline(dc, rect, 0, theme.Pen(border));
}

void PaintComboField(HDC dc, const ComboFieldLook& look, HFONT font, const std::u16string& text,
                     const WinTheme& theme) {
  const DcState saved(dc);
  const auto& c = theme.colours();
  // Drawn as the Linux program's style draws a list that only allows choosing: a raised face
  // with the arrow in it.
  const theme::ButtonLook& face = look.enabled ? c.combo : c.button_disabled;
  FillWindowBackground(dc, look.client, theme);
  const int radius = Scaled(c.button_radius, look.density);
  FillFace(dc, look.client, radius, face.face);
  Outline(dc, look.client, radius,
          theme.Pen(look.focused || look.dropped ? c.button_focus_border : face.border));

  const int middle_x = (look.button.left + look.button.right) / 2;
  const int middle_y = (look.button.top + look.button.bottom) / 2;
  // The arrow grows with its button, which the system sizes for the density.
  const int half = std::max<int>(2, (look.button.right - look.button.left) / 5);
  const POINT arrow[] = {{middle_x - half, middle_y - half / 2},
                         {middle_x + half, middle_y - half / 2},
                         {middle_x, middle_y + half / 2 + 1}};
  SetDCBrushColor(dc, ToColorRef(face.text));
  SetDCPenColor(dc, ToColorRef(face.text));
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SelectObject(dc, GetStockObject(DC_PEN));
  Polygon(dc, arrow, 3);

  if (font) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(face.text));
  RECT item = look.item;
  item.left += 2;
  DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.c_str()), static_cast<int>(text.size()), &item,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace win32theme
