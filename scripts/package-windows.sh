#!/usr/bin/env bash
# Makes the Windows installer build-windows/kvteso-<version>-setup.exe with NSIS (Debian's makensis,
# packaging/windows/kvteso.nsi): kvteso.exe of the Windows build, brought up to date first (the whole
# build made with scripts/build-windows.sh --no-tests when there is none yet), stripped of its symbols.
# The version is the project's. The same program gives the same installer, byte for byte.
#
#   scripts/package-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build="build-windows"
if [ -f "$build/build.ninja" ]; then
  cmake --build "$build" --target kvteso >/dev/null
else
  scripts/build-windows.sh --no-tests
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
IFS=. read -r -a numbers <<<"$version.0.0.0"
version4="${numbers[0]}.${numbers[1]}.${numbers[2]}.${numbers[3]}"

# NSIS keeps traces of the paths it was given: the files go in under fixed names, from a folder of
# their own, so that where the build lies does not change the installer.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# strip stamps the program with the current time unless SOURCE_DATE_EPOCH says otherwise: 0, as the
# linker leaves it.
SOURCE_DATE_EPOCH=0 x86_64-w64-mingw32-strip --strip-all -o "$stage/kvteso.exe" "$build/src/program/kvteso.exe"
cp packaging/icons/kvteso.ico "$stage/"
setup="$build/kvteso-$version-setup.exe"
(cd "$stage" && makensis -V2 -NOCD -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$version4" \
  -DPROGRAM=kvteso.exe -DICON=kvteso.ico -DOUTFILE="${setup##*/}" "$OLDPWD/packaging/windows/kvteso.nsi")
mv "$stage/${setup##*/}" "$setup"
echo "Windows installer: $setup ($(stat -c %s "$setup") bytes)"
