// The theme request: finds the theme the program carries among its own resources, by the name
// in its header. Drawing the windows in it is not done here yet: the standard look stays.
#pragma once

#include <string_view>

namespace win32 {

inline constexpr std::u16string_view kThemeName = u"Iceberg Classico";

// On the first request of the run, every resource of type "APPSTYLE" of the program is read
// and validated as a theme container; a resource that is not one, or names a theme found
// already, fails, and once all were tried the failures throw as theme/theme_messages.h says
// (a start-up failure). Then the named theme is looked for, ignoring case; when there is none
// it returns false, with `show_error` after the box "Style '<name>' not found" (title "Error",
// the error icon, one "&Close" button).
bool RequestTheme(std::u16string_view name, bool show_error);

}  // namespace win32
