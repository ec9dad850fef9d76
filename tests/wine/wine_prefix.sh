# shellcheck shell=bash
# Sourced by the wine test and the wine benchmark: a private wine prefix in
# which COM23 is a serial port whose line the caller points at a
# pseudo-terminal.
#
# Wine lists a port among the system's device names (QueryDosDevice) only
# when its mount manager created it at start-up from the registry key
# HKLM\Software\Wine\Ports; a link dropped into dosdevices/ by hand opens,
# but is not listed. So the key names a fixed link, $WINE_COM_LINE, the
# mount manager makes dosdevices/com23 point at it, and each virtual
# controller re-points that link at its own pseudo-terminal.

export WINEDEBUG=-all
# No Mono or Gecko installer on the first start: a console program needs
# neither, and there is no network to fetch them.
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE_COM_NUMBER=23
WINE_COM_LINE=
WINESERVER=

# The wine loader: Debian's `wine` wrapper, or wine64 alone.
wine_program() {
  if command -v wine >/dev/null 2>&1; then
    command -v wine
  elif [[ -x /usr/lib/wine/wine64 ]]; then
    echo /usr/lib/wine/wine64
  else
    return 1
  fi
}

wine_server() {
  if command -v wineserver >/dev/null 2>&1; then
    command -v wineserver
  else
    echo /usr/lib/wine/wineserver
  fi
}

# make_wine_prefix FOLDER: creates the prefix in FOLDER/prefix and leaves a
# persistent wine server running for it (stop it with stop_wine_prefix).
# The line (set_com_line_folder, point_com_line) must already lead to a
# serial device: the mount manager takes only those.
make_wine_prefix() {
  local folder=$1
  WINE=$(wine_program) || return 1
  WINESERVER=$(wine_server)
  export WINEPREFIX=$folder/prefix
  "$WINE" wineboot -i >/dev/null 2>&1 || return 1
  "$WINE" reg add 'HKLM\Software\Wine\Ports' /v "COM$WINE_COM_NUMBER" \
    /d "$WINE_COM_LINE" /f >/dev/null 2>&1 || return 1
  # The mount manager reads the key when the server starts again. The
  # server keeps no descriptor of the caller's, so it never holds a pipe or
  # an output file of a test open.
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null || return 1
  [[ -L $WINEPREFIX/dosdevices/com$WINE_COM_NUMBER ]]
}

stop_wine_prefix() {
  [[ -n ${WINEPREFIX:-} ]] && "$WINESERVER" -k >/dev/null 2>&1
  return 0
}

# set_com_line_folder FOLDER: where the link that COM23 reaches lives.
set_com_line_folder() {
  WINE_COM_LINE=$1/com$WINE_COM_NUMBER-line
}

# point_com_line DEVICE: COM23 of the prefix now reaches DEVICE.
point_com_line() {
  ln -sfn "$1" "$WINE_COM_LINE"
}
