// The system's libraries the program needs only when the clerk or a screen reader asks for
// something now and then: the shell (the About window's links), COM (which the shell's verbs
// and the accessible objects need), the accessibility library and OLE automation (a screen
// reader's WM_GETOBJECT). Imported, they and what they load in turn (RPC, the COM base, the
// shell's helpers) were loaded before the first window and cost tens of milliseconds and
// several MiB at every start; here each is loaded at its first call, from the system folder
// only, and kept for the run. Called on the window thread only.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace win32 {

// Enters the thread's single-threaded COM apartment at the first call (as the shell's
// documentation asks of a caller of ShellExecute: apartment-threaded, without OLE1 DDE);
// later calls do nothing. Throws a Failure when ole32.dll or the apartment cannot be had (a
// later call tries again).
void EnterComApartment();
// Leaves the apartment if it was entered; at the end of the run.
void LeaveComApartment() noexcept;

// The shell's "open" of `address` (a web or mail address), in the COM apartment. Whether a
// program took it is the shell's affair. Throws a Failure when the shell cannot be loaded.
void ShellOpen(HWND owner, const std::wstring& address);

// oleacc.dll's CreateStdAccessibleObject and LresultFromObject, and oleaut32.dll's
// SysAllocStringLen (a screen reader frees the text with that library's SysFreeString). Each
// throws a Failure when its library or function cannot be loaded.
HRESULT StandardAccessibleObject(HWND window, LONG object_id, REFIID iid, void** object);
LRESULT ResultFromObject(REFIID iid, WPARAM flags, IUnknown* object);
BSTR AllocateBstr(const wchar_t* text, UINT length);

}  // namespace win32
