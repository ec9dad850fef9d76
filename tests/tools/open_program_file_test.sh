#!/usr/bin/env bash
# A program file opened as a file manager opens it, from the unpacked Debian
# package, on a virtual X server: the package's type names the file, its
# desktop entry is the type's default, and opening the file starts the
# editor in the user's own Lumera folder with the file in the grid and its
# name kept in the settings there.
#
#   tests/tools/open_program_file_test.sh ROOT [SCREENSHOT.png]
#
# ROOT is the package unpacked with dpkg -x. The type and the entry are
# found through data folders of the test's own (XDG_DATA_HOME and
# XDG_DATA_DIRS): nothing system-wide is read from the package or changed.
set -uo pipefail

root=$(realpath "${1:?the unpacked package}")
shot=${2:+$(realpath -m "$2")}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/tools/opened_program.sh
source "$here/opened_program.sh"
source "$here/../../tools/lib/end_processes.sh"
if [[ -z ${LUMERA_OPEN_TEST_DISPLAY:-} ]]; then
  LUMERA_OPEN_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x800x24" \
    "$0" "$@"
fi

work=$(mktemp -d)
app=
cleanup() {
  [[ -n $app ]] && end_processes "$app"
  rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=tests/tools/checks.sh
source "$here/checks.sh"

# The package's data folder, made ready as the package's triggers make the
# system's: the type database and the entries' type cache.
share=$work/share
export XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$share:/usr/share
cp -r "$root/usr/share" "$share"
update-mime-database "$share/mime" >/dev/null
update-desktop-database "$share/applications"
export XDG_CONFIG_HOME=$work/config HOME=$work/home PATH=$root/usr/bin:$PATH
# A file manager starts the editor on the display, whatever platform the
# calling test run chose for its own windows.
unset QT_QPA_PLATFORM
# Without a desktop named, xdg-mime asks file(1), which knows no
# shared-mime-info type; file managers ask the database, as gio does.
export XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$HOME" "$work/programy"

file="$work/programy/Pompa 1.prg"
write_marked_program "$file"
cp "$file" "$work/programy/UPPER.PRG"
cp "$file" "$work/programy/mixed.Prg"
check "type of a .prg" application/x-lumera-program \
  "$(xdg-mime query filetype "$file")"
check "type of a .PRG" application/x-lumera-program \
  "$(xdg-mime query filetype "$work/programy/UPPER.PRG")"
# The editor takes neither ".Prg" nor any other mix from its command line.
check "no type of ours for a .Prg" no \
  "$([[ $(xdg-mime query filetype "$work/programy/mixed.Prg") == application/x-lumera-program ]] && echo yes || echo no)"
check "the type's default" lumera.desktop \
  "$(xdg-mime query default application/x-lumera-program)"

main_window() {
  xwininfo -root -tree | grep -F '"Edytor programu sterownika [AVR 1.0]"' |
    grep -v ' 1x1+' | head -n 1 | awk '{ print $1 }'
}
xdg-open "$file" >"$work/open.log" 2>&1
window=
for _ in $(seq 150); do
  window=$(main_window)
  [[ -n $window ]] && break
  sleep 0.1
done
check "main window shown" yes "$([[ -n $window ]] && echo yes || echo no)"
if [[ -n $window ]]; then
  app=$(xprop -id "$window" _NET_WM_PID | awk '{ print $3 }')
  check "started as the entry says" "lumera --own-folder $file" \
    "$(tr '\0' ' ' <"/proc/$app/cmdline" | sed 's|^[^ ]*/lumera|lumera|; s/ $//')"
  check "works in the user's Lumera folder" "$HOME/Lumera" \
    "$(readlink "/proc/$app/cwd")"
  shown=no
  for _ in $(seq 50); do
    marked_rows_shown "$window" "$work/window.png" && { shown=yes; break; }
    sleep 0.2
  done
  check "the file's rows in the grid" yes "$shown"
  [[ -n $shot ]] && cp "$work/window.png" "$shot"
fi
check "the file's name in the user's settings" "File=$file" \
  "$(grep '^File=' "$HOME/Lumera/Lumera.ini" 2>/dev/null | tr -d '\r')"
check "the first program in the user's Lumera folder" yes \
  "$([[ -s $HOME/Lumera/Prog_001.prg ]] && echo yes || echo no)"
check "nothing written into the home folder" "Lumera" "$(ls "$HOME")"

checks_passed || { cat "$work/open.log" >&2; false; }
