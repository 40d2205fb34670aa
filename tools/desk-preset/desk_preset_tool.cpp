// desk-preset's command line over the preset's check and write.
#include "tools/desk-preset/desk_preset_tool.h"

#include <optional>
#include <string_view>

#include "core/failure.h"
#include "core/text.h"
#include "settings/desk_preset.h"

namespace tools {
namespace {

constexpr std::string_view kUsage =
    "usage: desk-preset [--check] [--server URL] [--window N] FILE\n"
    "Writes Server/Host (URL, beginning with http:// or https://) and Server/Window (window\n"
    "number N, 1 to 7, stored as N-1) into the settings file FILE when FILE does not exist;\n"
    "an existing file is left as it is. An empty value is one not given. --check checks the\n"
    "values only and needs no FILE. Exit status: 0 done, 1 FILE could not be written, 2 a bad\n"
    "value or usage.\n";

struct Command {
  bool check_only = false;
  std::optional<std::u16string> server;
  std::optional<std::u16string> window;
  std::optional<std::u16string> file;
};

// Null when the command line is not one of the usage's.
std::optional<Command> Parse(const std::vector<std::u16string>& arguments) {
  Command command;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::u16string& argument = arguments[i];
    const bool has_value = i + 1 < arguments.size();
    if (argument == u"--check") {
      command.check_only = true;
    } else if (argument == u"--server" && has_value && !command.server) {
      command.server = arguments[++i];
    } else if (argument == u"--window" && has_value && !command.window) {
      command.window = arguments[++i];
    } else if (!argument.starts_with(u"--") && !command.file) {
      command.file = argument;
    } else {
      return std::nullopt;
    }
  }
  if (!command.check_only && !command.file) return std::nullopt;
  return command;
}

void Say(std::string& output, std::u16string_view text) {
  output += "desk-preset: ";
  output += queue::Utf16ToUtf8(text);
  output += '\n';
}

}  // namespace

int RunDeskPresetTool(const std::vector<std::u16string>& arguments, std::string& output) {
  const std::optional<Command> command = Parse(arguments);
  if (!command) {
    output += kUsage;
    return kPresetInvalid;
  }
  settings::DeskPreset preset;
  try {
    preset = settings::CheckDeskPreset(command->server, command->window);
  } catch (const queue::Failure& failure) {
    Say(output, failure.message());
    return kPresetInvalid;
  }
  if (command->check_only) {
    Say(output, u"the values are valid");
    return kPresetDone;
  }
  try {
    if (settings::WriteDeskPresetIfMissing(*command->file, preset)) {
      Say(output, u"wrote the preset into " + *command->file);
    } else if (preset.host || preset.window) {
      Say(output, *command->file + u" exists: the desk's own settings are left as they are");
    } else {
      Say(output, u"no preset given, nothing written");
    }
  } catch (const queue::Failure& failure) {
    Say(output, failure.message());
    return kPresetWriteFailed;
  }
  return kPresetDone;
}

}  // namespace tools
