// The theme request over the program's resources.
#include "win32/theme_request_win.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/text.h"
#include "theme/container/theme_container.h"
#include "theme/container/theme_failure.h"
#include "theme/container/theme_messages.h"
#include "win32/wide_text.h"

namespace win32 {
namespace {

constexpr wchar_t kResourceType[] = L"APPSTYLE";

struct Discovered {
  bool done = false;
  std::vector<std::u16string> names;  // the themes' names from their headers
};

Discovered& Themes() {
  static Discovered themes;
  return themes;
}

std::u16string ResourceName(LPCWSTR name) {
  if (IS_INTRESOURCE(name))
    return queue::Widen("#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)));
  return FromWide(name);
}

std::string_view ResourceBytes(HMODULE module, LPCWSTR name) {
  HRSRC found = FindResourceW(module, name, kResourceType);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    throw queue::Failure(theme::ThemeFailure::kLoad, "Theme resource unreadable");
  }
  const DWORD size = SizeofResource(module, found);
  if (size > theme::kMaxContainerBytes) {
    throw queue::Failure(theme::ThemeFailure::kLoad, "Theme resource too large");
  }
  return {static_cast<const char*>(bytes), size};
}

struct Enumeration {
  std::vector<std::u16string> failed;
  std::shared_ptr<const queue::Failure> last_failure;
};

BOOL CALLBACK RegisterResource(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR state) {
  auto* enumeration = reinterpret_cast<Enumeration*>(state);
  try {
    const theme::ThemePackage package = theme::DecodeThemeContainer(ResourceBytes(module, name));
    const std::u16string theme_name = queue::Utf8ToUtf16(package.name);
    for (const std::u16string& known : Themes().names) {
      if (queue::EqualsIgnoreCase(known, theme_name)) {
        throw queue::Failure(theme::ThemeFailure::kLoad,
                             u"Theme " + theme_name + u" registered twice");
      }
    }
    Themes().names.push_back(theme_name);
  } catch (const queue::Failure& failure) {
    enumeration->failed.push_back(ResourceName(name));
    enumeration->last_failure = std::make_shared<queue::Failure>(failure);
  }
  return TRUE;  // a callback must not throw through the system: failures are kept until the end
}

void Discover() {
  Themes().done = true;
  Enumeration enumeration;
  EnumResourceNamesW(GetModuleHandleW(nullptr), kResourceType, &RegisterResource,
                     reinterpret_cast<LONG_PTR>(&enumeration));
  theme::ThrowIfResourcesFailed(enumeration.failed, enumeration.last_failure);
}

// The box's one button says "&Close": it is renamed when the box activates.
HHOOK& CloseButtonHook() {
  static HHOOK hook = nullptr;
  return hook;
}

LRESULT CALLBACK RenameButton(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    SetDlgItemTextW(reinterpret_cast<HWND>(wparam), IDOK, L"&Close");
  }
  return CallNextHookEx(CloseButtonHook(), code, wparam, lparam);
}

void ShowNotFound(std::u16string_view name) {
  CloseButtonHook() = SetWindowsHookExW(WH_CBT, &RenameButton, nullptr, GetCurrentThreadId());
  MessageBoxW(GetActiveWindow(), WideString(theme::ThemeNotFoundText(name)).c_str(), L"Error",
              MB_OK | MB_ICONERROR);
  if (CloseButtonHook() != nullptr) UnhookWindowsHookEx(CloseButtonHook());
  CloseButtonHook() = nullptr;
}

}  // namespace

bool RequestTheme(std::u16string_view name, bool show_error) {
  if (!Themes().done) Discover();
  for (const std::u16string& known : Themes().names) {
    if (queue::EqualsIgnoreCase(known, name)) return true;
  }
  if (show_error) ShowNotFound(name);
  return false;
}

}  // namespace win32
