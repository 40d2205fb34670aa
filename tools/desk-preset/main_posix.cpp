// desk-preset's entry on Linux: the arguments as UTF-8.
#include <cstdio>
#include <string>
#include <vector>

#include "core/text.h"
#include "tools/desk-preset/desk_preset_tool.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(queue::Utf8ToUtf16(argv[i]));
  std::string output;
  const int status = tools::RunDeskPresetTool(arguments, output);
  std::fputs(output.c_str(), status == tools::kPresetDone ? stdout : stderr);
  return status;
}
