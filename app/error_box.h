// The error box: the one place where a failure of a user action is shown. A message box with
// the failure's text, the application title as caption, one OK button and the error icon,
// modal over the program's active window; the program carries on when it is dismissed.
#pragma once

#include <QString>
#include <exception>
#include <optional>

namespace app {

// The text the box shows for `failure`, or nothing for a silent abort (the rule is
// core/error_text.h's, which qget shares).
std::optional<QString> ErrorBoxText(std::exception_ptr failure);

// Shows the box for `failure` and returns when it is dismissed; a silent abort shows nothing.
void ShowFailure(std::exception_ptr failure) noexcept;

}  // namespace app
