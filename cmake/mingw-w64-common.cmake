# What both MinGW-w64 tool-chain files share; each sets CMAKE_SYSTEM_PROCESSOR and MINGW_PREFIX
# first. The posix thread model, which std::thread needs; everything is linked statically, so
# the programs and tests need no compiler run-time libraries beside them.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Subsystem and OS version 6.0 (Vista) in every program's header, and in the MSI packages' DLL:
# the oldest Windows the programs are for, and an older one refuses them with its own message
# instead of failing on a missing import.
set(QUEUE_VISTA_LINKER_FLAGS
    "-Wl,--major-subsystem-version,6,--minor-subsystem-version,0,--major-os-version,6,--minor-os-version,0")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static ${QUEUE_VISTA_LINKER_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${QUEUE_VISTA_LINKER_FLAGS}")

# Test programs (and GoogleTest's discovery) run through Wine, in a prefix of the build tree's
# own so that no user's Wine set-up is touched, with Wine's debug chatter off.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all wine)
