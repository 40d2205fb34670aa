// Discovering the themes a program carries.
#include "theme/discovery/theme_discovery.h"

#include <memory>

#include "core/text.h"
#include "theme/container/theme_failure.h"
#include "theme/container/theme_messages.h"

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
  ThrowIfResourcesFailed(failed, last_failure);
  return registered;
}

}  // namespace theme
