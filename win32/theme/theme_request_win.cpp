// Discovering the program's theme resources and making one the active theme.
#include "win32/theme/theme_request_win.h"

#include <exception>

#include "theme/container/theme_failure.h"
#include "win32/theme/callback_guard.h"

namespace win32theme {
namespace {

std::u16string ResourceName(LPCWSTR name) {
  if (IS_INTRESOURCE(name))
    return u"#" + std::u16string(reinterpret_cast<const char16_t*>(
                      std::to_wstring(reinterpret_cast<ULONG_PTR>(name)).c_str()));
  return reinterpret_cast<const char16_t*>(name);
}

// The names found so far, and a failure to keep one (out of memory), which stops the listing and
// is thrown again once the system's listing has returned.
struct Collected {
  std::vector<std::u16string> names;
  std::exception_ptr failure;
};

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR collected) {
  auto& into = *reinterpret_cast<Collected*>(collected);
  try {
    into.names.push_back(ResourceName(name));
    return TRUE;
  } catch (...) {
    into.failure = std::current_exception();
    return FALSE;
  }
}

std::string ReadResource(HMODULE module, const std::u16string& name) {
  const auto fail = [] {
    throw queue::Failure(theme::ThemeFailure::kLoad, "Theme resource unreadable");
  };
  HRSRC found = FindResourceW(module, reinterpret_cast<LPCWSTR>(name.c_str()), kThemeResourceType);
  if (!found) fail();
  const DWORD size = SizeofResource(module, found);
  // Checked before it is copied, so an oversized resource is never held twice.
  if (size > theme::kMaxContainerBytes)
    throw queue::Failure(theme::ThemeFailure::kLoad, "Theme resource too large");
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) fail();
  return std::string(static_cast<const char*>(bytes), size);
}

// Gives the one button of the box being opened on this thread its own words.
HHOOK button_hook = nullptr;

BOOL CALLBACK RenameButton(HWND child, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(child, name, 16);
  // The box is not shown yet: the button's own style says whether it is the one in use.
  if (lstrcmpiW(name, L"Button") == 0 && (GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE))
    SetWindowTextW(child, reinterpret_cast<LPCWSTR>(theme::kThemeNotFoundButton.data()));
  return TRUE;
}

LRESULT CALLBACK OnBoxEvent(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    // Nothing here throws: the system's calls only, and the button's text is a constant.
    EnumChildWindows(reinterpret_cast<HWND>(wparam), RenameButton, 0);
    // Once: a later box on this thread keeps its own buttons.
    HHOOK done = button_hook;
    button_hook = nullptr;
    LRESULT result = CallNextHookEx(done, code, wparam, lparam);
    UnhookWindowsHookEx(done);
    return result;
  }
  return CallNextHookEx(button_hook, code, wparam, lparam);
}

}  // namespace

std::vector<theme::ThemeResource> ThemeResourcesOf(HMODULE module) {
  Collected collected;
  // Fails when the module has no resource of the type: then there are none.
  EnumResourceNamesW(module, kThemeResourceType, CollectName,
                     reinterpret_cast<LONG_PTR>(&collected));
  if (collected.failure) std::rethrow_exception(collected.failure);
  std::vector<theme::ThemeResource> resources;
  for (const auto& name : collected.names)
    resources.push_back({name, [module, name] { return ReadResource(module, name); }});
  return resources;
}

bool SameThemeName(std::u16string_view a, std::u16string_view b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, reinterpret_cast<LPCWSTR>(a.data()),
                        static_cast<int>(a.size()), reinterpret_cast<LPCWSTR>(b.data()),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

ThemeRequest::ThemeRequest(HMODULE module) : module_(module) {}

bool ThemeRequest::Request(std::u16string_view name, bool show_error) {
  if (!discovered_) {
    // Marked first: a discovery that failed is not repeated by a later request.
    discovered_ = true;
    theme::DiscoverThemes(ThemeResourcesOf(module_), SameThemeName,
                          [this](std::u16string_view, const theme::ThemePackage& package) {
                            themes_.push_back(std::make_unique<WinTheme>(package));
                          });
  }
  for (const auto& theme : themes_) {
    if (SameThemeName(theme->name(), name)) {
      SetActiveTheme(theme.get());
      return true;
    }
  }
  if (show_error) ShowThemeNotFound(name);
  return false;
}

void ShowThemeNotFound(std::u16string_view name) {
  const std::u16string text = theme::ThemeNotFoundText(name);
  button_hook = SetWindowsHookExW(WH_CBT, OnBoxEvent, nullptr, GetCurrentThreadId());
  HWND owner = GetActiveWindow();
  MessageBoxW(owner, reinterpret_cast<LPCWSTR>(text.c_str()),
              reinterpret_cast<LPCWSTR>(theme::kThemeNotFoundTitle.data()),
              MB_OK | MB_ICONERROR | (owner ? 0 : MB_TASKMODAL));
  if (button_hook) UnhookWindowsHookEx(button_hook);  // the box never opened
  button_hook = nullptr;
}

bool RequestTheme(std::u16string_view name, bool show_error) {
  static ThemeRequest request;
  return request.Request(name, show_error);
}

}  // namespace win32theme
