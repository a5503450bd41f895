#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the project's own Wine prefix (WINEPREFIX when
# set, else build-windows/wine-prefix, made on first use), without Wine's diagnostics. ctest runs the
# Windows tests through it.
#
#   scripts/wine.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build-windows/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}  # no offer to install .NET or Gecko
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver --wait || true
fi
exec wine "$@"
