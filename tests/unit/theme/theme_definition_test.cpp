// The theme's Qt-free definition, as the Windows program reads it: the program's own palette and
// style sheet give every colour a self-drawn control needs, in agreement with the palette; bad
// definitions are refused naming their fault; discovery of the theme resources fails as the
// start-up must report it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/text.h"
#include "theme/container/theme_container.h"
#include "theme/container/theme_failure.h"
#include "theme/definition/control_colours.h"
#include "theme/definition/palette_definition.h"
#include "theme/definition/style_sheet_rules.h"
#include "theme/discovery/theme_discovery.h"

namespace theme {
namespace {

std::string ReadSource(const std::string& name) {
  std::ifstream in(std::string(QUEUE_THEME_SOURCE_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

constexpr Rgb kHex(unsigned value) {
  return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value)};
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const queue::Failure& failure) {
    EXPECT_EQ(failure.kind(), ThemeFailure::kLoad);
    return queue::Utf16ToUtf8(failure.message());
  }
  return "(nothing thrown)";
}

// The program's own sources: a selector the reader cannot find, or a value it cannot read, would
// leave a Windows control in the system's colours.
TEST(ThemeDefinitionTest, ProgramThemeGivesEveryControlColour) {
  const PaletteDefinition palette = ParsePaletteDefinition(ReadSource("palette.txt"));
  const StyleSheetRules sheet = StyleSheetRules::Parse(ReadSource("style.qss"));
  const ControlColours c = ReadControlColours(palette, sheet);
  // The window background is given twice (palette and sheet); the two programs agree only if
  // the two do.
  EXPECT_EQ(c.window, *palette.Find("Window"));
  EXPECT_EQ(c.edit_background, *palette.Find("Base"));
  EXPECT_EQ(c.disabled_text, *palette.Find("WindowText", ColourGroup::kDisabled));
  EXPECT_NE(c.disabled_text, c.window_text);
  // The button states differ from each other, as the Linux program's buttons do.
  EXPECT_NE(c.button.face, c.button_hot.face);
  EXPECT_NE(c.button.face, c.button_pressed.face);
  EXPECT_NE(c.button.border, c.button_pressed.border);
  EXPECT_NE(c.button_disabled.text, c.button.text);
  EXPECT_NE(c.button.face.top, c.button.face.bottom);  // a gradient, not one colour
  EXPECT_GT(c.button_radius, 0);
  EXPECT_NE(c.scroll_thumb, c.scroll_thumb_hot);
}

TEST(ThemeDefinitionTest, PaletteGroupSettingWinsWhereverItStands) {
  const PaletteDefinition palette = ParsePaletteDefinition(
      "# comment\r\nDisabled:Text = #101010\nWindow = #edf2f6\nButton=#E2EAF1\n\n"
      "Text = #202020\n");
  EXPECT_EQ(palette.Find("Text", ColourGroup::kDisabled), kHex(0x101010));
  EXPECT_EQ(palette.Find("Text", ColourGroup::kActive), kHex(0x202020));
  EXPECT_EQ(palette.Find("Text", ColourGroup::kEvery), kHex(0x202020));
  EXPECT_EQ(palette.Find("Button"), kHex(0xe2eaf1));
  EXPECT_EQ(palette.Find("Link"), std::nullopt);
}

struct BadPalette {
  const char* definition;
  const char* message;
};

TEST(ThemeDefinitionTest, BadPalettesAreRefusedNamingTheLine) {
  const BadPalette cases[] = {
      {"Button = #e2eaf1", "Theme palette: Window and Button colours required"},
      // Given for one group only, the palette cannot be derived from it.
      {"Disabled:Window = #edf2f6\nButton = #e2eaf1",
       "Theme palette: Window and Button colours required"},
      {"Window = #edf2f6\nButton = #e2eaf1\nFrost = #ffffff",
       "Theme palette: unknown colour role (line 3)"},
      {"Window = #edf2f6\nDim:Text = #ffffff", "Theme palette: unknown colour group (line 2)"},
      {"Window = white", "Theme palette: colour not in #rrggbb form (line 1)"},
      {"Window = #edf2f", "Theme palette: colour not in #rrggbb form (line 1)"},
      {"Window = #edf2f6a", "Theme palette: colour not in #rrggbb form (line 1)"},
      {"Window = #edg2f6", "Theme palette: colour not in #rrggbb form (line 1)"},
      {"\n\nWindow #edf2f6", "Theme palette: \"=\" missing (line 3)"},
  };
  for (const auto& row : cases)
    EXPECT_EQ(MessageOf([&] { ParsePaletteDefinition(row.definition); }), row.message)
        << row.definition;
}

TEST(ThemeDefinitionTest, SheetValuesFollowTheCascade) {
  const StyleSheetRules sheet = StyleSheetRules::Parse(
      "/* a { color: #000000; } */\n"
      "QDialog, QMessageBox { background-color: #edf2f6; }\n"
      "QPushButton { border: 1px solid #9fb4c7; background-color: qlineargradient(x1: 0, y1: 0,"
      " x2: 0, y2: 1, stop: 0 #f8fbfd, stop: 0.5 #000000, stop: 1 #dfe8f0); }\n"
      "QPushButton:hover { border-color: #6f98bd }\n"
      "QMessageBox { background-color: #ffffff; border-radius: 3px; }");
  EXPECT_EQ(sheet.Value("a", "color"), std::nullopt);  // inside a comment
  EXPECT_EQ(sheet.Value("QDialog", "background-color"), "#edf2f6");
  EXPECT_EQ(sheet.Value("QMessageBox", "background-color"), "#ffffff");  // the later rule
  EXPECT_EQ(PixelLength(*sheet.Value("QMessageBox", "border-radius")), 3);
  EXPECT_EQ(BorderColour(*sheet.Value("QPushButton", "border")), kHex(0x9fb4c7));
  EXPECT_EQ(SolidColour(*sheet.Value("QPushButton:hover", "border-color")), kHex(0x6f98bd));
  const auto face = GradientColours(*sheet.Value("QPushButton", "background-color"));
  ASSERT_TRUE(face);
  EXPECT_EQ(face->top, kHex(0xf8fbfd));
  EXPECT_EQ(face->bottom, kHex(0xdfe8f0));
  EXPECT_EQ(GradientColours("qlineargradient(x1: 0, stop: 0 red)"), std::nullopt);
  EXPECT_EQ(GradientColours("#123456"), (Gradient{kHex(0x123456), kHex(0x123456)}));
  EXPECT_EQ(PixelLength("3em"), std::nullopt);
}

TEST(ThemeDefinitionTest, BrokenSheetsAndMissingValuesAreRefused) {
  EXPECT_EQ(MessageOf([] { StyleSheetRules::Parse("/* open"); }),
            "Theme style sheet: comment not closed");
  EXPECT_EQ(MessageOf([] { StyleSheetRules::Parse("QPushButton { color: #000000;"); }),
            "Theme style sheet: rule not closed");
  EXPECT_EQ(MessageOf([] { StyleSheetRules::Parse("QPushButton { color #000000 }"); }),
            "Theme style sheet: declaration without \":\"");
  EXPECT_EQ(MessageOf([] { StyleSheetRules::Parse("QPushButton { } stray"); }),
            "Theme style sheet: text after the last rule");
  // A sheet without a button rule leaves nothing to draw a Windows button in.
  const PaletteDefinition palette = ParsePaletteDefinition(ReadSource("palette.txt"));
  std::string sheet = ReadSource("style.qss");
  const auto hover = sheet.find("QPushButton:hover {\n  background-color:");
  ASSERT_NE(hover, std::string::npos);
  sheet.replace(sheet.find("#ffffff", hover), 7, "white");
  EXPECT_EQ(MessageOf([&] { ReadControlColours(palette, StyleSheetRules::Parse(sheet)); }),
            "Theme style sheet: no usable background-color in QPushButton:hover");
}

ThemePackage PackageNamed(std::string name) {
  return {std::move(name), "1.0", {{"palette", "Window = #edf2f6\nButton = #e2eaf1\n"}}};
}

struct DiscoveryCase {
  const char* what;
  std::vector<std::pair<std::u16string, std::string>> resources;  // name, container bytes
  std::string message;                                            // empty: no failure
  std::vector<std::u16string> prepared;
};

TEST(ThemeDiscoveryTest, DamagedResourcesAreNamedAfterAllWereTried) {
  const std::string good = EncodeThemeContainer(PackageNamed("Iceberg Classico"));
  const std::string other = EncodeThemeContainer(PackageNamed("Other"));
  const std::string unpreparable = EncodeThemeContainer(PackageNamed("Refused"));
  const DiscoveryCase cases[] = {
      {"one good", {{u"ICEBERGCLASSICO", good}}, "", {u"Iceberg Classico"}},
      {"none", {}, "", {}},
      {"one bad beside the good one",
       {{u"ICEBERGCLASSICO", good}, {u"ZEBRA", "APP_STYLE 2.0 garbage"}},
       "Unable to load style 'ZEBRA'",
       {u"Iceberg Classico"}},
      // Names match without regard to case: the second is the same theme again.
      {"same theme twice in other letters",
       {{u"A", good}, {u"B", EncodeThemeContainer(PackageNamed("ICEBERG classico"))}},
       "Unable to load style 'B'",
       {u"Iceberg Classico"}},
      {"two bad",
       {{u"BROKEN", "garbage"}, {u"CUT", good.substr(0, good.size() / 2)}, {u"O", other}},
       "Unable to load styles: BROKEN, CUT",
       {u"Other"}},
      {"unreadable and unpreparable",
       {{u"GONE", ""}, {u"R", unpreparable}},
       "Unable to load styles: GONE, R",
       {}},
  };
  for (const auto& row : cases) {
    std::vector<ThemeResource> resources;
    for (const auto& [name, bytes] : row.resources)
      resources.push_back({name, [bytes = bytes] {
                             if (bytes.empty())
                               throw queue::Failure(ThemeFailure::kLoad, "unreadable");
                             return bytes;
                           }});
    std::vector<std::u16string> prepared;
    const auto same = [](std::u16string_view a, std::u16string_view b) {
      return queue::EqualsIgnoreCase(a, b);
    };
    const auto prepare = [&](std::u16string_view, const ThemePackage& package) {
      if (package.name == "Refused") throw queue::Failure(ThemeFailure::kLoad, "no stylesheet");
      prepared.push_back(queue::Utf8ToUtf16(package.name));
    };
    std::string message;
    try {
      EXPECT_EQ(DiscoverThemes(resources, same, prepare), row.prepared) << row.what;
    } catch (const queue::Failure& failure) {
      message = queue::Utf16ToUtf8(failure.message());
      // One failed resource carries its own failure within; several are named only.
      EXPECT_EQ(failure.inner() != nullptr, row.message.find("styles:") == std::string::npos)
          << row.what;
    }
    EXPECT_EQ(message, row.message) << row.what;
    EXPECT_EQ(prepared, row.prepared) << row.what;
  }
}

TEST(ThemeDiscoveryTest, NotFoundTextNamesTheTheme) {
  EXPECT_EQ(ThemeNotFoundText(u"Iceberg Classico"), u"Style 'Iceberg Classico' not found");
}

}  // namespace
}  // namespace theme
