#!/usr/bin/env bash
# Cross-builds the Windows programs with Debian's MinGW-w64 into build-windows/: kvteso.exe (the batch
# run), kvdemo.exe and quillpdf-specimen.exe, statically linked, and the tests that ctest runs through
# Wine (`ctest --test-dir build-windows`). The libraries Debian lacks for MinGW are cross-built first
# from Debian's sources (scripts/build-windows-deps.sh), once.
#
#   scripts/build-windows.sh [--no-tests]
set -euo pipefail
cd "$(dirname "$0")/.."
tests=ON
[ "${1:-}" = "--no-tests" ] && tests=OFF

scripts/build-windows-deps.sh build-windows/deps
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# -O2 as the Linux build (GCC 12 at -O3 warns wrongly about string copies).
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKV_WINDOWS_DEPS="$PWD/build-windows/deps" \
  -DKV_BUILD_TESTS=$tests -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "${launcher[@]}" >/dev/null
cmake --build build-windows -j"$(nproc)"
cp build-windows/src/program/kvteso.exe build-windows/tools/kvdemo.exe build-windows/tools/quillpdf-specimen.exe \
  build-windows/
echo "Windows programs in build-windows/: kvteso.exe kvdemo.exe quillpdf-specimen.exe"
