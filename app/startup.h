// The program's start-up, run and shut-down, in their fixed order: theme request, the three
// windows created once (MainForm, SetupForm, AboutForm), the operator window shown in the
// requested state, the message loop, and the windows destroyed last-created first.
#pragma once

#include <Qt>

namespace app {

// Requests the theme and creates the three windows, hidden, in that order. Each reference is
// set once its window is made; the settings window's FormCreate runs after that, and the
// operator window is handed the two dialogs it opens. Throws when a window cannot be built;
// the references of the windows made until then stay set for DestroyWindows.
void CreateWindows();

// Shows the operator window in `state`; its FormShow runs then, before it is first drawn.
void ShowMainWindow(Qt::WindowState state);

// Destroys the windows, the last created first, and clears their references.
void DestroyWindows() noexcept;

// The whole program on an existing application object: start-up, loop, shut-down. Returns
// the process exit code: the loop's (0) after a normal close, 1 after a start-up failure.
int RunProgram();

}  // namespace app
