// The Windows storage's file-system steps (ReplaceFileW and its kin), made available to the
// tests, which run the replacement's order on real files with some steps made to fail.
#pragma once

#include <memory>

#include "settings/profile/profile_replacement.h"

namespace settings {

// The Win32 steps of one replacement; each object serves one ReplaceThroughSteps.
std::unique_ptr<ReplacementSteps> MakeWin32ReplacementSteps();

}  // namespace settings
