// The theme container: the byte layout in which a theme travels among the program's
// resources. It is the 13-byte signature "APP_STYLE 2.0" followed by one zlib stream; the
// inflated bytes are the theme's header (its name and version) and then its named data
// sections (palette, style sheet). Qt-free, so the build tool that writes the container and
// the program that reads it share this one definition.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace theme {

inline constexpr std::string_view kContainerSignature = "APP_STYLE 2.0";

// Bounds that keep a damaged or hostile resource from exhausting memory.
inline constexpr std::size_t kMaxContainerBytes = 8u << 20;  // far above any real theme
inline constexpr std::size_t kMaxInflatedBytes = 16u << 20;  // bounds a zlib "bomb"
inline constexpr std::size_t kMaxHeaderField = 255;          // name and version lengths
inline constexpr std::size_t kMaxSections = 64;
inline constexpr std::size_t kMaxSectionName = 64;

struct ThemeSection {
  std::string name;  // e.g. "palette", "stylesheet"
  std::string data;  // the section's bytes, as the theme source had them

  bool operator==(const ThemeSection&) const = default;
};

struct ThemePackage {
  std::string name;     // UTF-8; the theme is registered and found under it
  std::string version;  // UTF-8, e.g. "1.0"
  std::vector<ThemeSection> sections;

  // The data of the first section called `section_name`, or null when it has none.
  const std::string* FindSection(std::string_view section_name) const;

  bool operator==(const ThemePackage&) const = default;
};

// Packs a theme into a container. Throws queue::Failure (kind ThemeFailure::kLoad) when a field
// exceeds the bounds above, when the name is empty or zlib fails.
std::string EncodeThemeContainer(const ThemePackage& package);

// Validates and unpacks a container. Consumes `bytes` whole: the signature, exactly one
// complete zlib stream (its checksum verified) and nothing after it; the inflated header and
// sections must fill the inflated bytes exactly and respect the bounds above, and the name
// must not be empty. Anything else throws queue::Failure (kind ThemeFailure::kLoad) saying what is
// wrong; no partial package is ever returned.
ThemePackage DecodeThemeContainer(std::string_view bytes);

}  // namespace theme
