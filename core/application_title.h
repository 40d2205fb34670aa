// The application title, the caption of the error box: derived once from the executable's
// file name, by one rule for both programs.
#pragma once

#include <string>
#include <string_view>

namespace queue {

// The platform's lower-case mapping of a text (CharLowerW on Windows, Unicode's through Qt on
// Linux): the title rule is shared, the letters' cases are the platform's.
using LowerCaseMapping = std::u16string (*)(std::u16string_view text);

// The file name of `executable_path` (after the last "/" or "\") up to its first ".", every
// character after the first one mapped by `lower`: "C:\q\OPERATOR.x.exe" gives "Operator".
std::u16string DeriveApplicationTitle(std::u16string_view executable_path, LowerCaseMapping lower);

}  // namespace queue
