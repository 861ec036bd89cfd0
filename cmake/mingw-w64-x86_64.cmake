# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads). The runtime is linked
# statically, so every program is one .exe with no DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAMSEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAMSEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMSEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMSEL_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAMSEL_MINGW_PREFIX})
# Libraries Debian has no MinGW build of (libsodium) are cross-built into a prefix of their own,
# found by pkg-config there alone.
if(TAMSEL_MINGW_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${TAMSEL_MINGW_DEPS})
  set(ENV{PKG_CONFIG_LIBDIR} ${TAMSEL_MINGW_DEPS}/lib/pkgconfig)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
