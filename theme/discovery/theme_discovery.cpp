// Discovering the themes a program carries.
#include "theme/discovery/theme_discovery.h"

#include <memory>

#include "core/text.h"
#include "theme/container/theme_failure.h"

namespace theme {

std::vector<std::u16string> DiscoverThemes(const std::vector<ThemeResource>& resources,
                                           const ThemeNameEquals& same_name,
                                           const ThemePreparer& prepare) {
  std::vector<std::u16string> registered;
  std::vector<std::u16string> failed;
  std::shared_ptr<const queue::Failure> last_failure;
  for (const auto& resource : resources) {
    try {
      const ThemePackage package = DecodeThemeContainer(resource.read());
      const std::u16string name = queue::Utf8ToUtf16(package.name);
      for (const auto& known : registered)
        if (same_name(known, name))
          throw queue::Failure(ThemeFailure::kLoad, u"Theme " + name + u" registered twice");
      prepare(resource.name, package);
      registered.push_back(name);
    } catch (const queue::Failure& failure) {
      failed.push_back(resource.name);
      last_failure = std::make_shared<queue::Failure>(failure);
    }
  }
  if (failed.size() == 1)
    throw queue::Failure(ThemeFailure::kLoad, u"Unable to load style '" + failed.front() + u"'",
                         last_failure);
  if (failed.size() > 1) {
    std::u16string names;
    for (const auto& name : failed) names += (names.empty() ? u"" : u", ") + name;
    throw queue::Failure(ThemeFailure::kLoad, u"Unable to load styles: " + names);
  }
  return registered;
}

std::u16string ThemeNotFoundText(std::u16string_view theme_name) {
  return u"Style '" + std::u16string(theme_name) + u"' not found";
}

}  // namespace theme
