#!/usr/bin/env bash
# The Windows installer under wine, on a virtual X server: a silent install
# into a chosen folder, the Start-menu entry starting the installed editor
# in the user's own Lumera folder (made when missing) with its main window
# on the screen, and the uninstaller removing it all again.
#
#   tests/wine/installer_wine_test.sh SETUP_EXE [SCREENSHOT.png]
#
# SCREENSHOT.png keeps the picture of the main window. Exits 77 (skipped)
# when wine or the installer is missing.
set -uo pipefail

setup=$(realpath -m "${1:?lumera-<version>-win64-setup.exe}")
shot=${2:+$(realpath -m "$2")}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wine/wine_prefix.sh
source "$here/wine_prefix.sh"

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
passed=0
failed=0
check() {  # check NAME EXPECTED ACTUAL
  if [[ $2 == "$3" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3" >&2
  fi
}
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

"$WINE" wineboot -i >/dev/null 2>&1 || { echo "FAIL: no wine prefix" >&2; exit 1; }
drive=$WINEPREFIX/drive_c
folder=$drive/Lumera

"$WINE" "$setup" /S '/D=C:\Lumera' >/dev/null 2>&1
check "installer: exit" 0 "$?"
for file in lumera.exe lumera-cli.exe Uninstall.exe Qt6Core.dll Qt6Gui.dll \
  Qt6Widgets.dll Qt6PrintSupport.dll libstdc++-6.dll libgcc_s_seh-1.dll \
  libwinpthread-1.dll qt.conf platforms/qwindows.dll \
  styles/qwindowsvistastyle.dll translations/qtbase_pl.qm; do
  check "installed: $file" yes "$(exists "$folder/$file")"
done
link=$(find "$drive" -path '*Start Menu/Programs/Lumera/Lumera.lnk' | head -n 1)
check "Start-menu entry" yes "$(exists "$link")"

# The entry, as the desktop starts it: the user's Lumera folder is made and
# the settings file of the first start lands there.
profile=$(find "$drive/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
check "no Lumera folder before the first start" no "$(exists "$profile/Lumera")"
windows_link=$("$WINE" winepath -w "$link" 2>/dev/null)
"$WINE" start "$windows_link" >/dev/null 2>&1
main_window() {
  xwininfo -root -tree | grep -F '"Edytor programu sterownika [AVR 1.0]"' |
    grep -v ' 1x1+' | head -n 1
}
window_shown() { [[ -n $(main_window) ]]; }
window_gone() { [[ -z $(main_window) ]]; }
wait_for 60 window_shown
window=$(main_window)
check "main window shown" yes "$([[ -n $window ]] && echo yes || echo no)"
check "settings file in the user's Lumera folder" yes \
  "$(exists "$profile/Lumera/Lumera.ini")"
if [[ -n $window ]]; then
  id=$(awk '{ print $1 }' <<<"$window")
  # Settle the first paint.
  sleep 2
  import -window "$id" "$work/window.png" 2>/dev/null
  read -r width height colours < <(identify -format '%w %h %k\n' "$work/window.png")
  # The main window as laid out (1020 x 640 under wine): the pages, the
  # grid and the boxes below it, not a bare default window.
  check "screenshot: the main window's size, at least 800 x 450" yes \
    "$( ((width >= 800 && height >= 450)) && echo yes || echo no)"
  check "screenshot: not blank" yes "$( ((colours >= 16)) && echo yes || echo no)"
  [[ -n $shot ]] && cp "$work/window.png" "$shot"
fi
"$WINE" taskkill /IM lumera.exe >/dev/null 2>&1
wait_for 30 window_gone
check "window closed" "" "$(main_window)"

# The uninstaller runs on from a copy of itself; wait for it to finish.
"$WINE" 'C:\Lumera\Uninstall.exe' /S >/dev/null 2>&1
wait_for 60 test ! -e "$folder"
"$WINESERVER" -w
check "uninstalled: program folder" no "$(exists "$folder")"
check "uninstalled: Start-menu entry" no "$(exists "$link")"
check "uninstalled: the user's folder kept" yes "$(exists "$profile/Lumera/Lumera.ini")"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
