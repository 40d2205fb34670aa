// The standard controls and the design font.
#include "win32/controls/child_controls.h"

#include <algorithm>
#include <cwchar>

#include "core/failure.h"
#include "win32/controls/wide_text.h"

namespace win32 {

HWND MakeChild(HWND parent, const wchar_t* window_class, std::u16string_view text, DWORD style,
               int id, DWORD ex_style) {
  HWND child = CreateWindowExW(ex_style, window_class, WideString(text).c_str(),
                               WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  if (child == nullptr) {
    throw queue::Failure(queue::CoreFailure::kGeneric, "A control cannot be created");
  }
  return child;
}

void PlaceChild(HWND child, const DesignRect& design, const Scaling& scaling) {
  const RECT rect = scaling.Rect(design);
  SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetControlFont(HWND control, HFONT font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

SIZE TextSize(HWND window, HFONT font, std::u16string_view text) {
  SIZE size{};
  HDC dc = GetDC(window);
  HGDIOBJ previous = SelectObject(dc, font);
  const std::wstring wide = WideString(text);
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return size;
}

DesignFont::DesignFont(int design_pixels, const Scaling& scaling, Style style) {
  LOGFONTW description{};
  // A negative height asks for the character height, not the cell's.
  description.lfHeight = -scaling(design_pixels);
  description.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  description.lfUnderline = style.underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  std::wcsncpy(description.lfFaceName, L"Tahoma", LF_FACESIZE - 1);
  font_ = CreateFontIndirectW(&description);
  if (font_ != nullptr && style.width_percent != 100) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(font_);
    description.lfWidth =
        std::max<LONG>(1, MulDiv(metrics.tmAveCharWidth, style.width_percent, 100));
    font_ = CreateFontIndirectW(&description);
  }
  if (font_ == nullptr) throw queue::Failure(queue::CoreFailure::kGeneric, "A font cannot be made");
}

DesignFont::~DesignFont() {
  DeleteObject(font_);
}

}  // namespace win32
