#!/usr/bin/env bash
# Runs the print service test program ($1) against a private CUPS scheduler
# on 127.0.0.1 with a free port: its configuration, spool, logs and the
# printed jobs all live in one temporary folder, reached through CUPS_SERVER.
# Its queues end in the test's own backend (tofile_backend), which keeps each
# job as a PDF file. The scheduler is stopped and the folder removed however
# the run ends. Exit 77 (skipped, with the reason) when no scheduler can run.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
export PATH="$PATH:/usr/sbin:/sbin"

for tool in cupsd lpadmin lpstat cupsdisable cupsreject pdftotext pdfinfo pdftoppm; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (tools/bootstrap installs it)"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/lumera-cups.XXXXXX")
cupsd_pid=""
stop() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$cupsd_pid" 2>/dev/null || break
      sleep 0.2
    done
    kill -9 "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
    cupsd_pid=""
  fi
}
trap 'stop; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# The scheduler runs filters and backends from ServerBin: its own folder, so
# that the test's backend is found there beside the system's helpers.
chmod 755 "$work"
mkdir -p "$work/conf" "$work/spool/tmp" "$work/cache" "$work/state" \
  "$work/log" "$work/bin/backend" "$work/jobs"
ln -s /usr/lib/cups/daemon "$work/bin/daemon"
# Mode 0700: the scheduler runs such a backend as its own user, so the job
# folder needs no write permission for the print user.
install -m 700 "$here/tofile_backend" "$work/bin/backend/tofile"
cat >"$work/conf/cups-files.conf" <<EOF
ServerRoot $work/conf
ServerBin $work/bin
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
EOF

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

start() {
  local port attempt
  for attempt in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 40000))
    port_in_use "$port" && continue
    cat >"$work/conf/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
LogLevel debug
Browsing No
WebInterface No
DefaultAuthType None
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
    echo "== cupsd -f -c $work/conf/cupsd.conf -s $work/conf/cups-files.conf"
    cupsd -f -c "$work/conf/cupsd.conf" -s "$work/conf/cups-files.conf" \
      >>"$work/log/cupsd.out" 2>&1 &
    cupsd_pid=$!
    export CUPS_SERVER="127.0.0.1:$port"
    for _ in $(seq 50); do
      kill -0 "$cupsd_pid" 2>/dev/null || break
      if lpstat -r 2>/dev/null | grep -q "is running"; then return 0; fi
      sleep 0.2
    done
    stop
    echo "attempt $attempt: the scheduler did not answer on port $port"
  done
  return 1
}

if ! start; then
  echo "skipped: cupsd could not start here; its log:"
  tail -n 20 "$work/log/error_log" "$work/log/cupsd.out" 2>/dev/null || true
  exit 77
fi
echo "scheduler PID $cupsd_pid at $CUPS_SERVER, jobs in $work/jobs"
export LUMERA_PRINT_JOBS="$work/jobs"

status=0
run() {
  echo "== $program $*"
  "$program" "$@" || status=1
}

# Before any queue exists: the dialog of a system without printers.
LUMERA_PRINT_QUEUES="" run DialogOffersTheSystemsPrinters

queue() {  # name, paper, the paper it lacks
  sed -e "/^\*[A-Za-z]* $3\//d" -e "s/@PAGE@/$2/" \
    "$here/test_printer.ppd.in" >"$work/$2.ppd"
  # lpadmin warns that drivers are deprecated; the queue works all the same,
  # so its words are shown only when it fails.
  if ! lpadmin -p "$1" -E -v "tofile:$work/jobs" -P "$work/$2.ppd" \
    2>"$work/log/lpadmin.err"; then
    cat "$work/log/lpadmin.err"
    return 1
  fi
}
queue lumera-a4 A4 Letter
queue lumera-letter Letter A4
queue lumera-stopped A4 Letter
cupsdisable lumera-stopped
queue lumera-rejecting A4 Letter
cupsreject lumera-rejecting
# Removed by the test once the dialog has chosen it.
queue lumera-gone A4 Letter
lpstat -v

LUMERA_PRINT_QUEUES="lumera-a4,lumera-gone,lumera-letter,lumera-rejecting,lumera-stopped" run

echo "== jobs the scheduler took"
lpstat -W all -o || true
if [ "$status" -ne 0 ]; then
  echo "== scheduler log (errors)"
  grep '^E' "$work/log/error_log" | tail -n 20 || true
fi
exit "$status"
