// Reading the start-up show command.
#include "app/show_command.h"

#include "core/show_state.h"

namespace app {

// A desktop that starts X programs gives them no show command: the window opens normal.
int RequestedShowCommand() {
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
