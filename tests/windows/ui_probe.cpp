// A Windows console program that looks at another program's windows for the desktop test of
// the operator program under Wine. It reads one command per line on its standard input and
// answers each with one line: "ok ..." or "no ..." (nothing found in the time given). Windows
// are named by their handles in decimal; texts travel as JSON strings (\uXXXX outside ASCII).
//
//   find CLASS WAIT_MS CAPTION   a visible top-level window of that class ("-": any) and
//                                caption (JSON); answers its handle, outer and client rect
//   child PARENT CLASS INDEX     the INDEX-th (from 0) child of that class, in tab order
//   item PARENT ID               the child with that control identifier
//   rect WINDOW                  the outer rectangle and the client rectangle, in screen pixels
//   text WINDOW                  the window's text (WM_GETTEXT): a caption, a field's text, a
//                                drop-down list's chosen entry, a message box's static text
//   visible WINDOW / enabled WINDOW
//   state WINDOW                 "maximized", "minimized" or "normal"
//   focus WINDOW                 the control with the keyboard focus in WINDOW's thread
//   dropped LIST                 whether a drop-down list is open
//   end-session WINDOW           the system's notices that the session ends, as log-off sends
//                                them to every top-level window of WINDOW's process:
//                                WM_QUERYENDSESSION (answers whether all agreed), then
//                                WM_ENDSESSION
//   launch SHOW PATH             starts PATH with the show command SHOW in its start-up
//                                information, as a shortcut does; answers a process number
//   exit-code PROCESS WAIT_MS    the exit code of a process it launched, once it has ended
//   kill PROCESS                 ends a process it launched that is still running
//   resource PATH TYPE NAME HEX  replaces a resource of the executable PATH, in every language
//                                it is stored in, with the bytes HEX
//   gone WINDOW WAIT_MS          whether the window was destroyed or hidden within the wait
//   close WINDOW                 posts WM_CLOSE, as the close button does
//   send WINDOW MESSAGE WPARAM   sends a message with its numbers in decimal (the last word is
//        LPARAM                  the LPARAM), as another program or the system does; answers
//                                the result
//   pushed WINDOW                whether a button shows pressed (BM_GETSTATE)
//   foreground                   the foreground window (GetForegroundWindow)
//   usage WINDOW                 what the process of WINDOW holds: "PRIVATE WORKING_SET HANDLES
//                                GDI USER WINDOWS" (bytes, bytes, then counts; WINDOWS counts
//                                its top-level windows and their children)
//   click WINDOW                 posts BM_CLICK, for a button a real click cannot reach
//   quit
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kPollMs = 20;
// A command line longer than this is no command of the test's.
constexpr int kMaxLine = 4096;

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         wide.data(), static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length : 0);
  return wide;
}

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out + "\"";
}

// A JSON string as the test writes it: ASCII with \uXXXX escapes.
std::wstring ParseJson(const std::string& text) {
  std::wstring out;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() - 1) {
      const char kind = text[++i];
      if (kind == 'u' && i + 4 < text.size()) {
        out += static_cast<wchar_t>(std::strtoul(text.substr(i + 1, 4).c_str(), nullptr, 16));
        i += 4;
      } else if (kind == 'n') {
        out += L'\n';
      } else if (kind == 'r') {
        out += L'\r';
      } else {
        out += static_cast<wchar_t>(kind);
      }
    } else {
      out += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
  }
  return out;
}

std::wstring TextOf(HWND window) {
  // Sent with a bound: a program held by a blocking request must not hold the probe.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 255);
  return name;
}

std::string Rects(HWND window) {
  RECT outer{};
  RECT client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  char line[200];
  std::snprintf(line, sizeof(line), "%ld %ld %ld %ld %ld %ld %ld %ld", outer.left, outer.top,
                outer.right, outer.bottom, origin.x, origin.y, origin.x + client.right,
                origin.y + client.bottom);
  return line;
}

struct Search {
  std::wstring window_class;
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM state) {
  auto* search = reinterpret_cast<Search*>(state);
  if (!IsWindowVisible(window)) return TRUE;
  if (search->window_class != L"-" && ClassOf(window) != search->window_class) return TRUE;
  if (TextOf(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

struct ProcessWindows {
  DWORD process = 0;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM state) {
  auto* windows = reinterpret_cast<ProcessWindows*>(state);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == windows->process) windows->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CountWindow(HWND, LPARAM counted) {
  ++*reinterpret_cast<std::size_t*>(counted);
  return TRUE;
}

// The processes launched, by their number in this list.
std::vector<HANDLE>& Launched() {
  static std::vector<HANDLE> launched;
  return launched;
}

struct Children {
  std::wstring window_class;
  HWND parent = nullptr;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM state) {
  auto* children = reinterpret_cast<Children*>(state);
  if (GetParent(window) == children->parent && ClassOf(window) == children->window_class) {
    children->found.push_back(window);
  }
  return TRUE;
}

HWND Handle(const std::string& text) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(text.c_str(), nullptr, 10)));
}

std::string HandleText(HWND window) {
  return std::to_string(static_cast<long long>(reinterpret_cast<INT_PTR>(window)));
}

std::vector<std::string> Split(const std::string& line, std::size_t max_parts) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at < line.size() && parts.size() + 1 < max_parts) {
    const std::size_t space = line.find(' ', at);
    if (space == std::string::npos) break;
    parts.push_back(line.substr(at, space - at));
    at = space + 1;
  }
  if (at <= line.size()) parts.push_back(line.substr(at));
  return parts;
}

std::string Run(const std::string& line) {
  const std::vector<std::string> words = Split(line, 4);
  const std::string& command = words[0];
  if (command == "find" && words.size() == 4) {
    Search search{FromUtf8(words[1]), ParseJson(words[3])};
    const DWORD deadline = GetTickCount() + std::strtoul(words[2].c_str(), nullptr, 10);
    for (;;) {
      search.found = nullptr;
      EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr)
        return "ok " + HandleText(search.found) + " " + Rects(search.found);
      if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return "no";
      Sleep(kPollMs);
    }
  }
  if (command == "child" && words.size() == 4) {
    Children children{FromUtf8(words[2]), Handle(words[1]), {}};
    EnumChildWindows(children.parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
    const std::size_t index = std::strtoul(words[3].c_str(), nullptr, 10);
    if (index >= children.found.size()) return "no";
    return "ok " + HandleText(children.found[index]) + " " + Rects(children.found[index]);
  }
  if (command == "item" && words.size() == 3) {
    HWND item = GetDlgItem(Handle(words[1]), std::atoi(words[2].c_str()));
    return item != nullptr ? "ok " + HandleText(item) + " " + Rects(item) : "no";
  }
  if (command == "launch" && words.size() >= 3) {
    std::wstring path = FromUtf8(line.substr(line.find(' ', line.find(' ') + 1) + 1));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(std::atoi(words[1].c_str()));
    PROCESS_INFORMATION process{};
    std::wstring command_line = L"\"" + path + L"\"";
    if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
      return "no " + std::to_string(GetLastError());
    }
    CloseHandle(process.hThread);
    Launched().push_back(process.hProcess);
    return "ok " + std::to_string(Launched().size() - 1);
  }
  if (command == "exit-code" && words.size() == 3) {
    const std::size_t index = std::strtoul(words[1].c_str(), nullptr, 10);
    if (index >= Launched().size()) return "no";
    if (WaitForSingleObject(Launched()[index], std::strtoul(words[2].c_str(), nullptr, 10)) !=
        WAIT_OBJECT_0) {
      return "no";
    }
    DWORD code = 0;
    GetExitCodeProcess(Launched()[index], &code);
    return "ok " + std::to_string(code);
  }
  if (command == "resource") {
    const std::vector<std::string> parts = Split(line, 5);
    if (parts.size() != 5) return "no";
    std::string bytes;
    for (std::size_t i = 0; i + 1 < parts[4].size(); i += 2) {
      bytes += static_cast<char>(std::strtoul(parts[4].substr(i, 2).c_str(), nullptr, 16));
    }
    const std::wstring path = FromUtf8(parts[1]);
    const std::wstring type = FromUtf8(parts[2]);
    const std::wstring name = FromUtf8(parts[3]);
    // Every language the resource is stored in, so that no copy of it is left behind.
    std::vector<WORD> languages;
    if (HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
      EnumResourceLanguagesW(
          module, type.c_str(), name.c_str(),
          [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) -> BOOL {
            reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
            return TRUE;
          },
          reinterpret_cast<LONG_PTR>(&languages));
      FreeLibrary(module);
    }
    if (languages.empty()) return "no such resource";
    HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
    if (update == nullptr) return "no " + std::to_string(GetLastError());
    bool updated = true;
    for (WORD language : languages) {
      updated = UpdateResourceW(update, type.c_str(), name.c_str(), language, bytes.data(),
                                static_cast<DWORD>(bytes.size())) &&
                updated;
    }
    return EndUpdateResourceW(update, FALSE) && updated ? "ok"
                                                        : "no " + std::to_string(GetLastError());
  }
  if (command == "kill" && words.size() == 2) {
    const std::size_t index = std::strtoul(words[1].c_str(), nullptr, 10);
    if (index >= Launched().size()) return "no";
    TerminateProcess(Launched()[index], 1);
    return "ok";
  }
  if (command == "foreground") return "ok " + HandleText(GetForegroundWindow());
  if (words.size() < 2) return "no unknown command";
  HWND window = Handle(words[1]);
  if (command == "rect") return IsWindow(window) ? "ok " + Rects(window) : "no";
  if (command == "text") return "ok " + Json(TextOf(window));
  if (command == "visible") return IsWindowVisible(window) ? "ok" : "no";
  if (command == "enabled") return IsWindowEnabled(window) ? "ok" : "no";
  if (command == "gone" && words.size() == 3) {
    const DWORD deadline = GetTickCount() + std::strtoul(words[2].c_str(), nullptr, 10);
    while (IsWindow(window) && IsWindowVisible(window)) {
      if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return "no";
      Sleep(kPollMs);
    }
    return "ok";
  }
  if (command == "state") {
    if (IsZoomed(window)) return "ok maximized";
    return IsIconic(window) ? "ok minimized" : "ok normal";
  }
  if (command == "focus") {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) return "no";
    return "ok " + HandleText(thread.hwndFocus);
  }
  if (command == "dropped") {
    DWORD_PTR dropped = 0;
    SendMessageTimeoutW(window, CB_GETDROPPEDSTATE, 0, 0, SMTO_ABORTIFHUNG, 2000, &dropped);
    return dropped ? "ok" : "no";
  }
  if (command == "end-session") {
    ProcessWindows windows;
    GetWindowThreadProcessId(window, &windows.process);
    EnumWindows(&CollectProcessWindow, reinterpret_cast<LPARAM>(&windows));
    bool all_agree = true;
    for (HWND each : windows.found) {
      DWORD_PTR may_end = 0;
      if (!SendMessageTimeoutW(each, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                               5000, &may_end) ||
          may_end == 0) {
        all_agree = false;
      }
    }
    for (HWND each : windows.found) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(each, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                          &ignored);
    }
    return all_agree ? "ok 1" : "ok 0";
  }
  if (command == "send") {
    const std::vector<std::string> parts = Split(line, 5);
    if (parts.size() != 5) return "no";
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, std::strtoul(parts[2].c_str(), nullptr, 10),
                             static_cast<WPARAM>(std::strtoull(parts[3].c_str(), nullptr, 10)),
                             static_cast<LPARAM>(std::strtoll(parts[4].c_str(), nullptr, 10)),
                             SMTO_ABORTIFHUNG, 5000, &result)) {
      return "no";
    }
    return "ok " + std::to_string(static_cast<long long>(result));
  }
  if (command == "pushed") {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(window, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return (state & BST_PUSHED) != 0 ? "ok" : "no";
  }
  if (command == "usage") {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (process == nullptr) return "no " + std::to_string(GetLastError());
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    DWORD handles = 0;
    const bool read = GetProcessMemoryInfo(process, &memory, sizeof(memory)) &&
                      GetProcessHandleCount(process, &handles);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    CloseHandle(process);
    if (!read) return "no";
    ProcessWindows windows;
    windows.process = id;
    EnumWindows(&CollectProcessWindow, reinterpret_cast<LPARAM>(&windows));
    std::size_t count = windows.found.size();
    for (HWND each : windows.found) {
      EnumChildWindows(each, &CountWindow, reinterpret_cast<LPARAM>(&count));
    }
    return "ok " + std::to_string(memory.PagefileUsage) + " " +
           std::to_string(memory.WorkingSetSize) + " " + std::to_string(handles) + " " +
           std::to_string(gdi) + " " + std::to_string(user) + " " + std::to_string(count);
  }
  if (command == "close") return PostMessageW(window, WM_CLOSE, 0, 0) ? "ok" : "no";
  if (command == "click") return PostMessageW(window, BM_CLICK, 0, 0) ? "ok" : "no";
  return "no unknown command";
}

}  // namespace

int main() {
  char buffer[kMaxLine];
  while (std::fgets(buffer, sizeof(buffer), stdin) != nullptr) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line == "quit") break;
    if (line.empty()) continue;
    std::printf("%s\n", Run(line).c_str());
    std::fflush(stdout);
  }
  return 0;
}
