// The kinds of the theme's failures.
#pragma once

#include "core/failure.h"

namespace theme {

struct ThemeFailure {
  // A theme resource that is present but cannot be loaded, or a container that cannot be made.
  static constexpr queue::FailureKind kLoad{"theme-load"};
};

}  // namespace theme
