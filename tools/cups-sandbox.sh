#!/usr/bin/env bash
# A private CUPS scheduler for trying "Stampa Laser" without a real printer, and for the printing tests.
#
#   tools/cups-sandbox.sh start DIR [QUEUE...]   start it; prints the CUPS_SERVER value to export
#   tools/cups-sandbox.sh stop DIR               stop it (the jobs and logs stay under DIR)
#
# Everything lives under DIR: configuration, state, spool, logs and the local socket DIR/cups.sock
# (no network port). The queues (default: LaserPaghe) are raw queues printing to /dev/null; the
# scheduler keeps every job's document as DIR/spool/dNNNNN-001 (the PDF as sent) and its history, so
# the jobs can be read back: lpstat -W completed -o QUEUE lists them, NNNNN is the job number.
# The system's /etc/cups and scheduler are not touched. Needs the cups package; runs as root or as a
# user (the jobs then run as that user).
set -euo pipefail

usage() { echo "usage: $0 start DIR [QUEUE...] | stop DIR" >&2; exit 2; }
[ $# -ge 2 ] || usage
cmd=$1
[ "$cmd" = stop ] && [ ! -d "$2" ] && exit 0
dir=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2
sock=$dir/cups.sock
pidfile=$dir/cupsd.pid

stop() {
  [ -f "$pidfile" ] || return 0
  local pid
  pid=$(cat "$pidfile")
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid"
  fi
  rm -f "$pidfile"
}

case $cmd in
stop) stop; exit 0 ;;
start) ;;
*) usage ;;
esac

[ $# -gt 0 ] || set -- LaserPaghe
stop
CUPSD=$(command -v cupsd || echo /usr/sbin/cupsd)
[ -x "$CUPSD" ] || { echo "cups-sandbox: cupsd not found (package cups)" >&2; exit 1; }
mkdir -p "$dir"/{etc/ppd,etc/ssl,state/certs,cache,spool/tmp,log}
# The jobs run as the caller; root runs them as the package's unprivileged lp user.
user=$(id -un)
group=$(id -gn)
if [ "$(id -u)" -eq 0 ]; then
  user=lp
  group=lp
  chmod 0755 "$dir"
  chown lp "$dir/spool/tmp"
fi

cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir/etc
StateDir $dir/state
CacheDir $dir/cache
RequestRoot $dir/spool
TempDir $dir/spool/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
Printcap $dir/printcap
User $user
Group $group
SystemGroup $(id -gn)
FileDevice Yes
Sandboxing Relaxed
EOF
cat >"$dir/cupsd.conf" <<EOF
LogLevel info
Listen $sock
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
PreserveJobFiles Yes
PreserveJobHistory Yes
MaxJobs 0
JobRetryLimit 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cp "$dir/cupsd.conf" "$dir/etc/cupsd.conf"
cp "$dir/cups-files.conf" "$dir/etc/cups-files.conf"

"$CUPSD" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >>"$dir/log/cupsd.out" 2>&1 &
echo $! >"$pidfile"
for _ in $(seq 100); do
  [ -S "$sock" ] && CUPS_SERVER=$sock lpstat -r >/dev/null 2>&1 && break
  kill -0 "$(cat "$pidfile")" 2>/dev/null || { cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null; rm -f "$pidfile"; exit 1; }
  sleep 0.1
done
CUPS_SERVER=$sock lpstat -r >/dev/null 2>&1 || { echo "cups-sandbox: the scheduler did not answer" >&2; stop; exit 1; }

for q in "$@"; do
  # No model: a raw queue (older schedulers want "-m raw" for it).
  CUPS_SERVER=$sock lpadmin -p "$q" -v file:///dev/null -E >/dev/null 2>&1 ||
    CUPS_SERVER=$sock lpadmin -p "$q" -v file:///dev/null -m raw -E
done
echo "$sock"
