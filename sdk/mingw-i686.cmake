# CMake toolchain file for building plug-ins with MinGW-w64 for 32-bit Windows
# (i686). Use it from this folder:
#   cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=mingw-i686.cmake
# The compilers are found by their usual names (i686-w64-mingw32-gcc, -g++);
# where they are named otherwise, give their prefix with -DMINGW_PREFIX=...
# (the program is 32-bit: a 64-bit compiler makes DLLs it cannot load).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
if(NOT MINGW_PREFIX)
  set(MINGW_PREFIX i686-w64-mingw32)
endif()
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
