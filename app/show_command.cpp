// Reading the start-up show command.
#include "app/show_command.h"

namespace app {
namespace {
constexpr int kShowNormal = 1;
constexpr int kShowMaximized = 3;
constexpr int kShowMinNoActive = 7;
}  // namespace

// A desktop that starts X programs gives them no show command: the window opens normal.
int RequestedShowCommand() {
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
