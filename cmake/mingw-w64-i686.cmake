# Cross build for 32-bit Windows (the Vista and 7 desks that are 32-bit) with MinGW-w64. Its
# programs need a 32-bit Wine to run here.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
