#!/bin/sh
# Runs a Windows program under Wine:
#
#   scripts/wine-run.sh [--prefix DIR] PROGRAM [ARGUMENT...]
#   scripts/wine-run.sh [--prefix DIR] --prepare     only create the prefix
#
# DIR (default: $WINEPREFIX) is the Wine prefix, created on first use; when
# several programs start at once, one creates it and the others wait. The
# Windows builds use this script to run their tests (CMake's
# CMAKE_CROSSCOMPILING_EMULATOR), each with a prefix in its build folder.
#
# Only the 64-bit loader of Debian's wine64 package is used, directly: these
# machines cannot run 32-bit programs, and the "wine" wrapper would pick the
# 32-bit loader when one is installed.
set -eu
if [ "${1:-}" = --prefix ]; then
  WINEPREFIX=$2
  shift 2
fi
: "${WINEPREFIX:?set WINEPREFIX or pass --prefix DIR}"
case $WINEPREFIX in
  /*) ;;
  *) WINEPREFIX=$(pwd)/$WINEPREFIX ;;
esac
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko: nothing here needs them, and a fresh prefix would offer
# to download them.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
wine=${VANTREL_WINE:-/usr/lib/wine/wine64}
if [ ! -x "$wine" ]; then
  echo "wine-run.sh: $wine not found (apt-get install wine64)" >&2
  exit 127
fi

ready=$WINEPREFIX/.vantrel-ready
if [ ! -e "$ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -e "$ready" ]; then
      "$wine" wineboot -i >/dev/null 2>&1 || {
        echo "wine-run.sh: wineboot failed in $WINEPREFIX" >&2
        exit 1
      }
      # Debian's Wine does not find its own fonts (among them the bitmap
      # "MS Sans Serif" the program's controls use) unless they are in the
      # prefix's Fonts folder.
      fonts=$WINEPREFIX/drive_c/windows/Fonts
      mkdir -p "$fonts"
      cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
      # The in-process window tests open and close many windows; with no
      # window manager, Wine would wait two seconds at each for one to
      # answer. Wine manages their windows itself instead.
      "$wine" reg add 'HKCU\Software\Wine\AppDefaults\win32_window_tests.exe\X11 Driver' \
        /v Managed /d N /f >/dev/null 2>&1 || true
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# While the build's Wine session runs (scripts/wine-session.sh), its X
# server is the display of every program.
session=$(dirname "$WINEPREFIX")/wine-session
if [ -s "$session/display" ]; then
  DISPLAY=":$(cat "$session/display")"
  export DISPLAY
fi
if [ "${1:-}" = --prepare ]; then
  exit 0
fi
exec "$wine" "$@"
