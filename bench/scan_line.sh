#!/usr/bin/env bash
# Times `lumera-cli scan` of numbers 1..254 on a line of three controllers
# (3, 17 and 200) that lumera-sim paces at 38400 baud, and with a latency
# the line's replies are held as by a USB adapter's latency timer.
#
#   bench/scan_line.sh [BUILD_DIR] [RUNS] [LATENCY_MS]
#
# BUILD_DIR holds src/cli/lumera-cli and src/sim/lumera-sim (default
# build/release); RUNS repetitions (default 3), the best is printed;
# LATENCY_MS is passed to lumera-sim --latency (default 0: none). The
# simulator is ended on every way out of this script.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
runs=${2:-3}
latency=${3:-0}
cli=$build/src/cli/lumera-cli
sim=$build/src/sim/lumera-sim
for program in "$cli" "$sim"; do
  [[ -x $program ]] || { echo "missing $program (build it first)" >&2; exit 1; }
done

work=$(mktemp -d)
sim_pid=
source "$root/tools/lib/end_processes.sh"
cleanup() {
  end_processes $sim_pid
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/xdg
mkdir -p "$XDG_CONFIG_HOME"
cd "$work"

sim_args=(--number 3,17,200 --baud 38400)
[[ $latency -gt 0 ]] && sim_args+=(--latency "$latency")
"$sim" "${sim_args[@]}" > sim.out 2> sim.err &
sim_pid=$!
for _ in $(seq 50); do [[ -s sim.out ]] && break; sleep 0.1; done
device=$(sed -n '1s/ .*//p' sim.out)
[[ -n $device ]] || { echo "lumera-sim did not start" >&2; cat sim.err >&2; exit 1; }

best=
for ((run = 1; run <= runs; run++)); do
  start=$(date +%s.%N)
  "$cli" --port "$device" scan > scan.out 2> scan.err || true
  end=$(date +%s.%N)
  seconds=$(echo "$end - $start" | bc)
  if [[ -z $best ]] || (($(echo "$seconds < $best" | bc))); then best=$seconds; fi
done
found=$(grep -c '^Sterownik nr' scan.out || true)
printf 'scan 1..254, sim %s: best of %d: %.2f s, %d controllers found\n' \
  "${sim_args[*]}" "$runs" "$best" "$found"
cat scan.out
