# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads variant, which C++20
# threads need). Used by scripts/build-windows.sh; the tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KV_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KV_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KV_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KV_MINGW_TRIPLET}-windres)

# Libraries and headers come from the MinGW sysroot and the prefix of our own cross-built libraries
# (KV_WINDOWS_DEPS, filled by scripts/build-windows-deps.sh); programs from the host.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KV_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${KV_MINGW_TRIPLET} ${KV_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Statically linked: the programs need only the DLLs every Windows has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Programs and tests of the build run under Wine, in the project's prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
set(ZLIB_USE_STATIC_LIBS ON)  # zlib inside the programs, not zlib1.dll
