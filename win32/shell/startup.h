// The program's start-up, run and shut-down, in their fixed order: the application object,
// the theme request, the operator window made and the three window objects (MainForm,
// SetupForm, AboutForm) set, the settings and About windows themselves made at their first
// showing, the operator window shown in the state the show command asks for, the message loop,
// and the windows destroyed About, settings, operator.
#pragma once

namespace win32 {

// The whole program. Returns the exit code: 0 after a normal close, 1 after a start-up
// failure (shown in the start-up failure box).
int RunProgram(int show_command);

}  // namespace win32
