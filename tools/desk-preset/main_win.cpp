// desk-preset's entry on Windows: the arguments as the system passes them, UTF-16, so that a
// settings file below a user's folder with any letters in its name is reached.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/desk-preset/desk_preset_tool.h"

int wmain(int argc, wchar_t** argv) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  }
  std::string output;
  const int status = tools::RunDeskPresetTool(arguments, output);
  std::fputs(output.c_str(), status == tools::kPresetDone ? stdout : stderr);
  return status;
}
