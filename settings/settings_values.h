// The values the settings file keeps between runs, its sections, keys and defaults, and the
// order of the writes: one table for both programs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/stored_rectangle.h"

namespace settings {

constexpr PixelRect kDefaultOuterRectangle{0, 0, 420, 112};
constexpr std::u16string_view kDefaultHost = u"http://localhost";
constexpr std::int32_t kNoWindowSelected = -1;

struct SettingsValues {
  PixelRect outer = kDefaultOuterRectangle;  // the operator window's, frame included
  std::u16string host{kDefaultHost};         // the text of serverEdit
  std::int32_t window = kNoWindowSelected;   // the item index of operatorSelect
};

// Reads Form/Top, Left, Width, Height and Server/Host, Window from the settings file at
// `ini_path` (defaults above for what is missing or invalid; an empty Host stays empty), then
// flushes the file. Never fails.
SettingsValues LoadSettingsValues(std::u16string_view ini_path);

// Writes them, one write per entry in the order Top, left, Width, Height, Host, Window, and
// flushes the file also when a write fails. Throws Failure(SettingsFailure::kWrite, "Unable to
// write to <full path>") at the first refused write; the entries written before it stay.
void SaveSettingsValues(std::u16string_view ini_path, const SettingsValues& values);

// Writes the server's entries alone, Host then Window, each only when given, as the save writes
// them (a desk's preset, desk_preset.h); flushes the file. Throws as the save does.
void SaveServerValues(std::u16string_view ini_path, const std::optional<std::u16string>& host,
                      std::optional<std::int32_t> window);

// The stored Window as an item index of a list of `count` items: one outside the list selects
// nothing.
std::int32_t ListIndexOrNone(std::int32_t stored_window, int count);

}  // namespace settings
