// Where the settings file lies: beside the executable, named after it.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// The executable's full path with its extension replaced by ".ini". The extension begins at
// the last "." that stands after the last "/", "\" and ":"; a name without one gets ".ini"
// appended ("/opt/queue/operator" gives "/opt/queue/operator.ini", "C:\q\Operator.exe" gives
// "C:\q\Operator.ini").
std::u16string SettingsPathForExecutable(std::u16string_view executable_path);

}  // namespace settings
