// The creation hook of the window thread: every window created on the thread while a theme is
// active has the theme's drawing attached as it is made, the program's own windows and
// controls and the windows the system makes on the program's behalf (the dialog behind a
// message box with its texts, icon and buttons; menus; tooltips), the latter as far as their
// category is switched on.
#pragma once

#include <windows.h>

namespace win32theme {

// Which windows the system makes for the program are themed.
struct SystemWindowSwitches {
  bool menus = true;    // popup menus (the window menu): their background; the system draws
                        // their items
  bool dialogs = true;  // message boxes and other system dialogs, with their controls
  bool tooltips = true;
};

// Installs the hook for the calling thread (once; a second call does nothing). Throws
// queue::Failure when the system refuses it.
void InstallThemeHook(SystemWindowSwitches switches = {});
// Removes it; the attachments already made stay until their windows are destroyed.
void RemoveThemeHook();

}  // namespace win32theme
