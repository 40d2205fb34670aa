// The rules of a theme's style sheet, read without Qt: for the Windows program, which draws its
// controls itself in the colours the sheet gives the Linux program's controls. Only what a
// colour lookup needs is read: "selector, selector { property: value; ... }" with comments.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "theme/definition/palette_definition.h"

namespace theme {

struct StyleDeclaration {
  std::string property;
  std::string value;
};

struct StyleRule {
  std::vector<std::string> selectors;  // as written, blanks trimmed: "QPushButton:hover"
  std::vector<StyleDeclaration> declarations;
};

class StyleSheetRules {
 public:
  // Reads a sheet (UTF-8). Throws queue::Failure (kind ThemeFailure::kLoad) "Theme style sheet:
  // <reason>" for an unclosed comment or rule, or a declaration without ":".
  static StyleSheetRules Parse(std::string_view sheet);

  // The value of `property` in the last rule that names `selector` exactly and declares it
  // (a later rule wins, as in the sheet); none when no rule does.
  std::optional<std::string> Value(std::string_view selector, std::string_view property) const;

  const std::vector<StyleRule>& rules() const { return rules_; }

 private:
  std::vector<StyleRule> rules_;
};

// A colour value "#rrggbb"; none for anything else.
std::optional<Rgb> SolidColour(std::string_view value);
// The first "#rrggbb" word of a border value such as "1px solid #9fb4c7".
std::optional<Rgb> BorderColour(std::string_view value);
// A vertical "qlineargradient(... stop: 0 #top, stop: 1 #bottom)" as its first and last stop;
// a solid colour as itself twice.
struct Gradient {
  Rgb top;
  Rgb bottom;
  bool operator==(const Gradient&) const = default;
};
std::optional<Gradient> GradientColours(std::string_view value);
// A length "3px" in pixels; none for anything else.
std::optional<int> PixelLength(std::string_view value);

}  // namespace theme
