// The start-up failure box: how a failure that escapes start-up, before the message loop
// runs, is shown: no owner, task-modal, caption "Application Error", the text of
// core/startup_failure_text.h. The process then ends with exit code 1.
#pragma once

#include <exception>

namespace win32 {

void ShowStartupFailure(std::exception_ptr failure) noexcept;

}  // namespace win32
