#!/usr/bin/env bash
# `cmake --install` of a built tree into a scratch folder: exactly the program's files land, the
# desktop entry is valid, and the manual page formats without a groff warning and gives every option
# and exit status that `kvteso --help` names. Argument: the build folder.
set -euo pipefail
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
diff - <(cd "$dest" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) <<'LIST' || fail "installed files differ"
usr/bin/kvteso
usr/share/applications/kvteso.desktop
usr/share/doc/kvteso/changelog.gz
usr/share/doc/kvteso/copyright
usr/share/icons/hicolor/128x128/apps/kvteso.png
usr/share/icons/hicolor/48x48/apps/kvteso.png
usr/share/icons/hicolor/scalable/apps/kvteso.svg
usr/share/man/man1/kvteso.1.gz
LIST
desktop-file-validate "$dest/usr/share/applications/kvteso.desktop"

page=$dest/usr/share/man/man1/kvteso.1.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "groff: $warnings"
usage=$("$dest/usr/bin/kvteso" --help)
source=$(zcat "$page")
# the tag lines (after .TP) of the OPTIONS section
tags=$(awk '/^\.SH /{on = ($0 == ".SH OPTIONS"); next} on && tag {print} {tag = ($0 == ".TP")}' <<<"$source")
for option in $(grep -oE -- '--[a-z]+' <<<"$usage" | sort -u); do
  grep -qE -- "\\\\-\\\\-${option#--}( |$)" <<<"$tags" || fail "the manual page's OPTIONS miss $option"
done
statuses=$(sed -n '/^Exit status/,$p' <<<"$usage" | grep -oE '\b[0-9]+ (when|for)\b' | cut -d' ' -f1)
[ -n "$statuses" ] || fail "no exit status in the usage"
listed=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' <<<"$source")
for status in $statuses; do
  grep -qx "\.B $status" <<<"$listed" || fail "the manual page misses exit status $status"
done
echo "install: $(cd "$dest" && find . -type f | wc -l) files; the manual page has $(wc -w <<<"$statuses") exit statuses"
