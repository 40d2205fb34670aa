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
  const std::wstring wide = WideString(text);
  const WindowDc dc(window);
  const SavedDcState saved(dc.get());
  SelectObject(dc.get(), font);
  GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
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
  font_.reset(CreateFontIndirectW(&description));
  if (font_ && style.width_percent != 100) {
    TEXTMETRICW metrics{};
    {
      const WindowDc screen(nullptr);
      const SavedDcState saved(screen.get());
      SelectObject(screen.get(), font_.get());
      GetTextMetricsW(screen.get(), &metrics);
    }
    description.lfWidth =
        std::max<LONG>(1, MulDiv(metrics.tmAveCharWidth, style.width_percent, 100));
    font_.reset(CreateFontIndirectW(&description));
  }
  if (!font_) throw queue::Failure(queue::CoreFailure::kGeneric, "A font cannot be made");
}

}  // namespace win32
