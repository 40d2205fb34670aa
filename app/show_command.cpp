// Reading the start-up show command.
#include "app/show_command.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/show_state.h"

namespace app {

int RequestedShowCommand() {
#ifdef _WIN32
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  if (startup.dwFlags & STARTF_USESHOWWINDOW) return startup.wShowWindow;
#endif
  return queue::kShowNormal;
}

Qt::WindowState WindowStateForShowCommand(int show_command) {
  switch (queue::ShowStateForCommand(show_command)) {
    case queue::ShowState::kMaximized:
      return Qt::WindowMaximized;
    case queue::ShowState::kMinimized:
      return Qt::WindowMinimized;
    case queue::ShowState::kNormal:
      break;
  }
  return Qt::WindowNoState;
}

}  // namespace app
