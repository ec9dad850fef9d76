#!/usr/bin/env bash
# Runs a program of the Windows build under wine: the cross-compiling
# emulator of the windows-app preset, through which ctest runs the QtTest
# programs, and the runner of the window's end-to-end test.
#
#   tests/wine/run_under_wine.sh QT_BIN PROGRAM.exe [ARGS...]
#
# The DLLs come from QT_BIN and the mingw runtime's folders. Wine drops the
# environment's QT_* variables, so they are passed on as WINEQT_*. Without a
# WINEPREFIX the prefix is one of the build's own, made on first use beside
# the build's CMakeCache.txt.
set -uo pipefail

qt_bin=${1:?QT_BIN}
program=$(realpath -m "${2:?PROGRAM}")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/wine/wine_prefix.sh
source "$here/wine_prefix.sh"
WINE=$(wine_program) || { echo "wine is not installed" >&2; exit 1; }

if [[ -z ${WINEPREFIX:-} ]]; then
  build=$(dirname "$program")
  while [[ $build != / && ! -f $build/CMakeCache.txt ]]; do
    build=$(dirname "$build")
  done
  export WINEPREFIX=$build/wine-prefix
  # One first start for the parallel tests.
  exec 9>"$build/wine-prefix.lock"
  flock 9
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    "$WINE" wineboot -i >/dev/null 2>&1 ||
      { echo "cannot make the wine prefix $WINEPREFIX" >&2; exit 1; }
  fi
  flock -u 9
fi

compiler=x86_64-w64-mingw32-g++-posix
runtime=$(dirname "$($compiler -print-file-name=libstdc++-6.dll)")
# Wine's drive Z: is the root folder.
winpath() { echo "Z:${1//\//\\}"; }
WINEPATH="$(winpath "$qt_bin");$(winpath "$runtime");$(winpath /usr/x86_64-w64-mingw32/lib)"
export WINEPATH

while IFS='=' read -r name _; do
  [[ $name == QT_* ]] && export "WINE$name=${!name}"
done < <(env)
# With no console window Qt and QtTest would write to the debugger only.
export WINEQT_FORCE_STDERR_LOGGING=1
# The offscreen platform draws with the fonts of one folder: sans faces
# with Polish letters.
if [[ ${QT_QPA_PLATFORM:-} == offscreen && -z ${QT_QPA_FONTDIR:-} ]]; then
  WINEQT_QPA_FONTDIR=$(winpath /usr/share/fonts/truetype/dejavu)
  export WINEQT_QPA_FONTDIR
fi

exec "$WINE" "$program" "$@"
