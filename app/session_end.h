// Log-off and system shut-down: the program ends without its operator window being closed,
// so the settings would not be written; this writes them when the session ends.
#pragma once

namespace app {

// Connects the session's end (the session manager's commit request, or a quit that no close
// of the operator window asked for) to a save of the settings that ignores a failure.
void SaveSettingsWhenSessionEnds();

// What both paths run: saves unless the operator window was closed (and saved) already.
void SaveSettingsAtSessionEnd() noexcept;

}  // namespace app
