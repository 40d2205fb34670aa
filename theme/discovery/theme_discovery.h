// Discovery of the themes a program carries among its resources, and the texts of the theme
// request's failures: the rules both front-ends follow, whatever their resources and their
// prepared looks are made of.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "theme/container/theme_container.h"
#include "theme/container/theme_messages.h"

namespace theme {

// A theme resource: its name, and how to read it whole (throws queue::Failure when it cannot).
struct ThemeResource {
  std::u16string name;
  std::function<std::string()> read;
};

// Compares two theme names without regard to letter case, as the platform's locale does.
using ThemeNameEquals = std::function<bool(std::u16string_view, std::u16string_view)>;

// Prepares a valid container's theme and keeps it on the caller's side; throws queue::Failure
// when the theme cannot be prepared.
using ThemePreparer = std::function<void(std::u16string_view resource_name, const ThemePackage&)>;

// Tries every resource in the order given: read, validated as a container, refused when its
// theme's name is registered already, then prepared. A resource that fails in any of these is
// skipped; once all were tried, the failed ones throw as ThrowIfResourcesFailed
// (theme/container/theme_messages.h) says. Returns the names of the themes prepared.
std::vector<std::u16string> DiscoverThemes(const std::vector<ThemeResource>& resources,
                                           const ThemeNameEquals& same_name,
                                           const ThemePreparer& prepare);

// The title and the one button of the box shown when a requested theme does not exist (its
// text: ThemeNotFoundText, theme/container/theme_messages.h).
inline constexpr std::u16string_view kThemeNotFoundTitle = u"Error";
inline constexpr std::u16string_view kThemeNotFoundButton = u"&Close";

}  // namespace theme
