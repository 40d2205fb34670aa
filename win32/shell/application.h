// The application object, made once before the windows: the application title derived from
// the executable's file name, the program icon and the hidden application window. That window
// is never shown (so it has no taskbar button); it owns the error box when no window of the
// program is active and takes the system's notice that the session ends. COM, which only the About
// window's links and screen readers need, is entered at their first use (libraries_on_use.h) and
// left when this object goes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "win32/windows/window.h"

namespace win32 {

class Application : public Window {
 public:
  // Throws a Failure when the hidden window cannot be had.
  Application();
  ~Application() override;

  // Run when the session ends (log-off, shut-down) before the program ends.
  void SetSessionEndHandler(std::function<void()> handler) { session_end_ = std::move(handler); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  std::function<void()> session_end_;
};

// The title of this run: the error box's caption.
const std::u16string& ApplicationTitle();

// The hidden application window, or null before the application object exists.
HWND HiddenApplicationWindow();

// The executable's full path (GetModuleFileNameW).
std::u16string ExecutablePath();

}  // namespace win32
