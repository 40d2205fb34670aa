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
//   gone WINDOW WAIT_MS          whether the window was destroyed or hidden within the wait
//   close WINDOW                 posts WM_CLOSE, as the close button does
//   click WINDOW                 posts BM_CLICK, for a button a real click cannot reach
//   quit
#include <windows.h>

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
