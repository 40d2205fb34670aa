// The error box's text rule, written once: the program's box and qget's "box" both use it.
#pragma once

#include <exception>
#include <optional>
#include <string>

#include "core/failure.h"

namespace queue {

// The innermost failure's message when it is not empty, else the outermost one's (the
// failures between the two are never looked at); then "." appended when the text is not
// empty and its last code unit lies above that of "." (46).
std::u16string ErrorBoxText(const Failure& failure);

// The same for anything thrown: nothing for a silent abort; another exception's what() (as
// UTF-8), or "Unknown failure" for what is no exception at all, with the same full stop.
std::optional<std::u16string> ErrorBoxText(std::exception_ptr failure);

}  // namespace queue
