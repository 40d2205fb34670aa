// Reading the start-up show command.
#include "app/show_command.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace app {
namespace {
constexpr int kShowNormal = 1;
constexpr int kShowMaximized = 3;
constexpr int kShowMinNoActive = 7;
}  // namespace

int RequestedShowCommand() {
#ifdef _WIN32
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  if (startup.dwFlags & STARTF_USESHOWWINDOW) return startup.wShowWindow;
#endif
  return kShowNormal;
}

Qt::WindowState WindowStateForShowCommand(int show_command) {
  switch (show_command) {
    case kShowMaximized:
      return Qt::WindowMaximized;
    case kShowMinNoActive:
      return Qt::WindowMinimized;
    default:
      return Qt::WindowNoState;
  }
}

}  // namespace app
