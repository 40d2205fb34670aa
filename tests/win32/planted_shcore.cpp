// A library named like the system's scaling library, put beside a test program as someone who
// can write the program's folder could put one: its monitor density is an impossible 7, so a
// program that loaded it instead of the system's would tell.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI GetDpiForMonitor(HMONITOR, int, UINT* x, UINT* y) {
  *x = 7;
  *y = 7;
  return S_OK;
}
