// The theme request's messages.
#include "theme/container/theme_messages.h"

#include "theme/container/theme_failure.h"

namespace theme {

void ThrowIfResourcesFailed(const std::vector<std::u16string>& failed_resources,
                            std::shared_ptr<const queue::Failure> last_failure) {
  if (failed_resources.empty()) return;
  if (failed_resources.size() == 1) {
    throw queue::Failure(ThemeFailure::kLoad,
                         u"Unable to load style '" + failed_resources.front() + u"'",
                         std::move(last_failure));
  }
  std::u16string names;
  for (const std::u16string& name : failed_resources) {
    if (!names.empty()) names += u", ";
    names += name;
  }
  throw queue::Failure(ThemeFailure::kLoad, u"Unable to load styles: " + names);
}

std::u16string ThemeNotFoundText(std::u16string_view name) {
  return u"Style '" + std::u16string(name) + u"' not found";
}

}  // namespace theme
