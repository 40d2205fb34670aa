// A desk's preset, checked and written.
#include "settings/desk_preset.h"

#include "core/text.h"
#include "settings/profile/profile_storage.h"
#include "settings/settings_values.h"

namespace settings {
namespace {

constexpr std::u16string_view kSchemes[] = {u"http://", u"https://"};
constexpr char16_t kFirstWindowNumber = u'1';
constexpr char16_t kLastWindowNumber = u'7';

[[noreturn]] void ThrowInvalid(std::u16string_view what, std::u16string_view value) {
  throw queue::Failure(DeskPresetFailure::kInvalid,
                       std::u16string(what) + u", not \"" + std::u16string(value) + u"\"");
}

bool Given(std::optional<std::u16string_view> value) {
  return value && !value->empty();
}

std::u16string CheckedHost(std::u16string_view server) {
  constexpr std::u16string_view kRule =
      u"The server address must begin with http:// or https:// and name the server";
  bool scheme = false;
  for (const std::u16string_view prefix : kSchemes) {
    scheme =
        scheme || (queue::StartsWithIgnoreCase(server, prefix) && server.size() > prefix.size());
  }
  if (!scheme) ThrowInvalid(kRule, server);
  for (const char16_t c : server) {
    // A blank or a line break would end the address where the clerk cannot see it.
    if (c <= u' ' || c == u'\x7f') ThrowInvalid(kRule, server);
  }
  return std::u16string(server);
}

std::int32_t CheckedWindow(std::u16string_view number) {
  if (number.size() != 1 || number[0] < kFirstWindowNumber || number[0] > kLastWindowNumber) {
    ThrowInvalid(u"The window number must be 1 to 7", number);
  }
  return number[0] - kFirstWindowNumber;
}

}  // namespace

DeskPreset CheckDeskPreset(std::optional<std::u16string_view> server,
                           std::optional<std::u16string_view> window_number) {
  DeskPreset preset;
  if (Given(server)) preset.host = CheckedHost(*server);
  if (Given(window_number)) preset.window = CheckedWindow(*window_number);
  return preset;
}

bool WriteDeskPresetIfMissing(std::u16string_view ini_path, const DeskPreset& preset) {
  if (!preset.host && !preset.window) return false;
  if (ReadStoredFile(AbsoluteStoredPath(ini_path)).state != StoredState::kMissing) return false;
  SaveServerValues(ini_path, preset.host, preset.window);
  return true;
}

}  // namespace settings
