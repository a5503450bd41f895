#!/usr/bin/env bash
# Takes the picture of the window shown in the README: writes a fresh demo suite into a scratch
# folder, opens the window on it under a virtual X server and lets the program save itself as a PNG
# (KVTESO_SCREENSHOT) once shown. Builds nothing: run scripts/build.sh first.
#   scripts/screenshot.sh [OUTPUT.png]              (default: docs/window.png)
#   scripts/screenshot.sh --windows [OUTPUT.png]    the Windows window under Wine, after
#                                                   scripts/build-windows.sh (default: docs/window-windows.png)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" == "--windows" ]]; then
    # The demo suite on Wine's own C: (the Windows program reads the drives themselves), then away again.
    OUT=$(realpath -m "${2:-docs/window-windows.png}")
    export WINEPREFIX=${WINEPREFIX:-$PWD/build-windows/wine-prefix}
    drive="$WINEPREFIX/drive_c"
    trap 'rm -rf "$drive/KVPAGHE" "$drive/KVSTASK" "$drive/RARADADE"' EXIT
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
    rm -f "$OUT"
    mkdir -p "$(dirname "$OUT")"
    env -u WAYLAND_DISPLAY KVTESO_SCREENSHOT="Z:$(tr / '\\' <<<"$OUT")" \
        xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
        'scripts/wine.sh build-windows/kvdemo.exe --quiet && scripts/wine.sh build-windows/kvteso.exe; status=$?; wineserver -k; exit $status'
    [[ -s "$OUT" ]] || { echo "screenshot.sh: no picture was saved" >&2; exit 1; }
    echo "Saved $OUT"
    exit 0
fi
KVDEMO=${KVDEMO:-build/tools/kvdemo}
KVTESO=${KVTESO:-build/src/program/kvteso}
OUT=$(realpath -m "${1:-docs/window.png}")
for b in "$KVDEMO" "$KVTESO"; do
    if [[ ! -x "$b" ]]; then
        echo "screenshot.sh: $b is missing: build the project first (scripts/build.sh)" >&2
        exit 1
    fi
done
command -v xvfb-run >/dev/null || { echo "screenshot.sh: xvfb-run is missing (packages xvfb, xauth)" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$KVDEMO" --root "$scratch/demo" --quiet
mkdir -p "$(dirname "$OUT")"
rm -f "$OUT"
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$scratch" \
    KVTESO_ROOT="$scratch/demo" KVTESO_REGISTRY="$scratch/demo/registry.ini" KVTESO_SCREENSHOT="$OUT" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$KVTESO"
[[ -s "$OUT" ]] || { echo "screenshot.sh: no picture was saved" >&2; exit 1; }
echo "Saved $OUT"
