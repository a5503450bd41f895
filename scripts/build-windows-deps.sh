#!/usr/bin/env bash
# Cross-builds, for 64-bit Windows with Debian's MinGW-w64 toolchain (cmake/mingw-w64-x86_64.cmake),
# the libraries Debian does not ship for MinGW, from Debian's own sources, and installs them as
# static libraries into one prefix:
#   - libxlsxwriter, from Debian's source package (apt-get source libxlsxwriter);
#   - GoogleTest and GoogleMock, from the sources Debian's googletest package puts in /usr/src/googletest.
# zlib comes from Debian's libz-mingw-w64-dev. A program linked statically against these needs no
# DLL but Windows' own.
#
#   scripts/build-windows-deps.sh [PREFIX]      (default: build-windows/deps, from the repository root)
#
# The sources are unpacked and built beside the prefix, in PREFIX-src, and reused by later runs. A
# stamp in the prefix names what was built; when it still matches, the script stops at once.
# A CMake project configured with the toolchain file and -DKV_WINDOWS_DEPS=PREFIX finds the libraries
# with find_package(GTest CONFIG) and find_path(... xlsxwriter.h) / find_library(... xlsxwriter).
set -euo pipefail
SELF=$(realpath "$0")
cd "$(dirname "$SELF")/.."
. scripts/lib/packages.sh
export DEBIAN_FRONTEND=noninteractive

ROOT=$PWD
PREFIX=$(realpath -m "${1:-build-windows/deps}")
SRC="$PREFIX-src"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
TRIPLET=x86_64-w64-mingw32
SYSROOT=/usr/$TRIPLET
GTEST_SOURCE=/usr/src/googletest
STAMP="$PREFIX/.build-windows-deps.stamp"

# The newest libxlsxwriter source package apt knows of (the lists need a deb-src entry); empty if none.
xlsxwriter_source_version() {
  local best="" v
  for v in $(apt-cache showsrc --only-source libxlsxwriter 2>/dev/null | awk '/^Version:/ { print $2 }'); do
    if [ -z "$best" ] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
  done
  echo "$best"
}

XLSX_VERSION=$(xlsxwriter_source_version)
if [ -z "$XLSX_VERSION" ]; then
  # The source lists may not have been fetched yet on a fresh machine, or have no deb-src entry.
  ensure_debian_sources
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  XLSX_VERSION=$(xlsxwriter_source_version)
fi
[ -n "$XLSX_VERSION" ] || { echo "build-windows-deps.sh: apt knows no source package libxlsxwriter (is there a deb-src entry?)" >&2; exit 1; }
GTEST_VERSION=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || true)
COMPILER_VERSION=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix 2>/dev/null || true)
# A change to this script or to the toolchain file rebuilds everything too.
RECIPE=$(cat "$SELF" "$TOOLCHAIN" | sha256sum | cut -d' ' -f1)

stamp_text() {
  echo "libxlsxwriter $XLSX_VERSION"
  echo "googletest $GTEST_VERSION"
  echo "g++-mingw-w64-x86-64-posix $COMPILER_VERSION"
  echo "recipe $RECIPE"
}
if [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$(stamp_text)" ]; then
  echo "Windows libraries already built in $PREFIX (libxlsxwriter $XLSX_VERSION, googletest $GTEST_VERSION)."
  exit 0
fi

# The cross compilers, MinGW's zlib, GoogleTest's sources, and the tools (apt-get source needs dpkg-dev).
install_missing dpkg-dev cmake ninja-build binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64-posix \
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest
GTEST_VERSION=$(dpkg-query -W -f='${Version}' googletest)
COMPILER_VERSION=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)

# Runs a command with its output in a log file, shown only when the command fails.
run_logged() {
  local log=$1; shift
  if ! "$@" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "build-windows-deps.sh: failed: $* (full log: $log)" >&2
    exit 1
  fi
}

# Configures (with the toolchain file, static, Release), builds and installs one CMake project.
cmake_install() {
  local name=$1 source=$2; shift 2
  local build="$SRC/$name-build"
  rm -rf "$build"
  echo "Building $name"
  run_logged "$SRC/$name-configure.log" cmake -S "$source" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DKV_WINDOWS_DEPS="$PREFIX" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include \
    "$@"
  run_logged "$SRC/$name-build.log" cmake --build "$build" -j"$(nproc)"
  run_logged "$SRC/$name-install.log" cmake --install "$build"
}

# A fresh prefix: nothing of an earlier build is left behind.
rm -rf "$PREFIX"
mkdir -p "$PREFIX" "$SRC"

# --- libxlsxwriter ----------------------------------------------------------------------------------
# Debian's source package, unpacked once into $SRC and reused while its version stays the same.
XLSX_UPSTREAM=${XLSX_VERSION#*:}
XLSX_UPSTREAM=${XLSX_UPSTREAM%-*}
XLSX_DIR="$SRC/libxlsxwriter-$XLSX_UPSTREAM"
if [ ! -f "$XLSX_DIR/debian/changelog" ] ||
   [ "$(dpkg-parsechangelog -l "$XLSX_DIR/debian/changelog" -S Version)" != "$XLSX_VERSION" ]; then
  echo "Fetching Debian's source package libxlsxwriter $XLSX_VERSION"
  rm -rf "$XLSX_DIR"
  (cd "$SRC" && run_logged "$SRC/libxlsxwriter-source.log" apt-get source -q "libxlsxwriter=$XLSX_VERSION")
fi
# Debian's own build links the system's minizip and OpenSSL's MD5, neither of which Debian has for
# MinGW: here the copies of minizip and MD5 inside the same source package are compiled in. Temporary
# files come from the bundled tmpfileplus, as in Debian's build (on Windows it uses %TMP% or %TEMP%,
# where tmpfile() would try the root of C:). zlib is MinGW's static one, which the program links too.
cmake_install libxlsxwriter "$XLSX_DIR" \
  -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
  -DUSE_SYSTEM_MINIZIP=OFF -DUSE_OPENSSL_MD5=OFF -DUSE_STANDARD_TMPFILE=OFF \
  -DZLIB_INCLUDE_DIR="$SYSROOT/include" -DZLIB_LIBRARY="$SYSROOT/lib/libz.a"
# Its pkg-config file takes the library's ABI number (4) for its version: give it the real one.
sed -i "s/^Version: .*/Version: $XLSX_UPSTREAM/" "$PREFIX/lib/pkgconfig/xlsxwriter.pc"

# --- GoogleTest ---------------------------------------------------------------------------------------
# Debian's googletest sources, built as gtest, gtest_main, gmock and gmock_main with their CMake
# package files (GTest::gtest, GTest::gmock, ...). On MinGW GoogleTest leaves pthreads aside whatever
# gtest_disable_pthreads says, and uses Windows' own threads and locks (GTEST_HAS_PTHREAD=0, which
# its package files pass on to the tests).
[ -f "$GTEST_SOURCE/CMakeLists.txt" ] || { echo "build-windows-deps.sh: $GTEST_SOURCE is missing (package googletest)" >&2; exit 1; }
cmake_install googletest "$GTEST_SOURCE" \
  -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF -Dgtest_force_shared_crt=OFF

# --- Check ----------------------------------------------------------------------------------------------
# A small project finds both libraries the way the project's Windows build does and links a program
# with each; the programs must import no DLL but Windows' own.
CHECK="$SRC/check"
rm -rf "$CHECK" "$SRC/check-build"
mkdir -p "$CHECK"
cat >"$CHECK/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.20)
project(deps_check C CXX)
find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h REQUIRED)
find_library(XLSXWRITER_LIBRARY xlsxwriter REQUIRED)
find_package(ZLIB REQUIRED)
find_package(GTest CONFIG REQUIRED)
add_executable(xlsx_check xlsx_check.c)
target_include_directories(xlsx_check PRIVATE ${XLSXWRITER_INCLUDE_DIR})
target_link_libraries(xlsx_check PRIVATE ${XLSXWRITER_LIBRARY} ZLIB::ZLIB)
add_executable(gtest_check gtest_check.cpp)
target_link_libraries(gtest_check PRIVATE GTest::gmock GTest::gtest_main)
EOF
cat >"$CHECK/xlsx_check.c" <<'EOF'
#include <xlsxwriter.h>
int main(int argc, char **argv) {
    lxw_workbook *workbook = workbook_new(argc > 1 ? argv[1] : "check.xlsx");
    lxw_worksheet *worksheet = workbook_add_worksheet(workbook, NULL);
    worksheet_write_number(worksheet, 0, 0, 1234.5, NULL);
    worksheet_write_string(worksheet, 0, 1, "check", NULL);
    return workbook_close(workbook) == LXW_NO_ERROR ? 0 : 1;
}
EOF
cat >"$CHECK/gtest_check.cpp" <<'EOF'
#include <gmock/gmock.h>
#include <gtest/gtest.h>
TEST(Check, Adds) { EXPECT_THAT(1 + 1, ::testing::Eq(2)); }
EOF
echo "Checking the installed libraries"
# MinGW's static zlib: with its import library the program would need zlib1.dll.
run_logged "$SRC/check-configure.log" cmake -S "$CHECK" -B "$SRC/check-build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DKV_WINDOWS_DEPS="$PREFIX" -DCMAKE_BUILD_TYPE=Release \
  -DZLIB_USE_STATIC_LIBS=ON
run_logged "$SRC/check-build.log" cmake --build "$SRC/check-build" -j"$(nproc)"
for exe in xlsx_check gtest_check; do
  dlls=$("$TRIPLET-objdump" -p "$SRC/check-build/$exe.exe" | awk '/DLL Name:/ { print tolower($3) }')
  for dll in $dlls; do
    case $dll in
      kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll | user32.dll | advapi32.dll | \
      shell32.dll | ws2_32.dll | ole32.dll | bcrypt.dll | ntdll.dll) ;;
      *) echo "build-windows-deps.sh: $exe.exe needs $dll, which Windows does not have" >&2; exit 1 ;;
    esac
  done
done

# Written last: a run stopped halfway leaves no stamp, and the next run starts over.
stamp_text >"$STAMP"
echo "Windows libraries installed in $PREFIX:"
echo "  libxlsxwriter $XLSX_VERSION: $PREFIX/include/xlsxwriter.h, $PREFIX/lib/libxlsxwriter.a"
echo "  googletest $GTEST_VERSION: $PREFIX/lib/libgtest*.a, libgmock*.a, $PREFIX/lib/cmake/GTest"
echo "  sources and build folders: $SRC"
