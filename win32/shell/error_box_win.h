// The error box: the one place where a failure of a user action is shown. A system message
// box with the failure's text (core/error_text.h's rule), the application title as caption,
// one OK button and the error icon, owned by the program's active window; the program carries
// on when it is dismissed.
#pragma once

#include <exception>

namespace win32 {

// Shows the box for `failure` and returns when it is dismissed; a silent abort shows nothing.
void ShowFailure(std::exception_ptr failure) noexcept;

}  // namespace win32
