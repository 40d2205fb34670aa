// A desk's preset: the queue server's address and the window number that an IT person gives
// an installer, checked once here for every installer and written into the settings file of a
// desk that has none yet, as the program itself stores them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/failure.h"

namespace settings {

struct DeskPresetFailure {
  // A value an installer may not write; the message names the value and what it should be.
  static constexpr queue::FailureKind kInvalid{"preset-invalid"};
};

struct DeskPreset {
  std::optional<std::u16string> host;  // Server/Host
  std::optional<std::int32_t> window;  // Server/Window: the list position, 0 for window 1
};

// Checks the values given for a desk, each empty or missing when not given: `server` must begin
// with "http://" or "https://" (the scheme in any letter case) and name something after it,
// with no blank or control character; `window_number` is the window's number as the clerk sees
// it, "1" to "7". Throws Failure(kInvalid) naming the first bad value.
DeskPreset CheckDeskPreset(std::optional<std::u16string_view> server,
                           std::optional<std::u16string_view> window_number);

// Writes the preset's entries into the settings file at `ini_path` when nothing is there yet,
// and returns true; a file that exists (or anything else at that path) is the desk's own and
// is left as it is: returns false. An empty preset writes nothing. Throws the settings file's
// write failure when the file cannot be made.
bool WriteDeskPresetIfMissing(std::u16string_view ini_path, const DeskPreset& preset);

}  // namespace settings
