// The system's security interface (SSPI, secur32.dll), loaded at the first https connection
// instead of with the program: a desk whose queue server speaks plain HTTP never loads it, and
// every start is spared its cost (it brings the system's authentication packages with it).
#pragma once

#include <windows.h>
#define SECURITY_WIN32
#include <security.h>

namespace queue {

// The interface's function table, from the system folder's secur32.dll, loaded at the first call
// and kept for the process. Throws Failure of kind ssl-load when the library or its table cannot
// be had; a later call tries again.
const SecurityFunctionTableW& SecurityInterface();

}  // namespace queue
