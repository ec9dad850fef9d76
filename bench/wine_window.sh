#!/usr/bin/env bash
# The Windows editor under wine on a virtual X server, against lumera-sim
# paced at 38400 baud on COM23 of a private wine prefix:
# - start-up: from starting lumera.exe of the portable zip with a full
#   commented program on its command line to its main window on the screen
#   (the X window mapped), wine's server already running;
# - upload: "WYŚLIJ" of segments 1 to 9 in the main window, click to the
#   job's end (window_upload_bench.exe), against the wire time of the same
#   bytes (bytes x 10 bits / baud, 8N1).
#
#   bench/wine_window.sh [RUNS]     (default 3; after tools/package-windows)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
baud=38400
build=$root/build/windows-app
zip=$(ls "$build"/package/lumera-*-win64.zip 2>/dev/null | head -n 1)
bench=$build/bench/wine/window_upload_bench.exe
sim=$root/build/release/src/sim/lumera-sim
qt=${LUMERA_WINDOWS_QT:-$("$root/tools/windows-qt" --prefix)}
for file in "$zip" "$bench" "$sim"; do
  [[ -f $file ]] || { echo "missing ${file:-the zip} (tools/package-windows, release build)" >&2; exit 1; }
done
if [[ -z ${LUMERA_WINE_TEST_DISPLAY:-} ]]; then
  LUMERA_WINE_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x800x24" \
    "$0" "$@"
fi
unset QT_QPA_PLATFORM

work=$(mktemp -d)
sim_pid=
source "$root/tools/lib/end_processes.sh"
source "$root/tests/wine/wine_prefix.sh"
cleanup() {
  end_processes $sim_pid
  stop_wine_prefix
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/run"
set_com_line_folder "$work"
python3 "$root/tests/wine/full_program.py" "$work/run/program.prg"
printf '[Config]\r\nPort=%d\r\nDevice=1\r\n' "$WINE_COM_NUMBER" >"$work/run/Lumera.ini"
cmake -E chdir "$work" cmake -E tar xf "$zip"
exe=$(ls "$work"/lumera-*-win64/lumera.exe)

"$sim" --baud "$baud" --number 1 >"$work/sim.out" 2>/dev/null &
sim_pid=$!
for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
point_com_line "$(sed -n '1s/ .*//p' "$work/sim.out")"
make_wine_prefix "$work" || { echo "no wine prefix" >&2; exit 1; }

main_window() {
  xwininfo -root -tree | grep -F '"Edytor programu sterownika [AVR 1.0]"' |
    grep -v ' 1x1+' | head -n 1
}
now() { date +%s.%N; }
startup=()
for ((r = 0; r < runs; r++)); do
  start=$(now)
  (cd "$work/run" && "$WINE" "$exe" program.prg >/dev/null 2>&1 &)
  until [[ -n $(main_window) ]]; do sleep 0.01; done
  shown=$(now)
  startup+=("$(awk -v a="$start" -v b="$shown" 'BEGIN { printf "%.0f", (b - a) * 1000 }')")
  "$WINE" taskkill /IM lumera.exe >/dev/null 2>&1
  while [[ -n $(main_window) ]]; do sleep 0.1; done
done
echo "lumera.exe start-up to the main window shown, full commented program:"
echo "  runs (ms): ${startup[*]}"

commands=$((9 * 255))
requests=$((6 + commands * 11 + 6))  # Stop, WriteCommand x, Restart
replies=$((6 + commands * 6))        # Restart is not answered
uploads=()
for ((r = 0; r < runs; r++)); do
  out=$(cd "$work/run" && "$root/tests/wine/run_under_wine.sh" "$qt/bin" "$bench" 2>/dev/null)
  uploads+=("$(sed -n 's/^upload //p' <<<"$out")")
done
awk -v rq="$requests" -v rp="$replies" -v baud="$baud" -v times="${uploads[*]}" 'BEGIN {
  n = split(times, t, " "); best = t[1]; sum = 0
  for (i = 1; i <= n; i++) { sum += t[i]; if (t[i] < best) best = t[i] }
  wire = (rq + rp) * 10 / baud
  printf "WYŚLIJ in the window, 9 segments at %d baud: %d bytes (requests %d + replies %d)\n", baud, rq + rp, rq, rp
  printf "  measured best %.3f s, mean %.3f s over %d runs\n", best, sum / n, n
  printf "  wire time %.3f s; measured / wire = %.3f\n", wire, best / wire
}'
