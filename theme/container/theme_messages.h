// The theme request's messages, written once for both programs: the failure that ends a
// discovery in which resources could not be loaded, and the text of the "not found" box.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/failure.h"

namespace theme {

// Once every theme resource was tried: nothing when none failed; one failed resource throws
// "Unable to load style '<resource>'" (its failure as the inner one), several throw "Unable to
// load styles: <resource>, <resource>" (queue::Failure, kind ThemeFailure::kLoad).
void ThrowIfResourcesFailed(const std::vector<std::u16string>& failed_resources,
                            std::shared_ptr<const queue::Failure> last_failure);

// "Style '<name>' not found".
std::u16string ThemeNotFoundText(std::u16string_view name);

}  // namespace theme
