#!/usr/bin/env bash
# tools/run twice, the first time with COM200 taken by another simulator:
# the demo folder's Lumera.ini names the port the simulator registered, so
# upload and download work there at once; the window opens the sample
# program; closing the window ends the simulator; the second run keeps what
# the user changed in the folder.
#   run_demo_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
root=$1
build=$(cd "$2" && pwd)
work=$(mktemp -d)
pids=()
source "$root/tools/lib/end_processes.sh"
cleanup() {
  end_processes "${pids[@]}"
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; cat "$work"/run*.out >&2 2>/dev/null || true; exit 1; }

export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
export QT_QPA_PLATFORM=offscreen LUMERA_RUN_BUILD=$build
export LUMERA_DEMO_FOLDER=$work/demo
unset DISPLAY WAYLAND_DISPLAY
ports=$XDG_CONFIG_HOME/lumera/ports
cli=$build/src/cli/lumera-cli

"$build/src/sim/lumera-sim" >"$work/blocker.out" &
blocker=$!
pids+=("$blocker")
for _ in $(seq 100); do [[ -s $work/blocker.out ]] && break; sleep 0.05; done
[[ $(cut -d' ' -f2 "$work/blocker.out") == COM200 ]] || fail "the blocker is not COM200"

# run N EXPECTED_COM: starts tools/run, checks the folder and the window
# while they run, then closes the window.
run() {
  local out=$work/run$1.out run app sim
  "$root/tools/run" >"$out" 2>&1 &
  run=$!
  pids+=("$run")
  for _ in $(seq 200); do
    app=$(pgrep -P "$run" -x lumera || true)
    [[ -n $app ]] && break
    kill -0 "$run" 2>/dev/null || fail "tools/run ended before the window"
    sleep 0.05
  done
  [[ -n $app ]] || fail "no window"
  sim=$(pgrep -P "$run" -x lumera-sim) || fail "no simulator"
  grep -q "ready as $2 " "$out" || fail "the simulator is not $2"
  grep -qx "Port=${2#COM}"$'\r' "$work/demo/Lumera.ini" || fail "Lumera.ini does not name $2"
  [[ $(tr '\0' ' ' <"/proc/$app/cmdline") == *" Przyklad.prg "* ]] ||
    fail "the window did not open the sample program"
  (cd "$work/demo" && "$cli" upload Przyklad.prg && "$cli" download back.prg) >/dev/null ||
    fail "WYŚLIJ then POBIERZ through Lumera.ini"
  cmp -s <(head -c 7650 "$work/demo/Przyklad.prg") <(head -c 7650 "$work/demo/back.prg") ||
    fail "the program downloaded differs"

  kill "$app"
  wait "$run" 2>/dev/null || true
  ! kill -0 "$sim" 2>/dev/null || fail "the simulator outlived the window"
  [[ ! -e $ports/$2 ]] || fail "$2 is still registered"
}

run 1 COM201
grep -q 'Wejdź' <(iconv -f cp1250 -t utf-8 "$work/demo/Przyklad.cmt") ||
  fail "the sample's comments are missing"
# The user's changes: another controller number and another comment.
sed -i 's/^Program=1\r$/Program=3\r/' "$work/demo/Lumera.ini"
printf '01:001 0 Mój komentarz\r\n' | iconv -f utf-8 -t cp1250 >"$work/demo/Przyklad.cmt"
kill "$blocker"
wait "$blocker" 2>/dev/null || true
run 2 COM200
grep -qx 'Program=3'$'\r' "$work/demo/Lumera.ini" || fail "the second run lost Program=3"
[[ $(iconv -f cp1250 -t utf-8 "$work/demo/Przyklad.cmt") == "01:001 0 Mój komentarz"$'\r' ]] ||
  fail "the second run replaced the user's comment file"
echo "ok"
