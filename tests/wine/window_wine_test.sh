#!/usr/bin/env bash
# The Windows editor's main window under wine against lumera-sim, on a
# virtual X server: window_wine_test.exe (tests/wine/window/) uploads a
# commented program with "WYŚLIJ", reads it back with "POBIERZ" into an
# empty window and prints it with "DRUKUJ" to a PDF; then the controller's
# memory, which lumera-sim saves when it ends, must hold the program and the
# PDF's text the listing's rows. The same build's lumera-cli.exe prints the
# commented program to a PDF too.
#
#   tests/wine/window_wine_test.sh WINDOW_WINE_TEST_EXE LUMERA_CLI_EXE \
#                                  LUMERA_SIM LUMERA_CLI
#
# LUMERA_CLI (the host's) writes the expected listings. Exits 77 (skipped)
# when wine, the Qt for Windows or the Windows build is missing.
set -uo pipefail

exe=$(realpath -m "${1:?window_wine_test.exe}")
cli_exe=$(realpath -m "${2:?lumera-cli.exe}")
sim=$(realpath -m "${3:?lumera-sim}")
cli=$(realpath -m "${4:?lumera-cli}")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wine/wine_prefix.sh
source "$here/wine_prefix.sh"

if ! wine_program >/dev/null; then
  echo "skipped: wine not installed"
  exit 77
fi
# The Qt the build used: as its toolchain file finds it.
if ! qt=${LUMERA_WINDOWS_QT:-$("$here/../../tools/windows-qt" --prefix 2>/dev/null)}; then
  echo "skipped: no Qt for Windows (tools/windows-qt)"
  exit 77
fi
qt_bin=$qt/bin
if [[ ! -f $exe || ! -f $cli_exe ]]; then
  echo "skipped: no Windows build of the editor ($exe)"
  exit 77
fi
if [[ -z ${LUMERA_WINE_TEST_DISPLAY:-} ]]; then
  LUMERA_WINE_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x800x24" \
    "$0" "$@"
fi

work=$(mktemp -d)
sim_pid=
cleanup() {
  if [[ -n $sim_pid ]]; then
    kill "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
  fi
  stop_wine_prefix
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/run"
# The window runs on the X server, not offscreen.
unset QT_QPA_PLATFORM
set_com_line_folder "$work"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

python3 "$here/full_program.py" "$work/run/program.prg"
printf '[Config]\r\nPort=%d\r\nDevice=1\r\n' "$WINE_COM_NUMBER" \
  >"$work/run/Lumera.ini"

# The controller starts empty and saves its memory when it ends.
"$sim" --number 1 --state "$work/controller.img" >"$work/sim.out" \
  2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
device=$(sed -n '1s/ .*//p' "$work/sim.out")
[[ -n $device ]] || fail "lumera-sim did not start: $(cat "$work/sim.err")"
point_com_line "$device"
make_wine_prefix "$work" || fail "no wine prefix with COM$WINE_COM_NUMBER"

for case in UploadsTheCommandLineProgram ReadsBackAndPrints; do
  (cd "$work/run" && "$here/run_under_wine.sh" "$qt_bin" "$exe" "$case") ||
    fail "$case"
done

kill "$sim_pid"
wait "$sim_pid"
sim_pid=
program_bytes=$((9 * 255 * 3))
cmp -s <(head -c $program_bytes "$work/run/program.prg") \
  <(head -c $program_bytes "$work/controller.img") ||
  fail "the controller's memory does not hold segments 1 to 9 of the program"

# check_rows PDF PROGRAM: the PDF's text holds the rows of the host's
# listing of PROGRAM, spaces squeezed as pdftotext leaves them.
rows() { grep -E '^[0-9]{3}:' | tr -s ' ' | sed 's/ *$//'; }
check_rows() {
  local expected printed
  expected=$("$cli" list "$2" | rows)
  printed=$(pdftotext "$1" - | rows)
  [[ $(wc -l <<<"$expected") -eq $((9 * 255)) ]] ||
    fail "the host's listing of $2 has $(wc -l <<<"$expected") rows"
  if [[ $printed != "$expected" ]]; then
    diff <(echo "$expected") <(echo "$printed") | head -n 10 >&2
    fail "the rows of $1 differ from the listing"
  fi
}
# The program read back has no comments.
cp "$work/run/program.prg" "$work/bare.prg"
check_rows "$work/run/listing.pdf" "$work/bare.prg"

(cd "$work/run" &&
  "$here/run_under_wine.sh" "$qt_bin" "$cli_exe" print program.prg --pdf cli.pdf \
    >/dev/null) || fail "lumera-cli.exe print --pdf"
check_rows "$work/run/cli.pdf" "$work/run/program.prg"
echo "window under wine: uploaded, read back and printed $((9 * 255)) rows;" \
  "lumera-cli.exe printed them with their comments"
