// The Windows start-up bench's probe: tells the bench when a program's top-level window is shown
// and painted, and closes it afterwards. It runs once for the whole bench under the same Wine
// server as the programs measured and reads one command per line on its standard input,
// answering each with one line:
//
//   painted CLASS WAIT_MS   waits for a visible top-level window of that class, then for its
//                           process to finish its initial input and wait for more (the input
//                           idle that the system marks once the queue, paint included, is
//                           empty), then has any update region left painted and the window's
//                           thread back in its message loop; answers "ok WINDOW PROCESS"
//                           (decimal handle and process id) or "no WHAT" when the wait for
//                           WHAT (window, process, idle, reply) ran out
//   close WINDOW            posts WM_CLOSE, as the close button does; answers "ok"
//   quit
//
// The bench reads the program's CPU time and peak memory between "painted" and "close": the
// program is then idle in its message loop, so the figures are those of its start-up.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kPollMs = 2;
constexpr int kMaxLine = 512;

std::wstring Wide(const char* text) {
  std::wstring wide;
  for (; *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return wide;
}

// Returns the window once it is visible, or nullptr when `wait_ms` ran out.
HWND AwaitVisible(const std::wstring& class_name, DWORD wait_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowW(class_name.c_str(), nullptr);
    if (window != nullptr && IsWindowVisible(window)) return window;
    if (GetTickCount() - start > wait_ms) return nullptr;
    Sleep(kPollMs);
  }
}

// The window's thread has handled every message sent before this one returns: it is back in
// its message loop (or waiting in one of its own).
bool RoundTrip(HWND window, DWORD wait_ms) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, wait_ms, &result) != 0;
}

// Empty when the window is painted and its thread idle, else what did not come in time.
const char* AwaitPainted(HWND window, DWORD wait_ms, DWORD* process_id) {
  GetWindowThreadProcessId(window, process_id);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, *process_id);
  if (process == nullptr) return "process";
  const DWORD idle = WaitForInputIdle(process, wait_ms);
  CloseHandle(process);
  if (idle != 0) return "idle";
  // A paint still pending is made now, in the window's own thread, before the answer.
  if (!RoundTrip(window, wait_ms)) return "reply";
  UpdateWindow(window);
  return RoundTrip(window, wait_ms) ? "" : "reply";
}

}  // namespace

int main() {
  char line[kMaxLine];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    char command[32] = {};
    char argument[kMaxLine] = {};
    unsigned long number = 0;
    if (std::sscanf(line, "%31s", command) != 1) continue;
    if (std::strcmp(command, "quit") == 0) break;
    if (std::strcmp(command, "painted") == 0 &&
        std::sscanf(line, "%*s %511s %lu", argument, &number) == 2) {
      HWND window = AwaitVisible(Wide(argument), number);
      DWORD process_id = 0;
      const char* missing =
          window == nullptr ? "window" : AwaitPainted(window, number, &process_id);
      if (*missing == '\0') {
        std::printf("ok %llu %lu\n",
                    static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)),
                    process_id);
      } else {
        std::printf("no %s\n", missing);
      }
    } else if (std::strcmp(command, "close") == 0 &&
               std::sscanf(line, "%*s %511s", argument) == 1) {
      HWND window =
          reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argument, nullptr, 10)));
      std::printf(PostMessageW(window, WM_CLOSE, 0, 0) ? "ok\n" : "no\n");
    } else {
      std::printf("no unknown command\n");
    }
    std::fflush(stdout);
  }
  return 0;
}
