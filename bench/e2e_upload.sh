#!/usr/bin/env bash
# Times a full upload ("WYŚLIJ") and download ("POBIERZ") with lumera-cli
# against lumera-sim pacing its line at 38400 baud, and sets the times beside
# the wire time of the same bytes (bytes x 10 bits / baud, 8N1).
#
#   bench/e2e_upload.sh [BUILD_DIR] [RUNS] [pty|tcp|rfc2217|LUMERA_CLI_EXE]
#
# With tcp or rfc2217 the command line reaches the simulator's
# pseudo-terminal through ser2net on 127.0.0.1 (raw TCP, or telnet with the
# COM port control option) instead of opening it directly.
#
# BUILD_DIR holds src/cli/lumera-cli and src/sim/lumera-sim (default
# build/release). With LUMERA_CLI_EXE (build/windows/src/cli/lumera-cli.exe)
# the Windows command line runs under wine instead, in a private prefix
# whose COM23 leads to the simulator (see tests/wine/wine_prefix.sh).
# The simulator models the half-duplex line: a request it receives takes its
# line time before the reply starts, and the reply goes out at the line's
# pace, so the floor here is the wire time of all bytes.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
runs=${2:-3}
mode=${3:-pty}
baud=38400
cli=$build/src/cli/lumera-cli
sim=$build/src/sim/lumera-sim
windows_cli=
case $mode in
  pty | tcp | rfc2217) ;;
  *)
    windows_cli=$(realpath -m "$mode")
    cli=$windows_cli
    mode=pty
    ;;
esac
for program in "$cli" "$sim"; do
  [[ -x $program ]] || { echo "missing $program (build it first)" >&2; exit 1; }
done

work=$(mktemp -d)
sim_pid=
server_pid=
source "$root/tools/lib/end_processes.sh"
# No step may stop the rest: `wait` on a server ended by a signal fails.
cleanup() {
  end_processes $server_pid $sim_pid
  if [[ -n $windows_cli ]] && declare -F stop_wine_prefix >/dev/null; then
    stop_wine_prefix || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/xdg
mkdir -p "$XDG_CONFIG_HOME"
cd "$work"

# A full program: segments 1 to 9 of 255 commands (code 1, parameters 1, 5),
# segment 10 empty, then 64 configuration bytes.
{
  for ((i = 0; i < 9 * 255; i++)); do printf '\x01\x01\x05'; done
  for ((i = 0; i < 255; i++)); do printf '\xff\xff\xff'; done
  printf '\x01'; head -c 30 /dev/zero; printf 'K'; head -c 32 /dev/zero
} > full.prg
[[ $(stat -c %s full.prg) -eq 7714 ]] || { echo "bad program size" >&2; exit 1; }

"$sim" --baud "$baud" > sim.out 2> sim.err &
sim_pid=$!
for _ in $(seq 50); do [[ -s sim.out ]] && break; sleep 0.1; done
port=$(sed -n 's/.* COM\([0-9]*\)$/\1/p' sim.out)
[[ -n $port ]] || { echo "lumera-sim did not start" >&2; cat sim.err >&2; exit 1; }
command=("$cli")
if [[ -n $windows_cli ]]; then
  source "$root/tests/wine/wine_prefix.sh"
  set_com_line_folder "$work"
  point_com_line "$(sed -n '1s/ .*//p' sim.out)"
  make_wine_prefix "$work" || { echo "no wine prefix" >&2; exit 1; }
  port=$WINE_COM_NUMBER
  command=("$WINE" "$cli")
fi

if [[ $mode != pty ]]; then
  device=$(cut -d' ' -f1 sim.out)
  tcp_port=
  for candidate in $(seq 24100 24199); do
    if ! (echo >/dev/tcp/127.0.0.1/"$candidate") 2>/dev/null; then
      tcp_port=$candidate
      break
    fi
  done
  accepter="tcp,127.0.0.1,$tcp_port"
  [[ $mode == rfc2217 ]] && accepter="telnet(rfc2217),$accepter"
  cat > ser2net.yaml <<YAML
connection: &line
  accepter: $accepter
  connector: serialdev,$device,38400n81,local
  options:
    kickolduser: true
    chardelay: false
YAML
  ser2net -n -d -c ser2net.yaml > ser2net.log 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do
    (echo >/dev/tcp/127.0.0.1/"$tcp_port") 2>/dev/null && break
    sleep 0.1
  done
  port=$mode:127.0.0.1:$tcp_port
fi

now() { date +%s.%N; }
run() {  # prints the seconds one command took
  local start end
  start=$(now)
  "${command[@]}" --port "$port" "$@" > /dev/null
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

# Requests are payload + 6 bytes, replies their whole frame (R).
commands=$((9 * 255))
upload_requests=$((6 + commands * 11 + 6))    # Stop, WriteCommand x, Restart
upload_replies=$((6 + commands * 6))           # Restart is not answered
download_requests=$((6 + commands * 8 + 6))    # Pause, ReadCommand x, Resume
download_replies=$((6 + commands * 9 + 6))

report() {  # name requests replies times...
  local name=$1 requests=$2 replies=$3
  shift 3
  awk -v name="$name" -v rq="$requests" -v rp="$replies" -v baud="$baud" \
      -v times="$*" 'BEGIN {
    n = split(times, t, " "); best = t[1]; sum = 0
    for (i = 1; i <= n; i++) { sum += t[i]; if (t[i] < best) best = t[i] }
    wire = (rq + rp) * 10 / baud
    printf "%-8s bytes %d (requests %d + replies %d)\n", name, rq + rp, rq, rp
    printf "         measured best %.3f s, mean %.3f s over %d runs\n", best, sum / n, n
    printf "         wire time of the same bytes %.3f s; measured / wire = %.3f\n", wire, best / wire
  }'
}

upload_times=()
download_times=()
for ((r = 0; r < runs; r++)); do
  upload_times+=("$(run upload full.prg)")
  rm -f back.prg back.cmt
  download_times+=("$(run download back.prg)")
  cmp -s <(head -c 6885 full.prg) <(head -c 6885 back.prg) ||
    { echo "downloaded program differs" >&2; exit 1; }
done
echo "$(basename "$cli") against lumera-sim --baud $baud, $runs runs"
report upload "$upload_requests" "$upload_replies" "${upload_times[@]}"
report download "$download_requests" "$download_replies" "${download_times[@]}"
