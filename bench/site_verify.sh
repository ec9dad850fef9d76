#!/usr/bin/env bash
# Times `lumera-cli site verify` over 3 lines x 10 controllers, each line a
# lumera-sim pacing its pseudo-terminal at 38400 baud, every controller
# holding a 20-command program. Each line is timed alone, then all three in
# one run: the lines run in parallel, so the whole should take no longer
# than about the slowest line alone (goal: at most 1.05 x).
#
#   bench/site_verify.sh [BUILD_DIR] [RUNS]
#
# Figures are best-of-RUNS wall and CPU (user + system) seconds of the
# lumera-cli process.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
runs=${2:-3}
cli=$build/src/cli/lumera-cli
sim=$build/src/sim/lumera-sim
for program in "$cli" "$sim"; do
  [[ -x $program ]] || { echo "missing $program (build it first)" >&2; exit 1; }
done

work=$(mktemp -d)
sims=()
source "$root/tools/lib/end_processes.sh"
cleanup() {
  end_processes "${sims[@]}"
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/xdg
mkdir -p "$XDG_CONFIG_HOME"
cd "$work"

numbers=1,2,3,4,5,6,7,8,9,10
devices=()
for line in 1 2 3; do
  "$sim" --number "$numbers" --baud 38400 >"sim$line.out" &
  sims+=($!)
  for _ in $(seq 50); do [[ -s sim$line.out ]] && break; sleep 0.1; done
  devices+=("$(cut -d' ' -f1 "sim$line.out")")
done

# A program of 20 commands in segment 1, the rest empty.
python3 - <<'PY'
image = bytearray(b"\xff" * 7714)
for k in range(20):
    image[3 * k:3 * k + 3] = bytes([k % 45, k, 3])
open("p.prg", "wb").write(image)
PY

site() {  # file lines...
  local file=$1
  shift
  : >"$file"
  for line in "$@"; do
    printf '[line l%s]\nport = %s\ncontrollers = 1-10\nprogram = p.prg\n' \
      "$line" "${devices[line - 1]}" >>"$file"
  done
}
site all.site 1 2 3
for line in 1 2 3; do site "l$line.site" "$line"; done

"$cli" site all.site upload --yes >/dev/null 2>&1 || {
  echo "upload to the simulators failed" >&2
  exit 1
}
# Timed runs must be runs that find every controller equal.
"$cli" site all.site verify >/dev/null 2>&1 || {
  echo "verify after the upload did not pass" >&2
  exit 1
}

# Best-of-runs "wall cpu" of one verify.
measure() {
  local file=$1 best_wall= best_cpu=
  for _ in $(seq "$runs"); do
    local out
    out=$( { TIMEFORMAT='%R %U %S'; time "$cli" site "$file" verify >/dev/null 2>&1; } 2>&1 )
    read -r wall user system <<<"$out"
    local cpu
    cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.3f", u + s }')
    if [[ -z $best_wall ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
      best_wall=$wall
    fi
    if [[ -z $best_cpu ]] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then
      best_cpu=$cpu
    fi
  done
  echo "$best_wall $best_cpu"
}

printf '%-28s %10s %10s\n' "run" "wall s" "CPU s"
slowest=0
for line in 1 2 3; do
  read -r wall cpu <<<"$(measure "l$line.site")"
  printf '%-28s %10s %10s\n' "line l$line alone (10 ctl)" "$wall" "$cpu"
  slowest=$(awk -v a="$wall" -v b="$slowest" 'BEGIN { print (a > b ? a : b) }')
done
read -r wall cpu <<<"$(measure all.site)"
printf '%-28s %10s %10s\n' "3 lines together (30 ctl)" "$wall" "$cpu"
awk -v t="$wall" -v s="$slowest" \
  'BEGIN { printf "together / slowest line alone: %.3f (goal <= 1.05)\n", t / s }'
