#!/usr/bin/env bash
# Runs a 64-bit Windows program under wine64:  wine-run.sh PROGRAM [ARGS...]
#
# Every program of one build shares one Wine prefix, made on first use in
# the build folder (the nearest folder above PROGRAM holding CMakeCache.txt),
# or $WINEPREFIX when that is set. When the build's Wine session runs
# (wine-session.sh), its X server is the display. Wine's own messages are
# off; the program's exit code is passed on.
set -euo pipefail

program=$1
if [[ -z ${WINEPREFIX:-} ]]; then
  dir=$(cd "$(dirname "$program")" && pwd)
  while [[ $dir != / && ! -f $dir/CMakeCache.txt ]]; do
    dir=$(dirname "$dir")
  done
  [[ -f $dir/CMakeCache.txt ]] || dir=${TMPDIR:-/tmp}/vantrel-wine-$(id -u)
  export WINEPREFIX=$dir/wineprefix
fi
session=$(dirname "$WINEPREFIX")/wine-session
if [[ -s $session/display ]]; then
  export DISPLAY=":$(cat "$session/display")"
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers, and no menu entries on the host.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
wine=${VANTREL_WINE64:-/usr/lib/wine/wine64}

# The first program of a fresh prefix makes it, once, while the others wait.
ready=$WINEPREFIX/.made
if [[ ! -f $ready ]]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [[ ! -f $ready ]]; then
      "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
      # Debian's Wine does not find its own fonts (among them the bitmap
      # "MS Sans Serif") unless they are in the prefix's Fonts folder.
      fonts=$WINEPREFIX/drive_c/windows/Fonts
      mkdir -p "$fonts"
      cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
      # The in-process window tests open and close many windows; with no
      # window manager, Wine would wait two seconds at each for one to
      # answer. Wine manages their windows itself instead.
      "$wine" reg add 'HKCU\Software\Wine\AppDefaults\win32_window_tests.exe\X11 Driver' \
        /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec "$wine" "$@"
