#!/usr/bin/env bash
# Set-up, build and every test. This is what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Every C++ file laid out as .clang-format says (the generated font metrics excepted).
git ls-files '*.cpp' '*.h' | grep -v '^src/pdf/StandardFontMetrics.cpp$' | xargs clang-format --dry-run --Werror
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset dev -j"$(nproc)"
# Decimal separators of PDF numbers and records must not follow the process locale: the whole suite
# runs once more under an Italian locale.
if locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  echo "== again under LC_ALL=it_IT.UTF-8"
  LC_ALL=it_IT.UTF-8 ctest --preset dev -j"$(nproc)"
else
  echo "warning: no it_IT.UTF-8 locale: the run under an Italian locale was skipped" >&2
fi
# The Windows build (MinGW-w64, build-windows/): its tests under Wine, in the build's own Wine prefix,
# then the Windows programs against the Linux ones on the demo and benchmark suites, file for file,
# then the installer: installed, run and uninstalled.
# Wine draws the Windows window on a virtual X server: one for the whole block, and one Wine server
# on it, started (with the prefix) before the parallel tests and kept until they end, so that they
# never race to start it; the scripts after them wait for Wine's server to end (wineserver -w), so
# it is an ordinary one again there. A server left from a run without the display would keep the
# windows out: it is ended first.
echo "== the Windows build, under Wine (build-windows)"
scripts/build-windows.sh
export WINEPREFIX="$PWD/build-windows/wine-prefix"
[ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
env -u WAYLAND_DISPLAY xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
  'mkdir -p "$WINEPREFIX" && wineserver -p && scripts/wine.sh cmd /c exit 0
   ctest --test-dir build-windows -j"$(nproc)"; status=$?; wineserver -k
   [ $status = 0 ] && tests/windows/same-files.sh && tests/windows/installer.sh; status=$?
   wineserver -k 2>/dev/null; exit $status'
unset WINEPREFIX
# The whole suite once more with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/ (the
# `asan` presets). Every report ends the test that made it. Once, in the default locale: the locale run
# above checks the code paths that depend on it. Leaks reported inside Qt, fontconfig and the other
# system libraries are not ours: scripts/lsan.supp names them; a leak in our code still fails.
echo "== again with the sanitizers (build-asan)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
# libstdc++'s std::regex recurses once per character matched, and instrumented frames are larger:
# the tests that match whole PDF texts need more than the usual 8 MB of stack.
ulimit -s 65536
ctest --preset asan -j"$(nproc)"
# Every parser fed with libFuzzer for a few seconds each (clang, build-fuzz/): a short run that keeps the
# targets building and working; `tools/fuzz 600` is the long one. Random inputs make this run differ
# from one CI run to the next, so a finding is reported here (with the input in fuzz/crashes/) rather
# than failing the build; the inputs that found something become replayed regressions in fuzz/regressions/.
echo "== fuzz targets, 10 s each"
tools/fuzz 10 || echo "warning: the fuzz run reported findings (see above and fuzz/crashes/)" >&2
