// The palette definition of a theme (format in palette_definition.h).
#include "theme/definition/palette_definition.h"

#include <algorithm>

#include "theme/container/theme_failure.h"

namespace theme {
namespace {

[[noreturn]] void Fail(const std::string& reason) {
  throw queue::Failure(ThemeFailure::kLoad, "Theme palette: " + reason);
}

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<ColourGroup> GroupNamed(std::string_view name) {
  if (name == "Active") return ColourGroup::kActive;
  if (name == "Inactive") return ColourGroup::kInactive;
  if (name == "Disabled") return ColourGroup::kDisabled;
  return std::nullopt;
}

bool IsRole(std::string_view name) {
  return std::find(std::begin(kPaletteRoles), std::end(kPaletteRoles), name) !=
         std::end(kPaletteRoles);
}

PaletteSetting ParseLine(std::string_view line, int line_number) {
  const std::string where = " (line " + std::to_string(line_number) + ")";
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) Fail("\"=\" missing" + where);
  const std::string_view key = TrimBlanks(line.substr(0, equals));
  const std::string_view value = TrimBlanks(line.substr(equals + 1));

  PaletteSetting setting;
  std::string_view role = key;
  if (const auto colon = key.find(':'); colon != std::string_view::npos) {
    const auto group = GroupNamed(TrimBlanks(key.substr(0, colon)));
    if (!group) Fail("unknown colour group" + where);
    setting.group = *group;
    role = TrimBlanks(key.substr(colon + 1));
  }
  if (!IsRole(role)) Fail("unknown colour role" + where);
  setting.role = std::string(role);
  const auto colour = ParseRgb(value);
  if (!colour) Fail("colour not in #rrggbb form" + where);
  setting.colour = *colour;
  return setting;
}

}  // namespace

std::optional<Rgb> ParseRgb(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  int digits[6];
  for (int i = 0; i < 6; ++i)
    if ((digits[i] = HexDigit(text[i + 1])) < 0) return std::nullopt;
  return Rgb{static_cast<std::uint8_t>(digits[0] * 16 + digits[1]),
             static_cast<std::uint8_t>(digits[2] * 16 + digits[3]),
             static_cast<std::uint8_t>(digits[4] * 16 + digits[5])};
}

std::optional<Rgb> PaletteDefinition::Find(std::string_view role, ColourGroup group) const {
  std::optional<Rgb> every;
  std::optional<Rgb> own;
  for (const auto& setting : settings) {
    if (setting.role != role) continue;
    if (setting.group == ColourGroup::kEvery) every = setting.colour;
    if (group != ColourGroup::kEvery && setting.group == group) own = setting.colour;
  }
  return own ? own : every;
}

PaletteDefinition ParsePaletteDefinition(std::string_view definition) {
  PaletteDefinition palette;
  int line_number = 0;
  while (!definition.empty()) {
    ++line_number;
    const auto end = definition.find('\n');
    const std::string_view line = TrimBlanks(definition.substr(0, end));
    definition.remove_prefix(end == std::string_view::npos ? definition.size() : end + 1);
    if (line.empty() || line.front() == '#') continue;
    palette.settings.push_back(ParseLine(line, line_number));
  }
  if (!palette.Find("Window", ColourGroup::kEvery) || !palette.Find("Button", ColourGroup::kEvery))
    Fail("Window and Button colours required");
  return palette;
}

}  // namespace theme
