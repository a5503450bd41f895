#!/usr/bin/env bash
# The Windows installer under Wine, in the build's Wine prefix: scripts/package-windows.sh makes it;
# installed silently (/S) it leaves kvteso.exe (with its icon and version) and uninstall.exe under
# Program Files\KVTESO, the Start menu entry "Stampe Fondo Tesoreria" (read back with lnkinfo) and
# the Add/Remove Programs key (read back with Wine's reg); the installed program writes the same files
# as the build's on the demo suite on C:; the silent uninstaller, run as Add/Remove Programs runs it,
# takes all of that away and leaves the suite's folders and settings as they were.
#
#   tests/windows/installer.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
windows=$PWD/build-windows
export WINEPREFIX=${WINEPREFIX:-$windows/wine-prefix}
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="  # no menu entries on the host
export SOURCE_DATE_EPOCH=1765000000                               # the files' dates: the same in both runs
drive=$WINEPREFIX/drive_c
folder="$drive/Program Files/KVTESO"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Stampe Fondo Tesoreria.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KVTESO'
suite_key='HKCU\SOFTWARE\VELMORA\KVSPAGHE'
work=$(mktemp -d)
clean() {
  rm -rf "$drive/KVPAGHE" "$drive/KVSTASK" "$drive/RARADADE" "$folder" "$shortcut" "$drive"/users/*/Temp/~nsu*.tmp
  scripts/wine.sh reg delete "$key" /f >/dev/null 2>&1 || true
}
trap 'clean; rm -rf "$work"' EXIT
failed=0
fail() { echo "installer: $*" >&2; failed=1; }
reg_query() { scripts/wine.sh reg query "$1" 2>/dev/null | tr -d '\r' | grep -v '^$'; }

scripts/package-windows.sh
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows/CMakeCache.txt")
setup="$windows/kvteso-$version-setup.exe"
clean
scripts/wine.sh "$windows/kvdemo.exe" --quiet  # the suite on C:, its settings in the registry
reg_query "$suite_key" >"$work/settings"
grep -q PERCORSOARCHIVI "$work/settings" || fail "kvdemo left no settings"

echo "== installing $(basename "$setup") silently"
scripts/wine.sh "$setup" /S || fail "the installer ended with status $?"
wineserver -w  # whatever the installer left running has ended, its registry keys written
listing() { (shopt -s dotglob nullglob; cd "$1" 2>/dev/null && echo *); }
[ "$(listing "$folder")" = "kvteso.exe uninstall.exe" ] || fail "installed: $(listing "$folder")"
resources=$(x86_64-w64-mingw32-windres -i "$folder/kvteso.exe" -O rc)
for value in '"FileDescription", "Stampe Fondo Tesoreria"' "\"ProductVersion\", \"$version\"" \
  '"ProductName", "KVTESO"' '"OriginalFilename", "kvteso.exe"' 'Has 4 elements'; do
  grep -qF "$value" <<<"$resources" || fail "kvteso.exe's resources lack $value"
done
lnkinfo "$shortcut" >"$work/shortcut" || fail "no Start menu entry"
for line in 'Local path.*: C:\\Program Files\\KVTESO\\kvteso.exe$' 'Icon location.*: C:\\Program Files\\KVTESO\\kvteso.exe$' \
  'Icon index.*: 0$' 'Working directory.*: C:\\Program Files\\KVTESO$'; do
  grep -q "$line" "$work/shortcut" || fail "the Start menu entry has no line $line"
done
reg_query "$key" >"$work/key" || fail "no uninstall key $key"
# EstimatedSize: the folder's kilobytes, as NSIS counts them (whole or rounded up).
bytes=$(cat "$folder"/* | wc -c)
size=$(sed -n 's/^ *EstimatedSize *REG_DWORD *//p' "$work/key")
if [ $((size)) -lt $((bytes / 1024)) ] || [ $((size)) -gt $(((bytes + 1023) / 1024)) ]; then
  fail "EstimatedSize $size for $bytes bytes"
fi
diff "$work/key" - >&2 <<EOF || fail "the uninstall key differs"
HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KVTESO
    DisplayIcon    REG_SZ    C:\\Program Files\\KVTESO\\kvteso.exe,0
    DisplayName    REG_SZ    KVTESO - Stampe Fondo Tesoreria
    DisplayVersion    REG_SZ    $version
    EstimatedSize    REG_DWORD    $size
    InstallLocation    REG_SZ    C:\\Program Files\\KVTESO
    NoModify    REG_DWORD    0x1
    NoRepair    REG_DWORD    0x1
    Publisher    REG_SZ    KVTESO developers
    QuietUninstallString    REG_SZ    "C:\\Program Files\\KVTESO\\uninstall.exe" /S
    UninstallString    REG_SZ    "C:\\Program Files\\KVTESO\\uninstall.exe"
EOF

echo "== the installed program and the build's on the demo suite"
run() {  # PROGRAM RESULTS: the batch run on a fresh demo suite, its folders kept in RESULTS
  scripts/wine.sh "$windows/kvdemo.exe" --quiet
  set +e
  scripts/wine.sh "$1" --batch --pdf --xlsx --list all </dev/null >/dev/null 2>&1
  echo "status $?" >"$drive/KVPAGHE/status"
  set -e
  mkdir -p "$2" && mv "$drive/KVPAGHE" "$drive/KVSTASK" "$2/"
}
run 'C:\Program Files\KVTESO\kvteso.exe' "$work/installed"
run "$windows/kvteso.exe" "$work/build"
diff -r "$work/build" "$work/installed" >&2 || fail "the installed program wrote different files"
echo "   $(find "$work/installed" -name '*.pdf' | wc -l) PDF files, $(find "$work/installed" -name '*.xlsx' | wc -l) workbooks, $(cat "$work/installed/KVPAGHE/status")"
[ "$(find "$work/installed" -name '*.pdf' | wc -l)" -gt 0 ] || fail "the run wrote no PDF file"
scripts/wine.sh "$windows/kvdemo.exe" --quiet
(cd "$drive" && find KVPAGHE KVSTASK RARADADE -type f | sort | xargs sha256sum) >"$work/suite"

echo "== uninstalling silently"
# As Add/Remove Programs does: the uninstaller copies itself to Temp, starts the copy and returns;
# Wine's server ends when the copy has.
scripts/wine.sh 'C:\Program Files\KVTESO\uninstall.exe' /S || fail "the uninstaller ended with status $?"
wineserver -w
[ ! -e "$folder" ] || fail "left in Program Files: KVTESO $(listing "$folder")"
[ ! -e "$shortcut" ] || fail "the Start menu entry is still there"
! reg_query "$key" >/dev/null || fail "the uninstall key is still there"
reg_query "$suite_key" | diff "$work/settings" - >&2 || fail "the suite's settings changed"
(cd "$drive" && find KVPAGHE KVSTASK RARADADE -type f | sort | xargs sha256sum) | cmp -s - "$work/suite" ||
  fail "the suite's folders changed"
[ "$failed" = 0 ] && echo "installer: installed, ran as the build and uninstalled cleanly ($(stat -c %s "$setup") bytes)"
exit "$failed"
