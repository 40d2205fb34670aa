// Loading the shell, COM and the accessibility libraries at their first use.
#include "win32/shell/libraries_on_use.h"

#include <objbase.h>

#include <string>

#include "core/failure.h"
#include "core/system_library_win.h"

namespace win32 {
namespace {

using CoInitializeExFunction = HRESULT(WINAPI*)(void*, DWORD);
using CoUninitializeFunction = void(WINAPI*)();
using ShellExecuteWFunction = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*,
                                                 const wchar_t*, const wchar_t*, int);
using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);
using SysAllocStringLenFunction = BSTR(WINAPI*)(const OLECHAR*, UINT);

// The function `name` of the system's `library`, loaded from the system folder; the library
// stays loaded for the run. A missing one is a Failure, looked for again at the next call.
template <typename Function>
Function Required(const wchar_t* library, const char* name) {
  HMODULE module = queue::SystemLibrary(library);
  FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
  if (found == nullptr) {
    std::string library_name;
    for (const wchar_t* c = library; *c != L'\0'; ++c) library_name += static_cast<char>(*c);
    throw queue::Failure(queue::CoreFailure::kGeneric,
                         "The system's " + library_name + " cannot be loaded");
  }
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// Each function is looked up once it is found; until then every call looks again.
template <typename Function>
Function Cached(Function& cache, const wchar_t* library, const char* name) {
  if (cache == nullptr) cache = Required<Function>(library, name);
  return cache;
}

bool& InApartment() {
  static bool entered = false;
  return entered;
}

}  // namespace

void EnterComApartment() {
  if (InApartment()) return;
  static CoInitializeExFunction initialise = nullptr;
  const HRESULT result = Cached(initialise, L"ole32.dll", "CoInitializeEx")(
      nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // S_FALSE: the thread was in the apartment already; it is left as often as entered.
  if (FAILED(result)) {
    throw queue::Failure(queue::CoreFailure::kGeneric, "COM cannot be initialised");
  }
  InApartment() = true;
}

void LeaveComApartment() noexcept {
  if (!InApartment()) return;
  InApartment() = false;
  // ole32.dll is loaded: the apartment was entered through it.
  HMODULE ole = GetModuleHandleW(L"ole32.dll");
  const auto leave = ole != nullptr
                         ? reinterpret_cast<CoUninitializeFunction>(
                               reinterpret_cast<void*>(GetProcAddress(ole, "CoUninitialize")))
                         : nullptr;
  if (leave != nullptr) leave();
}

void ShellOpen(HWND owner, const std::wstring& address) {
  static ShellExecuteWFunction execute = nullptr;
  const ShellExecuteWFunction open = Cached(execute, L"shell32.dll", "ShellExecuteW");
  EnterComApartment();
  static_cast<void>(open(owner, L"open", address.c_str(), nullptr, nullptr, SW_SHOWDEFAULT));
}

HRESULT StandardAccessibleObject(HWND window, LONG object_id, REFIID iid, void** object) {
  static CreateStdAccessibleObjectFunction create = nullptr;
  return Cached(create, L"oleacc.dll", "CreateStdAccessibleObject")(window, object_id, iid, object);
}

LRESULT ResultFromObject(REFIID iid, WPARAM flags, IUnknown* object) {
  static LresultFromObjectFunction result = nullptr;
  return Cached(result, L"oleacc.dll", "LresultFromObject")(iid, flags, object);
}

BSTR AllocateBstr(const wchar_t* text, UINT length) {
  static SysAllocStringLenFunction allocate = nullptr;
  return Cached(allocate, L"oleaut32.dll", "SysAllocStringLen")(text, length);
}

}  // namespace win32
