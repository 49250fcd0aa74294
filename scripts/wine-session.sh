#!/usr/bin/env bash
# The Wine session a build's tests share:  wine-session.sh start|stop PREFIX
#
# start: an X server of its own (Xvfb, on a display number it picks), the
#        Wine prefix PREFIX made if need be, and a wineserver kept running,
#        so that every program of the tests starts quickly and every window
#        lands on the one display. wine-run.sh picks the display up from
#        wine-session/display beside PREFIX.
# stop:  ends the wineserver, with every Wine program still running, and the
#        X server.
set -euo pipefail

action=$1
mkdir -p "$(dirname "$2")"
WINEPREFIX="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
export WINEPREFIX
session=$(dirname "$WINEPREFIX")/wine-session
export WINEDEBUG=-all
wineserver=${VANTREL_WINESERVER:-/usr/lib/wine/wineserver}

case $action in
start)
  if [[ -s $session/xvfb.pid ]] && kill -0 "$(cat "$session/xvfb.pid")" 2>/dev/null; then
    echo "Wine session already running on :$(cat "$session/display")"
    exit 0
  fi
  rm -rf "$session"
  mkdir -p "$session"
  # Detached from this script's output, so that ctest does not wait for it;
  # it ends by itself after an hour should nobody stop it.
  setsid timeout 3600 Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$session/display.tmp" </dev/null >"$session/xvfb.log" 2>&1 &
  echo $! >"$session/xvfb.pid"
  for _ in $(seq 100); do
    [[ -s $session/display.tmp ]] && break
    sleep 0.1
  done
  [[ -s $session/display.tmp ]] || { echo "Xvfb did not start: $(cat "$session/xvfb.log")" >&2; exit 1; }
  head -n1 "$session/display.tmp" >"$session/display"
  export DISPLAY=":$(cat "$session/display")"
  # The server stays up until stop (one left from before, by programs that
  # ran without the session or by a run that was cut short, goes first).
  # Wine's own long-lived processes (services, the desktop on this X
  # server) start here, with this script's output closed: started by a
  # test's program, they would hold that test's output open, and ctest
  # would wait for them to the end.
  mkdir -p "$WINEPREFIX"
  "$wineserver" -k </dev/null >/dev/null 2>&1 || true
  "$wineserver" -p </dev/null >/dev/null 2>&1
  "$(dirname "$0")/wine-run.sh" wineboot </dev/null >"$session/wineboot.log" 2>&1
  echo "Wine session on $DISPLAY, prefix $WINEPREFIX"
  ;;
stop)
  if [[ -d $WINEPREFIX ]]; then
    "$wineserver" -k 2>/dev/null || true
  fi
  if [[ -s $session/xvfb.pid ]]; then
    kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$session/display" "$session/xvfb.pid"
  echo "Wine session stopped"
  ;;
*)
  echo "usage: wine-session.sh start|stop PREFIX" >&2
  exit 2
  ;;
esac
