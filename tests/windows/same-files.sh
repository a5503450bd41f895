#!/usr/bin/env bash
# The Windows programs under Wine, with the suite on Wine's own drive C: and its settings in the
# registry of the current user (set with Wine's reg add), against the Linux programs on a mapped root: kvdemo writes the same
# suite, kvteso --batch --pdf --xlsx --list all writes the same files byte for byte (every PDF file,
# every workbook, the task file), prints the same lines (paths aside) and the same anomalies, ends
# with the same status, and leaves the archives as they were. Once on the demo suite (its damaged
# cases and a company name with a Windows-1252 letter), once on the benchmark suite. The Windows
# program must import only DLLs every Windows 10/11 has.
#
#   tests/windows/same-files.sh [LINUX_BUILD [WINDOWS_BUILD]]     (defaults: build, build-windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
linux=$(realpath "${1:-build}") windows=$(realpath "${2:-build-windows}")
export WINEPREFIX=${WINEPREFIX:-$windows/wine-prefix}
export SOURCE_DATE_EPOCH=1765000000  # the files' dates: the same on both sides
drive=$WINEPREFIX/drive_c
work=$(mktemp -d)
clean_drive() { rm -rf "$drive/KVPAGHE" "$drive/KVSTASK" "$drive/RARADADE"; }
trap 'clean_drive; rm -rf "$work"' EXIT
failed=0
fail() { echo "same-files: $*" >&2; failed=1; }

for dll in $(x86_64-w64-mingw32-objdump -p "$windows/kvteso.exe" | awk '/DLL Name:/ { print tolower($3) }'); do
  case $dll in
    advapi32.dll | bcrypt.dll | comctl32.dll | gdi32.dll | kernel32.dll | msvcrt.dll | shell32.dll | user32.dll | \
      winspool.drv) ;;
    *) fail "kvteso.exe imports $dll, which Windows does not have" ;;
  esac
done

archives() { (cd "$1" && find . -type f | sort | xargs sha256sum); }
for suite in "" "--companies 100 --employees 10000"; do
  echo "== ${suite:-the demo suite}"
  clean_drive
  # shellcheck disable=SC2086
  scripts/wine.sh "$windows/kvdemo.exe" $suite --quiet
  # The settings as the suite's own set-up leaves them, written by Wine's reg, not by a program of ours.
  key='HKCU\SOFTWARE\VELMORA\KVSPAGHE'
  scripts/wine.sh reg delete "$key" /f >/dev/null 2>&1 || true
  scripts/wine.sh reg add "$key" /v PERCORSOARCHIVI /t REG_SZ /d 'C:\KVPAGHE\ARCHIVI' /f >/dev/null
  scripts/wine.sh reg add "$key" /v PERCORSOPROGRAMMI /t REG_SZ /d 'C:\KVPAGHE\PROGRAMMI' /f >/dev/null
  rm -rf "$work/root"
  # shellcheck disable=SC2086
  "$linux/tools/kvdemo" --root "$work/root" $suite --quiet
  for folder in KVPAGHE KVSTASK RARADADE; do
    diff -r "$work/root/C/$folder" "$drive/$folder" >/dev/null || fail "kvdemo wrote different suites ($folder)"
  done
  archives "$drive/KVPAGHE/ARCHIVI" >"$work/archives-before"

  set +e
  scripts/wine.sh "$windows/kvteso.exe" --batch --pdf --xlsx --list all </dev/null >"$work/windows.out" 2>"$work/windows.err"
  windows_status=$?
  "$linux/src/program/kvteso" --batch --pdf --xlsx --list all --root "$work/root" </dev/null >"$work/linux.out" 2>"$work/linux.err"
  linux_status=$?
  set -e
  [ "$windows_status" = "$linux_status" ] || fail "exit status $windows_status on Windows, $linux_status on Linux"
  # The Windows console's lines end in CR LF; its paths are C:\... where Linux prints ROOT/C/...
  tr -d '\r' <"$work/windows.out" | sed 's|C:\\|/C/|g; s|\\|/|g' >"$work/windows.lines"
  sed "s|$work/root/C/|/C/|g" "$work/linux.out" | sed 's|C:\\|/C/|g; s|\\|/|g' >"$work/linux.lines"
  diff "$work/linux.lines" "$work/windows.lines" >&2 || fail "the runs printed different lines"
  diff "$work/linux.err" <(tr -d '\r' <"$work/windows.err") >&2 || fail "the runs named different anomalies"
  for folder in KVPAGHE KVSTASK; do
    diff -r "$work/root/C/$folder" "$drive/$folder" >&2 || fail "the runs left different files ($folder)"
  done
  archives "$drive/KVPAGHE/ARCHIVI" | cmp -s - "$work/archives-before" || fail "the Windows run changed the archives"
  echo "   $(find "$drive/KVPAGHE/FILE-PDF" -name '*.pdf' | wc -l) PDF files, $(find "$drive/KVPAGHE" -name '*.xlsx' | wc -l) workbooks, status $windows_status"
done
[ "$failed" = 0 ] && echo "same-files: the Windows and Linux runs wrote the same files"
exit "$failed"
