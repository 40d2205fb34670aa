// The message loop.
#include "win32/shell/message_loop.h"

#include <windows.h>

#include "win32/shell/error_box_win.h"

namespace win32 {
namespace {

void Handle(MSG& message) {
  HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

LoopEnd RunMessageLoop(const std::function<bool()>& done) {
  MSG message{};
  while (!done()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      const LoopEnd end{true, got == 0 ? static_cast<int>(message.wParam) : 1};
      return end;
    }
    try {
      Handle(message);
    } catch (...) {
      // Every window procedure catches its own failures; this catches one from elsewhere.
      ShowFailure(std::current_exception());
    }
  }
  return {};
}

}  // namespace win32
