// The Windows program's entry: the show command the process was started with, then start-up,
// loop and shut-down. No argument is read.
#include <windows.h>

#include "win32/shell/startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const int show_command =
      (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
  return win32::RunProgram(show_command);
}
