// The theme request of the Windows program: the themes it carries are its resources of type
// "APPSTYLE", discovered at the first request; a request makes the named one (letter case
// ignored, by the user's locale) the active theme every window is drawn in.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "theme/discovery/theme_discovery.h"
#include "win32/theme/win_theme.h"

namespace win32theme {

inline constexpr std::u16string_view kThemeName = u"Iceberg Classico";
inline constexpr wchar_t kThemeResourceType[] = L"APPSTYLE";

// The resources of type "APPSTYLE" in `module`, in the order the system lists them; a resource
// named by number is named "#N".
std::vector<theme::ThemeResource> ThemeResourcesOf(HMODULE module);

// Theme names compared without regard to letter case, as the user's locale compares them.
bool SameThemeName(std::u16string_view a, std::u16string_view b);

class ThemeRequest {
 public:
  explicit ThemeRequest(HMODULE module = GetModuleHandleW(nullptr));

  // Makes the named theme active and returns true. On the first request of the run the
  // resources are discovered; a damaged one throws queue::Failure (kind ThemeFailure::kLoad)
  // "Unable to load style '<name>'" (or "Unable to load styles: ...") and discovery is not
  // tried again. A theme that does not exist returns false, the system's look staying; with
  // `show_error` the modal box "Style '<name>' not found" (title "Error", error icon, one
  // button "&Close") is shown first.
  bool Request(std::u16string_view name, bool show_error);

 private:
  HMODULE module_;
  bool discovered_ = false;
  std::vector<std::unique_ptr<WinTheme>> themes_;
};

// The box shown when a requested theme does not exist, owned by the active window of the thread.
void ShowThemeNotFound(std::u16string_view name);

// The program's request: one ThemeRequest over the program's own resources for the whole run.
bool RequestTheme(std::u16string_view name, bool show_error);

}  // namespace win32theme
