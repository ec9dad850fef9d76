#!/usr/bin/env bash
# The same site upload from the window's site page and from the command
# line, interleaved: two lumera-sim lines paced at 38400 baud, with two and
# three controllers, each sent the whole program. Best of RUNS each (goal:
# the page within 1.05 x the command line), then how soon "Przerwij" ends
# both lines: once while both lines write, once while line b waits for a
# controller that never answers (the reply time-out is 3000 ms).
#
#   bench/site_page_upload.sh [BUILD_DIR] [RUNS]
#
# The page's figure is from the click on "Wyślij" to the end of the run
# (lumera_site_page_bench, offscreen); beside it the whole process, start
# of the window included. The command line's is its whole process.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
runs=${2:-3}
cli=$build/src/cli/lumera-cli
sim=$build/src/sim/lumera-sim
page=$build/bench/lumera_site_page_bench
for program in "$cli" "$sim" "$page"; do
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
export XDG_CONFIG_HOME=$work/xdg QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_CONFIG_HOME"
cd "$work"

devices=()
start_sim() {  # name numbers...
  local name=$1 numbers=$2 states=()
  for n in ${numbers//,/ }; do states+=(--state "$name-$n.img"); done
  "$sim" --number "$numbers" "${states[@]}" --baud 38400 >"$name.out" &
  sims+=($!)
  for _ in $(seq 50); do [[ -s $name.out ]] && break; sleep 0.1; done
  devices+=("$(cut -d' ' -f1 "$name.out")")
}
start_sim a 1,2
start_sim b 3,4,5

# A program of 40 commands in segment 1; the upload writes segments 1 to 9.
python3 - <<'PY'
image = bytearray(b"\xff" * 7714)
for k in range(40):
    image[3 * k:3 * k + 3] = bytes([k % 45, k, 3])
open("p.prg", "wb").write(image)
PY
printf '[line a]\nport = %s\ncontrollers = 1-2\nprogram = p.prg\n[line b]\nport = %s\ncontrollers = 3-5\nprogram = p.prg\n' \
  "${devices[0]}" "${devices[1]}" >hala.site
# Line b's first controller never answers.
printf '[line a]\nport = %s\ncontrollers = 1-2\nprogram = p.prg\n[line b]\nport = %s\ncontrollers = 9, 3\nprogram = p.prg\n' \
  "${devices[0]}" "${devices[1]}" >cisza.site

now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
least() { printf '%s\n' "$@" | sort -g | head -1; }

# Untimed: the controllers' first program, and the files in the cache.
"$cli" site hala.site upload --yes >/dev/null 2>&1 || true

cli_times=() page_times=() page_process_times=()
for ((r = 0; r < runs; r++)); do
  start=$(now)
  "$cli" site hala.site upload --yes >cli.out 2>&1 ||
    { echo "lumera-cli site upload failed" >&2; cat cli.out >&2; exit 1; }
  cli_times+=("$(seconds "$start" "$(now)")")
  grep -q 'zweryfikowany' cli.out

  start=$(now)
  out=$("$page" hala.site 2>/dev/null)
  page_process_times+=("$(seconds "$start" "$(now)")")
  page_times+=("$(awk '/^run_ms/ { printf "%.3f", $2 / 1000 }' <<<"$out")")
done

cli_best=$(least "${cli_times[@]}")
page_best=$(least "${page_times[@]}")
process_best=$(least "${page_process_times[@]}")
echo "site upload, 2 + 3 controllers on two lines at 38400 baud, best of $runs (interleaved)"
printf '  %-44s %8s s   (%s)\n' "lumera-cli site hala.site upload --yes" \
  "$cli_best" "${cli_times[*]}"
printf '  %-44s %8s s   (%s)\n' "page: click on Wyślij to the end of the run" \
  "$page_best" "${page_times[*]}"
printf '  %-44s %8s s   (%s)\n' "page: whole process, window start included" \
  "$process_best" "${page_process_times[*]}"
awk -v p="$page_best" -v w="$process_best" -v c="$cli_best" 'BEGIN {
  printf "  page / command line: %.3f (run), %.3f (whole process); goal <= 1.05\n",
         p / c, w / c }'

abort_busy=() abort_silent=()
for ((r = 0; r < runs; r++)); do
  abort_busy+=("$("$page" hala.site --abort-after 1500 2>/dev/null |
                  awk '/^abort_ms/ { print $2 }')")
  abort_silent+=("$("$page" cisza.site --abort-after 500 2>/dev/null |
                    awk '/^abort_ms/ { print $2 }')")
done
echo "Przerwij until both lines have ended (ms; goal <= 500)"
printf '  %-44s %s\n' "both lines writing:" "${abort_busy[*]}"
printf '  %-44s %s\n' "line b waiting for a silent controller:" \
  "${abort_silent[*]}"
