// The kinds of the settings file's failures.
#pragma once

#include "core/failure.h"

namespace settings {

struct SettingsFailure {
  static constexpr queue::FailureKind kWrite{"settings-write"};  // "Unable to write to <path>"
};

}  // namespace settings
