#!/usr/bin/env bash
# lumera-cli.exe under wine against lumera-sim on a pseudo-terminal: the
# Windows serial port, port discovery and program files end to end.
#
#   tests/wine/cli_wine_test.sh LUMERA_CLI_EXE LUMERA_SIM
#
# Exits 77 (skipped) when wine or the Windows build is missing.
set -uo pipefail

exe=$(realpath -m "${1:?lumera-cli.exe}")
sim=$(realpath -m "${2:?lumera-sim}")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wine/wine_prefix.sh
source "$here/wine_prefix.sh"

if ! wine_program >/dev/null; then
  echo "skipped: wine not installed"
  exit 77
fi
if [[ ! -f $exe ]]; then
  echo "skipped: no Windows build ($exe)"
  exit 77
fi

work=$(mktemp -d)
sim_pid=
cleanup() {
  stop_sim
  stop_wine_prefix
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/xdg
mkdir -p "$XDG_CONFIG_HOME" "$work/run"
set_com_line_folder "$work"

# shellcheck source=tests/tools/checks.sh
source "$here/../tools/checks.sh"

start_sim() {  # start_sim ARGS...: a virtual controller on COM23's line
  "$sim" "$@" >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
  local device
  device=$(sed -n '1s/ .*//p' "$work/sim.out")
  [[ -n $device ]] || { cat "$work/sim.err" >&2; return 1; }
  point_com_line "$device"
}

stop_sim() {
  if [[ -n $sim_pid ]]; then
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
  fi
  sim_pid=
}

# cli ARGS...: runs lumera-cli.exe in the run folder; sets rc, out, err.
cli() {
  (cd "$work/run" && "$WINE" "$exe" "$@" >"$work/cli.out" 2>"$work/cli.err")
  rc=$?
  # A Windows console program ends its lines with CR LF.
  out=$(tr -d '\r' <"$work/cli.out")
  err=$(tr -d '\r' <"$work/cli.err")
}

ok="Operacja zakończona pomyślnie."
port=(--port "$WINE_COM_NUMBER")

# A program whose segments 1 to 9 hold every command code with parameters
# over the whole byte range (CR, LF and Ctrl-Z among them, which a file
# opened in text mode would mangle), an empty segment 10, and a
# configuration of varied bytes for controller number 1, with its marker.
make_program() {
  local i
  for ((i = 0; i < 9 * 255; i++)); do
    printf -v bytes '\\x%02x\\x%02x\\x%02x' $((i % 45)) $((i * 7 % 256)) \
      $((i * 13 % 256))
    printf '%b' "$bytes"
  done
  for ((i = 0; i < 255; i++)); do printf '\xff\xff\xff'; done
  printf '\x01'
  for ((i = 1; i < 31; i++)); do
    printf -v bytes '\\x%02x' $((i * 37 % 256))
    printf '%b' "$bytes"
  done
  printf 'K'
  for ((i = 0; i < 32; i++)); do
    printf -v bytes '\\x%02x' $((i * 11 % 256))
    printf '%b' "$bytes"
  done
}
make_program >"$work/run/full.prg"
check "program size" 7714 "$(stat -c %s "$work/run/full.prg")"
# Segment 3, command 17 (bytes 1578..1580) holds 01 02 03.
printf '\x01\x02\x03' | dd of="$work/run/full.prg" bs=1 seek=1578 conv=notrunc 2>/dev/null
program_bytes=$((9 * 255 * 3))

# The mount manager takes a port only when its line is a serial device at
# the prefix's first start, so the controller runs before the prefix is made.
start_sim --number 1 || exit 1
if ! make_wine_prefix "$work"; then
  echo "FAIL: could not make a wine prefix with COM$WINE_COM_NUMBER" >&2
  exit 1
fi

# Port discovery: the system's device names list COM23 (above 9, so the
# device namespace prefix is what reaches it).
cli ports
check "ports: exit" 0 "$rc"
check "ports: COM$WINE_COM_NUMBER listed" 1 "$(grep -cx "COM$WINE_COM_NUMBER" <<<"$out")"

# Upload, download into a new file, verify.
cli "${port[@]}" upload full.prg
check "upload: exit" 0 "$rc"
check "upload: status" "$ok" "$out"
cli "${port[@]}" download back.prg
check "download: exit" 0 "$rc"
check "download: status" "$ok" "$out"
check "download: segments 1 to 9 as uploaded" \
  "$(head -c $program_bytes "$work/run/full.prg" | od -An -tx1 | md5sum)" \
  "$(head -c $program_bytes "$work/run/back.prg" 2>/dev/null | od -An -tx1 | md5sum)"
check "download: file size" 7714 "$(stat -c %s "$work/run/back.prg" 2>/dev/null)"
# Into a file that exists: replaced as a whole, in one step.
head -c 7714 /dev/zero >"$work/run/old.prg"
cli "${port[@]}" download old.prg
check "download over a file: exit" 0 "$rc"
check "download over a file: segments 1 to 9" \
  "$(head -c $program_bytes "$work/run/full.prg" | od -An -tx1 | md5sum)" \
  "$(head -c $program_bytes "$work/run/old.prg" | od -An -tx1 | md5sum)"
# A read-only file is not replaced.
head -c 7714 /dev/zero >"$work/run/locked.prg"
chmod a-w "$work/run/locked.prg"
cli "${port[@]}" download locked.prg
check "download over a read-only file: exit" 1 "$rc"
check "download over a read-only file: unchanged" \
  "$(head -c 7714 /dev/zero | md5sum)" "$(md5sum <"$work/run/locked.prg")"
cli "${port[@]}" verify full.prg
check "verify same: exit" 0 "$rc"
check "verify same: status" "$ok" "$out"
cp "$work/run/full.prg" "$work/run/diff.prg"
printf '\x04' | dd of="$work/run/diff.prg" bs=1 seek=1580 conv=notrunc 2>/dev/null
cli "${port[@]}" verify diff.prg
check "verify difference: exit" 1 "$rc"
check "verify difference: text" "Błąd weryfikacji: 3/17= [01.02.03] hex" "$err"

# The configuration: written from one file, read back into a new one.
cli "${port[@]}" config write full.prg
check "config write: exit" 0 "$rc"
cli "${port[@]}" config read conf.prg
check "config read: exit" 0 "$rc"
check "config read: output" "$ok"$'\n'"Wersja: 1.0" "$out"
check "config read: the 64 bytes written" \
  "$(tail -c 64 "$work/run/full.prg" | od -An -tx1)" \
  "$(tail -c 64 "$work/run/conf.prg" 2>/dev/null | od -An -tx1)"

# The port and controller number from the settings file, as Windows
# editors write it (CR LF).
printf '[Config]\r\nPort=%d\r\nDevice=1\r\n' "$WINE_COM_NUMBER" >"$work/run/Lumera.ini"
cli version
check "settings file: exit" 0 "$rc"
check "settings file: output" "$ok"$'\n'"Wersja: 1.0" "$out"
rm "$work/run/Lumera.ini"

# A controller that does not answer: the read time-out ends the job.
cli "${port[@]}" --device 9 --timeout-ms 300 version
check "silent controller: exit" 1 "$rc"
check "silent controller: text" "Błąd odczytu pakietu: pakiet za krótki !" "$err"
check "silent controller: no output" "" "$out"
cli "${port[@]}" --device 9 --timeout-ms 300 config read silent.prg
check "silent controller: no file" no "$([[ -e $work/run/silent.prg ]] && echo yes || echo no)"

stop_sim

# No such port: the open text and the system's reason with the device name.
cli --port 251 version
check "missing port: exit" 1 "$rc"
check "missing port: text" "Błąd otwarcia portu !" "$(head -n 1 <<<"$err")"
check "missing port: device named" 1 "$(grep -c 'COM251' <<<"$err")"

# This build has no PDF output.
cli print full.prg --pdf full.pdf
check "print: exit" 1 "$rc"
check "print: text" "Wydruk do PDF nie jest dostępny w tej wersji lumera-cli." "$err"

checks_passed
