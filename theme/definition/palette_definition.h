// A theme's palette definition, read without Qt so both front-ends take their colours from the
// one text: lines "Role = #rrggbb" set a colour role in every colour group, "Group:Role =
// #rrggbb" one group (Active, Inactive, Disabled); a line starting with "#" is a comment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace theme {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  bool operator==(const Rgb&) const = default;
};

enum class ColourGroup { kEvery, kActive, kInactive, kDisabled };

// The role names a definition may use (the roles a palette has).
inline constexpr std::string_view kPaletteRoles[] = {
    "WindowText",  "Button",        "Light",       "Midlight",        "Dark",
    "Mid",         "Text",          "BrightText",  "ButtonText",      "Base",
    "Window",      "Shadow",        "Highlight",   "HighlightedText", "Link",
    "LinkVisited", "AlternateBase", "ToolTipBase", "ToolTipText",     "PlaceholderText"};

struct PaletteSetting {
  ColourGroup group = ColourGroup::kEvery;
  std::string role;  // one of kPaletteRoles
  Rgb colour;
};

struct PaletteDefinition {
  std::vector<PaletteSetting> settings;  // in the order of the text

  // The colour of `role` in `group`: the group's own setting wins wherever it stands, else the
  // setting for every group; none when the definition gives the role no colour.
  std::optional<Rgb> Find(std::string_view role, ColourGroup group = ColourGroup::kActive) const;
};

// Reads "#rrggbb" (six hexadecimal digits, nothing else); none for anything else.
std::optional<Rgb> ParseRgb(std::string_view text);

// Reads a definition (UTF-8). Window and Button must be given for every group, since a palette
// is derived from those two. Throws queue::Failure (kind ThemeFailure::kLoad) "Theme palette:
// <reason> (line N)" naming the first bad line.
PaletteDefinition ParsePaletteDefinition(std::string_view definition);

}  // namespace theme
