// A Win32 window as a small class: the window procedure finds its object through the
// window's user data and forwards every message to one handler, and a failure of that handler
// never unwinds through the system's frames: it goes to the error box.
#pragma once

#include <windows.h>

namespace win32 {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Destroys the native window if it is still there.
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

 protected:
  struct Frame {
    const wchar_t* class_name;  // registered once per run, with this class's procedure
    HBRUSH background;          // the class's background brush (not owned by the class), or a
                                // system colour index + 1, which follows the system's colours
    DWORD style;
    DWORD ex_style;
    HWND owner;
  };

  // Destroys the native window (its controls and owned windows with it) if it is still there.
  // A derived window that owns what its controls use (fonts, pictures) calls it first in its
  // destructor: its members are freed before this class's destructor runs.
  void DestroyNative();

  // Makes the native window, hidden, at the origin with no size; WM_CREATE and the handler
  // run on this object from then on. Throws a Failure when the system refuses.
  void CreateNative(const Frame& frame, const wchar_t* caption);

  // Every message of the window. A failure it raises is shown in the error box and the
  // message counts as handled (returns 0). The default keeps the keyboard focus as a dialog
  // does: on the first tab stop when the window is first activated, and where it was left
  // when it is activated again.
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
  HWND focus_ = nullptr;  // the control that had the focus when the window was deactivated
};

}  // namespace win32
