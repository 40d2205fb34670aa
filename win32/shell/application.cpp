// The application object.
#include "win32/shell/application.h"

#include "core/application_title.h"
#include "win32/controls/wide_text.h"
#include "win32/shell/libraries_on_use.h"

namespace win32 {
namespace {

std::u16string& Title() {
  static std::u16string title;
  return title;
}

HWND& Hidden() {
  static HWND hidden = nullptr;
  return hidden;
}

std::u16string PlatformLower(std::u16string_view text) {
  std::wstring lower = WideString(text);
  if (!lower.empty()) CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  return FromWide(lower);
}

}  // namespace

std::u16string ExecutablePath() {
  // Longer paths are outside what the program supports; a cut one still names a file.
  std::wstring path(MAX_PATH + 1, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return FromWide(path);
}

Application::Application() {
  Title() = queue::DeriveApplicationTitle(ExecutablePath(), &PlatformLower);
  CreateNative({L"TApplication", nullptr, WS_POPUP, 0, nullptr}, Wide(Title()));
  Hidden() = hwnd();
}

Application::~Application() {
  Hidden() = nullptr;
  // Entered only if a link or a screen reader needed COM during the run.
  LeaveComApartment();
}

LRESULT Application::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;  // the program raises no objection
    case WM_ENDSESSION:
      // Nothing is lost at log-off: the settings are written as a close would write them.
      if (wparam != FALSE) {
        if (session_end_) session_end_();
        PostQuitMessage(0);
      }
      return 0;
    default:
      return Window::HandleMessage(message, wparam, lparam);
  }
}

const std::u16string& ApplicationTitle() {
  return Title();
}

HWND HiddenApplicationWindow() {
  return Hidden();
}

}  // namespace win32
