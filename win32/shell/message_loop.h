// The program's one message loop, also run nested by the modal windows: dialog keys (Tab,
// the arrows, Enter and Esc as the dialog manager has them) before the window gets a message,
// and a failure escaping a message's handling shown in the error box, after which the loop
// goes on.
#pragma once

#include <functional>

namespace win32 {

struct LoopEnd {
  bool quit = false;  // the quit request was taken
  int exit_code = 0;  // its code
};

// Runs until `done()` is true or the quit request arrives. A nested loop that takes the quit
// request posts it again, so the loops around it end too.
LoopEnd RunMessageLoop(const std::function<bool()>& done);

}  // namespace win32
