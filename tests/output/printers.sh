#!/usr/bin/env bash
# The printing tests' private CUPS scheduler (tools/cups-sandbox.sh) and its queues, A4 at 1200 dpi:
#   LaserPaghe  takes jobs; its printable area is the whole page
#   Margini     takes jobs; its printable area starts 18 pt right of the page's corner and 36 pt below
#   Ferma       stopped                        Rifiuta   refuses jobs
#   Fax         a fax                          Rimossa   takes jobs until a test removes it
#
#   tests/output/printers.sh start DIR          start it in DIR; prints the CUPS_SERVER value
#   tests/output/printers.sh stop DIR           stop it
#   tests/output/printers.sh run COMMAND...     run COMMAND with a scheduler of its own named by
#                                               CUPS_SERVER, then stop it and remove its folder
# The Windows test runs under Wine through "run": Wine's spooler reads the printers from CUPS once,
# when the first program of a Wine session loads it, and sends the jobs to the CUPS_SERVER that
# program was started with.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sandbox=$here/../../tools/cups-sandbox.sh

usage() { echo "usage: $0 start DIR | stop DIR | run COMMAND..." >&2; exit 2; }
[ $# -ge 2 ] || usage

# A PostScript printer's description with its printable area (left bottom right top, in points).
ppd() {
  cat <<EOF
*PPD-Adobe: "4.3"
*ModelName: "KV"
*NickName: "KV"
*OpenUI *PageSize: PickOne
*DefaultPageSize: A4
*PageSize A4: ""
*CloseUI: *PageSize
*ImageableArea A4: "$1"
*PaperDimension A4: "595 842"
*OpenUI *Resolution: PickOne
*DefaultResolution: 1200dpi
*Resolution 1200dpi: ""
*CloseUI: *Resolution
EOF
}

start() {
  local dir=$1 sock
  sock=$(bash "$sandbox" start "$dir" LaserPaghe Ferma Rifiuta Rimossa)
  ppd "0 0 595 842" >"$dir/laser.ppd"
  ppd "18 36 577 806" >"$dir/margini.ppd"
  { ppd "18 36 577 806"; echo "*cupsFax: True"; } >"$dir/fax.ppd"
  export CUPS_SERVER=$sock
  # lpadmin warns that printer descriptions are deprecated
  lpadmin -p LaserPaghe -P "$dir/laser.ppd" 2>/dev/null
  lpadmin -p Margini -P "$dir/margini.ppd" -v file:///dev/null -E 2>/dev/null
  lpadmin -p Fax -P "$dir/fax.ppd" -v file:///dev/null -E 2>/dev/null
  cupsdisable Ferma
  cupsreject Rifiuta
  echo "$sock"
}

case $1 in
start) start "$2" ;;
stop) bash "$sandbox" stop "$2" ;;
run)
  shift
  dir=$(mktemp -d /tmp/kvcups_XXXXXX)  # short: the scheduler's socket is in it
  trap 'bash "$sandbox" stop "$dir"; rm -rf "$dir"' EXIT
  trap 'exit 1' INT TERM
  CUPS_SERVER=$(start "$dir")
  export CUPS_SERVER
  # Wine names its spool files after each program's own job numbers: one printing program at a time
  # in a Wine prefix.
  if [ -n "${WINEPREFIX:-}" ]; then
    exec 9>"$WINEPREFIX.printing"
    flock 9
  fi
  status=0
  "$@" 9>&- || status=$?
  exit $status
  ;;
*) usage ;;
esac
