#!/usr/bin/env bash
# The Windows installer under wine, on a virtual X server:
# - where another program already opens .prg files, an install driven
#   through its Polish pages by keys (its first page and its last one
#   pictured) leaves that program the default and puts Lumera on the
#   files' "Open with" list; the uninstaller takes back only Lumera's entry;
# - a silent install into a chosen folder: every file, the Start-menu and
#   desktop entries, and .prg files registered to open in Lumera with its
#   icon; the Start-menu entry starts the editor in the user's own Lumera
#   folder (made when missing); `start` of a program file opens it in the
#   grid, its name kept in that folder's settings; the uninstaller removes
#   the program, its entries and the registration, and keeps that folder.
#
#   tests/wine/installer_wine_test.sh SETUP_EXE [PICTURES_DIR]
#
# PICTURES_DIR keeps installer-first-page.png, installer-last-page.png and
# window.png. Exits 77 (skipped) when wine or the installer is missing.
set -uo pipefail

setup=$(realpath -m "${1:?lumera-<version>-win64-setup.exe}")
pictures=${2:+$(realpath -m "$2")}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wine/wine_prefix.sh
source "$here/wine_prefix.sh"
# shellcheck source=tests/tools/opened_program.sh
source "$here/../tools/opened_program.sh"

if ! WINE=$(wine_program); then
  echo "skipped: wine not installed"
  exit 77
fi
if [[ ! -f $setup ]]; then
  echo "skipped: no installer ($setup)"
  exit 77
fi
if [[ -z ${LUMERA_WINE_TEST_DISPLAY:-} ]]; then
  LUMERA_WINE_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x800x24" \
    "$0" "$@"
fi

work=$(mktemp -d)
WINESERVER=$(wine_server)
cleanup() {
  stop_wine_prefix
  rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX=$work/prefix
[[ -n $pictures ]] && mkdir -p "$pictures"
# shellcheck source=tests/tools/checks.sh
source "$here/../tools/checks.sh"
exists() { [[ -e $1 ]] && echo yes || echo no; }
# wait_for SECONDS COMMAND...: until COMMAND succeeds; false on a time-out.
wait_for() {
  local tries=$(($1 * 10))
  shift
  while ((tries-- > 0)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# window_named TITLE: the id of the shown window of that title.
window_named() {
  xwininfo -root -tree | grep -F "\"$1\"" | grep -v ' 1x1+' | head -n 1 |
    awk '{ print $1 }'
}
shown() { [[ -n $(window_named "$1") ]]; }
gone() { [[ -z $(window_named "$1") ]]; }
# The registry as Windows' own reg reads it back.
reg_default() {  # reg_default KEY: the key's default value; "-" for no key
  local out
  out=$("$WINE" reg query "$1" /ve 2>/dev/null) || { echo -; return; }
  sed -n 's/^ *(Default) *REG_SZ *//p' <<<"${out//$'\r'/}"
}
reg_has() {  # reg_has KEY VALUE_NAME: yes or no
  "$WINE" reg query "$1" /v "$2" >/dev/null 2>&1 && echo yes || echo no
}
# close_editor: as the window's close box does; a window still there after
# that (a question left open) is a failure, and the program is ended.
close_editor() {
  "$WINE" taskkill /IM lumera.exe >/dev/null 2>&1
  wait_for 30 gone "$editor_title"
  check "window closed, nothing asked" "" "$(window_named "$editor_title")"
  "$WINE" taskkill /F /IM lumera.exe >/dev/null 2>&1
  "$WINESERVER" -w
}
uninstall() {  # uninstall FOLDER: the uninstaller runs on from a copy of itself
  "$WINE" "$(winepath_of "$1")\\Uninstall.exe" /S >/dev/null 2>&1
  wait_for 60 test ! -e "$1"
  "$WINESERVER" -w
}
winepath_of() { "$WINE" winepath -w "$1" 2>/dev/null; }

"$WINE" wineboot -i >/dev/null 2>&1 || { echo "FAIL: no wine prefix" >&2; exit 1; }
drive=$WINEPREFIX/drive_c
progid=Lumera.Program

# Another program's .prg files, with a value and an "Open with" entry of its
# own, all of which must stay as they are.
"$WINE" reg add 'HKCR\.prg' /ve /d Inny.Program /f >/dev/null 2>&1
"$WINE" reg add 'HKCR\.prg' /v 'Content Type' /d application/x-inny /f >/dev/null 2>&1
"$WINE" reg add 'HKCR\.prg\OpenWithProgids' /v Inny.Program /d '' /f >/dev/null 2>&1
"$WINE" reg add 'HKCR\Inny.Program\shell\open\command' /ve /d 'notepad.exe "%1"' /f >/dev/null 2>&1

# The pages, as a person goes through them: Enter takes the default button
# ("Dalej >", "Zainstaluj", "Zakończ").
setup_title="Instalator Lumera"
"$WINE" "$setup" >/dev/null 2>&1 &
wait_for 60 shown "$setup_title"
page=$(window_named "$setup_title")
check "installer's first page, titled in Polish" yes "$([[ -n $page ]] && echo yes || echo no)"
if [[ -n $page ]]; then
  sleep 1
  [[ -n $pictures ]] && import -window "$page" "$pictures/installer-first-page.png"
  for _ in 1 2 3 4; do
    xdotool key Return
    sleep 1
  done
  wait_for 60 test -e "$drive/Program Files/Lumera/Uninstall.exe"
  sleep 1
  [[ -n $pictures ]] && import -window "$page" "$pictures/installer-last-page.png"
  xdotool key Return
  wait_for 30 gone "$setup_title"
fi
"$WINESERVER" -w
folder="$drive/Program Files/Lumera"
check "installed through the pages" yes "$(exists "$folder/lumera.exe")"
check "another program's .prg: still its default" Inny.Program "$(reg_default 'HKCR\.prg')"
check "another program's .prg: Lumera to open them with" yes \
  "$(reg_has 'HKCR\.prg\OpenWithProgids' "$progid")"
uninstall "$folder"
check "another program's .prg: its default kept" Inny.Program "$(reg_default 'HKCR\.prg')"
check "another program's .prg: its value kept" yes "$(reg_has 'HKCR\.prg' 'Content Type')"
check "another program's .prg: its \"Open with\" entry kept" yes \
  "$(reg_has 'HKCR\.prg\OpenWithProgids' Inny.Program)"
check "another program's .prg: Lumera's entry taken back" no \
  "$(reg_has 'HKCR\.prg\OpenWithProgids' "$progid")"
check "another program's .prg: Lumera's type taken back" - "$(reg_default "HKCR\\$progid")"
"$WINE" reg delete 'HKCR\.prg' /f >/dev/null 2>&1
"$WINE" reg delete 'HKCR\Inny.Program' /f >/dev/null 2>&1

# The silent install, where no program opens .prg files.
folder=$drive/Lumera
"$WINE" "$setup" /S '/D=C:\Lumera' >/dev/null 2>&1
check "installer: exit" 0 "$?"
for file in lumera.exe lumera-cli.exe Uninstall.exe Qt6Core.dll Qt6Gui.dll \
  Qt6Widgets.dll Qt6PrintSupport.dll libstdc++-6.dll libgcc_s_seh-1.dll \
  libwinpthread-1.dll qt.conf platforms/qwindows.dll \
  styles/qwindowsvistastyle.dll translations/qtbase_pl.qm; do
  check "installed: $file" yes "$(exists "$folder/$file")"
done
menu=$(find "$drive" -path '*Start Menu/Programs/Lumera' | head -n 1)
link=$menu/Lumera.lnk
desktop_link=$(find "$drive/users" -path '*/Desktop/Lumera.lnk' | head -n 1)
check "Start-menu entry" yes "$(exists "$link")"
check "Start-menu uninstaller" yes "$(exists "$menu/Odinstaluj Lumerę.lnk")"
check "desktop entry" yes "$(exists "$desktop_link")"
check ".prg opens in Lumera" "$progid" "$(reg_default 'HKCR\.prg')"
check ".prg: Lumera to open them with" yes "$(reg_has 'HKCR\.prg\OpenWithProgids' "$progid")"
check ".prg: a double click's command" '"C:\Lumera\lumera.exe" --own-folder "%1"' \
  "$(reg_default "HKCR\\$progid\\shell\\open\\command")"
check ".prg: the program's icon" 'C:\Lumera\lumera.exe,0' \
  "$(reg_default "HKCR\\$progid\\DefaultIcon")"

# The Start-menu entry, as the desktop starts it: the user's Lumera folder
# is made and the settings file of the first start lands there.
editor_title="Edytor programu sterownika [AVR 1.0]"
profile=$(find "$drive/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
check "no Lumera folder before the first start" no "$(exists "$profile/Lumera")"
"$WINE" start "$(winepath_of "$link")" >/dev/null 2>&1
wait_for 60 shown "$editor_title"
window=$(window_named "$editor_title")
check "main window shown" yes "$([[ -n $window ]] && echo yes || echo no)"
check "settings file in the user's Lumera folder" yes \
  "$(exists "$profile/Lumera/Lumera.ini")"
if [[ -n $window ]]; then
  sleep 2  # the first paint
  import -window "$window" "$work/window.png" 2>/dev/null
  read -r width height colours < <(identify -format '%w %h %k\n' "$work/window.png")
  # The main window as laid out, not a bare default window.
  check "screenshot: the main window's size, at least 800 x 450" yes \
    "$( ((width >= 800 && height >= 450)) && echo yes || echo no)"
  check "screenshot: not blank" yes "$( ((colours >= 16)) && echo yes || echo no)"
fi
close_editor

# A program file started as a double click starts it.
mkdir -p "$drive/programy"
write_marked_program "$drive/programy/Pompa 1.prg"
"$WINE" start 'C:\programy\Pompa 1.prg' >/dev/null 2>&1
wait_for 60 shown "$editor_title"
window=$(window_named "$editor_title")
check "a program file started: main window shown" yes \
  "$([[ -n $window ]] && echo yes || echo no)"
if [[ -n $window ]]; then
  wait_for 20 marked_rows_shown "$window" "$work/window.png"
  check "a program file started: its rows in the grid" yes \
    "$(marked_rows_shown "$window" "$work/window.png" && echo yes || echo no)"
  [[ -n $pictures ]] && cp "$work/window.png" "$pictures/window.png"
fi
# Closing keeps the file's name in the user's settings.
close_editor
check "a program file started: its name in the user's settings" \
  'File=C:\programy\Pompa 1.prg' \
  "$(grep '^File=' "$profile/Lumera/Lumera.ini" 2>/dev/null | tr -d '\r')"

uninstall "$folder"
check "uninstalled: program folder" no "$(exists "$folder")"
check "uninstalled: Start-menu entries" no "$(exists "$menu")"
check "uninstalled: desktop entry" no "$(exists "$desktop_link")"
check "uninstalled: .prg's registration" - "$(reg_default 'HKCR\.prg')"
check "uninstalled: Lumera's type" - "$(reg_default "HKCR\\$progid")"
check "uninstalled: the user's folder kept" yes "$(exists "$profile/Lumera/Lumera.ini")"

checks_passed
