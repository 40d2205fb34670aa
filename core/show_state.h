// The state the operator window starts in, from the show command the process was started with
// (Windows numbering): one rule for both programs.
#pragma once

namespace queue {

enum class ShowState { kNormal, kMaximized, kMinimized };

inline constexpr int kShowNormal = 1;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShowMinNoActive = 7;

// Maximised for 3 (although the window has no maximise button), minimised for 7, normal for
// every other show command.
constexpr ShowState ShowStateForCommand(int show_command) {
  switch (show_command) {
    case kShowMaximized:
      return ShowState::kMaximized;
    case kShowMinNoActive:
      return ShowState::kMinimized;
    default:
      return ShowState::kNormal;
  }
}

}  // namespace queue
