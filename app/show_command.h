// The show state that whoever started the program asked for (a shortcut set to run
// maximised or minimised), and the window state the operator window starts in.
#pragma once

#include <Qt>

namespace app {

// The show command of the process start (Windows numbering: 3 maximised, 7 minimised without
// activation); 1, normal, where the platform has no such request.
int RequestedShowCommand();

// Maximised for 3, minimised for 7, normal for every other show command.
Qt::WindowState WindowStateForShowCommand(int show_command);

}  // namespace app
