// Reading the rules of a theme's style sheet and the colour values in them.
#include "theme/definition/style_sheet_rules.h"

#include <cctype>

#include "theme/container/theme_failure.h"

namespace theme {
namespace {

[[noreturn]] void Fail(std::string_view reason) {
  throw queue::Failure(ThemeFailure::kLoad, "Theme style sheet: " + std::string(reason));
}

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string WithoutComments(std::string_view sheet) {
  std::string text;
  text.reserve(sheet.size());
  for (std::size_t i = 0; i < sheet.size();) {
    if (sheet.compare(i, 2, "/*") == 0) {
      const auto end = sheet.find("*/", i + 2);
      if (end == std::string_view::npos) Fail("comment not closed");
      text.push_back(' ');
      i = end + 2;
    } else {
      text.push_back(sheet[i++]);
    }
  }
  return text;
}

std::vector<std::string> SplitTrimmed(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t depth = 0;  // commas inside "qlineargradient(...)" do not split
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] == '(') ++depth;
    if (i < text.size() && text[i] == ')' && depth > 0) --depth;
    if (i == text.size() || (text[i] == separator && depth == 0)) {
      const auto part = TrimBlanks(text.substr(start, i - start));
      if (!part.empty()) parts.emplace_back(part);
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

StyleSheetRules StyleSheetRules::Parse(std::string_view sheet) {
  const std::string text = WithoutComments(sheet);
  StyleSheetRules rules;
  std::size_t at = 0;
  while (true) {
    const auto open = text.find('{', at);
    if (open == std::string::npos) {
      if (!TrimBlanks(std::string_view(text).substr(at)).empty()) Fail("text after the last rule");
      break;
    }
    const auto close = text.find('}', open);
    if (close == std::string::npos) Fail("rule not closed");
    StyleRule rule;
    rule.selectors = SplitTrimmed(std::string_view(text).substr(at, open - at), ',');
    if (rule.selectors.empty()) Fail("rule without a selector");
    for (const auto& declaration :
         SplitTrimmed(std::string_view(text).substr(open + 1, close - open - 1), ';')) {
      const auto colon = declaration.find(':');
      if (colon == std::string::npos) Fail("declaration without \":\"");
      rule.declarations.push_back({std::string(TrimBlanks(declaration.substr(0, colon))),
                                   std::string(TrimBlanks(declaration.substr(colon + 1)))});
    }
    rules.rules_.push_back(std::move(rule));
    at = close + 1;
  }
  return rules;
}

std::optional<std::string> StyleSheetRules::Value(std::string_view selector,
                                                  std::string_view property) const {
  std::optional<std::string> value;
  for (const auto& rule : rules_) {
    bool named = false;
    for (const auto& s : rule.selectors) named = named || s == selector;
    if (!named) continue;
    for (const auto& declaration : rule.declarations)
      if (declaration.property == property) value = declaration.value;
  }
  return value;
}

std::optional<Rgb> SolidColour(std::string_view value) {
  return ParseRgb(TrimBlanks(value));
}

std::optional<Rgb> BorderColour(std::string_view value) {
  for (const auto& word : SplitTrimmed(value, ' '))
    if (word.front() == '#') return ParseRgb(word);
  return std::nullopt;
}

std::optional<Gradient> GradientColours(std::string_view value) {
  if (const auto solid = SolidColour(value)) return Gradient{*solid, *solid};
  constexpr std::string_view kGradient = "qlineargradient(";
  value = TrimBlanks(value);
  if (value.substr(0, kGradient.size()) != kGradient || value.back() != ')') return std::nullopt;
  std::vector<Rgb> stops;
  for (const auto& argument :
       SplitTrimmed(value.substr(kGradient.size(), value.size() - kGradient.size() - 1), ',')) {
    if (argument.rfind("stop", 0) != 0) continue;
    const auto hash = argument.find('#');
    if (hash == std::string::npos) return std::nullopt;
    const auto colour = ParseRgb(TrimBlanks(std::string_view(argument).substr(hash)));
    if (!colour) return std::nullopt;
    stops.push_back(*colour);
  }
  if (stops.empty()) return std::nullopt;
  return Gradient{stops.front(), stops.back()};
}

std::optional<int> PixelLength(std::string_view value) {
  value = TrimBlanks(value);
  if (value.size() < 3 || value.substr(value.size() - 2) != "px") return std::nullopt;
  int pixels = 0;
  for (const char c : value.substr(0, value.size() - 2)) {
    if (c < '0' || c > '9' || pixels > 1000) return std::nullopt;
    pixels = pixels * 10 + (c - '0');
  }
  return pixels;
}

}  // namespace theme
