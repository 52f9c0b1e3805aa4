# Cross-compiles the Windows build (64-bit) with mingw-w64 on a Linux host.
#
# The "-posix" compilers are the mingw-w64 variant whose C++ library has std::thread and
# std::mutex; the "-win32" variant lacks them and cannot build the game's threads.
#
# Debian: apt-get install g++-mingw-w64-x86-64-posix (and wine to run the tests).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BRICKSTORM_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${BRICKSTORM_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRICKSTORM_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BRICKSTORM_MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come from the target's tree only: the host's
# GoogleTest (built for Linux) must never be picked up. Programs are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${BRICKSTORM_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows executables through wine when it is installed. Without it the
# build still works; only running the tests needs it.
find_program(BRICKSTORM_WINE NAMES wine wine64)
if(BRICKSTORM_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${BRICKSTORM_WINE})
endif()
