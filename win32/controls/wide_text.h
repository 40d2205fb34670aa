// The program's UTF-16 text and the Win32 API's wide strings, which are the same code units
// (wchar_t is 16 bits on Windows); and the text of a window or control.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

inline const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::wstring WideString(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string FromWide(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

// The text of `window` (a caption, an edit field's text, a drop-down list's chosen entry).
std::u16string WindowText(HWND window);

void SetWindowText(HWND window, std::u16string_view text);

}  // namespace win32
