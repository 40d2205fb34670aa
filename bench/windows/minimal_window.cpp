// The floor of the Windows start-up bench: the least a Win32 program that shows words does. One
// top-level window of the operator window's size with one line of text drawn in its paint
// handler, shown and painted, then the message loop until it is closed. Built with the same
// compiler, flags and static run-time as Operator.exe, so what it costs to start is what any
// such program costs under the same system: the process, the C++ run-time, the window system's
// set-up, and the fonts that drawing text sets up (a window without text never loads them,
// which is no cost of the operator program).
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"BenchMinimalWindow";
constexpr wchar_t kText[] = L"Следующий";

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      DrawTextW(dc, kText, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kClassName;
  if (!RegisterClassExW(&window_class)) return 1;
  HWND window = CreateWindowExW(0, kClassName, L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 404, 83, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show_command);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
