# Cross-compiling for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64). The posix
# thread flavour of the compiler is taken because it has std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PATCHFERRY_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${PATCHFERRY_MINGW_PREFIX}-gcc-posix ${PATCHFERRY_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${PATCHFERRY_MINGW_PREFIX}-g++-posix ${PATCHFERRY_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${PATCHFERRY_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PATCHFERRY_MINGW_PREFIX})
# Qt for Windows is not in the MinGW tree: the folders of CMAKE_PREFIX_PATH (a Qt built for
# Windows) are searched as roots of their own.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No linker flags for every program: those without Qt link the GCC, C++ and thread runtimes in
# (-static on patchferry-cli and the unit tests), so they run without the MinGW runtime DLLs; Qt
# programs use the runtime DLLs that Qt's own DLLs use, one C++ runtime in the process, not two.

# Tests of the cross build run under Wine when it is there (Debian: wine64).
find_program(PATCHFERRY_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CACHE)
if(PATCHFERRY_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PATCHFERRY_WINE64})
endif()
