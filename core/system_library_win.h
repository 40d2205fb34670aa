// Loading a library of the system (Windows only): from the system folder, never from the
// program's folder, which the clerk can write to.
#pragma once

#include <windows.h>

namespace queue {

// A library of the system (`name` without a folder), loaded from the system folder only: a bare
// name would search the program's folder first. Null when it is missing (an older system).
// SystemLibraryByPath is the way taken where the system cannot be asked for its folder alone:
// the full path.
HMODULE SystemLibrary(const wchar_t* name);
HMODULE SystemLibraryByPath(const wchar_t* name);

}  // namespace queue
