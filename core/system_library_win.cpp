// Loading a library of the system from the system folder.
#include "core/system_library_win.h"

#include <string>

namespace queue {
namespace {

// LoadLibraryExW's flag that searches the system folder alone.
constexpr DWORD kSearchSystemFolder = 0x00000800;

}  // namespace

// The flag exists from Windows 8 on, and on Vista and 7 with KB2533623, which brought
// AddDllDirectory with it; without that update the flag is refused, so the full path is given
// instead.
HMODULE SystemLibrary(const wchar_t* name) {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel && GetProcAddress(kernel, "AddDllDirectory"))
    return LoadLibraryExW(name, nullptr, kSearchSystemFolder);
  return SystemLibraryByPath(name);
}

HMODULE SystemLibraryByPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  // Its own dependencies are looked for beside it, in the system folder, too.
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace queue
