// desk-preset's command line: the installers run it to check a desk's preset before anything is
// installed and to write it once the program is in place (settings/desk_preset.h).
#pragma once

#include <string>
#include <vector>

namespace tools {

// Exit statuses: the preset written, left or checked; a bad value or usage; a refused write.
inline constexpr int kPresetDone = 0;
inline constexpr int kPresetWriteFailed = 1;
inline constexpr int kPresetInvalid = 2;

// Runs `desk-preset [--check] [--server URL] [--window N] [FILE]` (the program's name left
// out of `arguments`), appends what it says to `output`, one line each, UTF-8, and returns the
// exit status.
int RunDeskPresetTool(const std::vector<std::u16string>& arguments, std::string& output);

}  // namespace tools
