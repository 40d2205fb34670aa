// make-theme: packs a theme's readable sources (palette, style sheet) into the theme
// container the program embeds among its resources.
//
//   make-theme --name NAME --version VERSION --section KEY=FILE [--section KEY=FILE ...]
//              --output FILE
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/failure.h"
#include "theme/container/theme_container.h"

namespace {

constexpr std::string_view kUsage =
    "usage: make-theme --name NAME --version VERSION --section KEY=FILE [--section KEY=FILE ...]"
    " --output FILE\n";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  theme::ThemePackage package;
  std::string output;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string_view option = argv[i];
      if (i + 1 >= argc) {
        std::cerr << kUsage;
        return 2;
      }
      const std::string value = argv[++i];
      if (option == "--name") {
        package.name = value;
      } else if (option == "--version") {
        package.version = value;
      } else if (option == "--output") {
        output = value;
      } else if (option == "--section") {
        const auto equals = value.find('=');
        if (equals == std::string::npos || equals == 0) {
          std::cerr << kUsage;
          return 2;
        }
        package.sections.push_back({value.substr(0, equals), ReadFile(value.substr(equals + 1))});
      } else {
        std::cerr << kUsage;
        return 2;
      }
    }
    if (package.name.empty() || output.empty()) {
      std::cerr << kUsage;
      return 2;
    }
    const std::string container = theme::EncodeThemeContainer(package);
    // Read back what was written, so a faulty container never reaches the program.
    if (theme::DecodeThemeContainer(container) != package)
      throw std::runtime_error("container does not read back");
    WriteFile(output, container);
  } catch (const std::exception& failure) {
    std::cerr << "make-theme: " << failure.what() << "\n";
    return 1;
  }
  return 0;
}
