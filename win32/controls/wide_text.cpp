// Reading and setting a window's text.
#include "win32/controls/wide_text.h"

namespace win32 {

std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return FromWide(text);
}

void SetWindowText(HWND window, std::u16string_view text) {
  SetWindowTextW(window, WideString(text).c_str());
}

}  // namespace win32
