#!/usr/bin/env bash
# The real-window test: Project1 on an X server of its own, driven with
# xdotool like a user would, checked on screenshots.
#
#   real_window.sh PROJECT1 WINDOWCHECK WORKDIR
#
# The screenshots stay in WORKDIR for a look afterwards.
set -euo pipefail

project1=$1
check=$2
work=$3

rm -rf "$work"
mkdir -p "$work"/{config,data,share,etc,home,runtime}
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  if [[ -s $work/browser.pid ]]; then
    kill "$(cat "$work/browser.pid")" 2>/dev/null || true
  fi
}
trap cleanup EXIT

fail() {
  echo "real_window: $*" >&2
  exit 1
}

# An X server on a display number it picks itself.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
echo "X server on $DISPLAY"

# The "browser" records the address it is given and then stays open, as a
# browser would; the program must not wait for it.
cat >"$work/browser" <<EOF
#!/bin/sh
echo \$\$ > "$work/browser.pid"
printf '%s\n' "\$@" > "$work/opened.tmp" && mv "$work/opened.tmp" "$work/opened"
sleep 60
EOF
chmod +x "$work/browser"

# A desktop of no known kind, with no URL handlers registered, so that the
# URL opener falls back to $BROWSER.
env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u GNOME_DESKTOP_SESSION_ID \
  -u KDE_FULL_SESSION -u QT_QPA_PLATFORMTHEME -u WAYLAND_DISPLAY \
  QT_QPA_PLATFORM=xcb BROWSER="$work/browser" HOME="$work/home" \
  XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  XDG_DATA_DIRS="$work/share" XDG_CONFIG_DIRS="$work/etc" \
  "$project1" >"$work/project1.log" 2>&1 &
project1_pid=$!
pids+=("$project1_pid")

wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Triangulation DLL example$' | head -n1) ||
  fail "the window did not appear: $(cat "$work/project1.log")"
echo "window $wid"
sleep 1

geometry() {
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
}
shot() {
  sleep 0.7
  import -window root "$work/$1.png"
  echo "screenshot $work/$1.png"
}
click() {  # x y button, in window coordinates
  xdotool mousemove --window "$wid" --sync "$1" "$2" click "$3"
  sleep 0.2
}
alive() {
  kill -0 "$project1_pid" 2>/dev/null || fail "Project1 has ended: $(cat "$work/project1.log")"
}

geometry
[[ $WIDTH -eq 726 && $HEIGHT -eq 658 ]] || fail "client area is ${WIDTH}x$HEIGHT, not 726x658"
# picMain is fitted on the first resize: 10650 x 8310 twips at 120, 1440.
shot initial
"$check" canvas "$work/initial.png" $((X + 8)) $((Y + 96)) 710 554

# Interior of the canvas starts inside its two-pixel border.
cx=$((8 + 2))
cy=$((96 + 2))
ax=100 ay=80 bx=400 by=120 qx=250 qy=380
click $((cx + ax)) $((cy + ay)) 1  # left
click $((cx + bx)) $((cy + by)) 3  # right
click $((cx + qx)) $((cy + qy)) 2  # middle
shot discs
"$check" mesh "$work/discs.png" $((X + cx)) $((Y + cy)) "$ax" "$ay" "$bx" "$by" "$qx" "$qy" &&
  fail "the mesh is drawn before TRIANGULATE"

click $((304 + 60)) $((40 + 16)) 1  # TRIANGULATE
alive
shot triangulated
"$check" mesh "$work/triangulated.png" $((X + cx)) $((Y + cy)) "$ax" "$ay" "$bx" "$by" "$qx" "$qy"
"$check" caption "$work/triangulated.png" $((X + 8)) $((Y + 80)) \
  "Points:3 Triangles:1 Triangulate time:" "Points:2 Triangles:1 Triangulate time:"

# The canvas follows the window, and the picture stays.
xdotool windowsize --sync "$wid" 900 700
geometry
shot larger
"$check" canvas "$work/larger.png" $((X + 8)) $((Y + 96)) $((900 - 16)) $((700 - 104))
"$check" mesh "$work/larger.png" $((X + cx)) $((Y + cy)) "$ax" "$ay" "$bx" "$by" "$qx" "$qy"

# Too narrow for a canvas: its width stays, its height follows.
xdotool windowsize --sync "$wid" 12 500
geometry
xdotool windowsize --sync "$wid" 640 500
geometry
shot narrowed
"$check" canvas "$work/narrowed.png" $((X + 8)) $((Y + 96)) $((640 - 16)) $((500 - 104))
alive

# The link line opens the information page in the browser, without waiting.
click 20 6 1
for _ in $(seq 100); do
  [[ -s $work/opened ]] && break
  sleep 0.1
done
[[ -s $work/opened ]] || fail "no browser was started: $(cat "$work/project1.log")"
opened=$(cat "$work/opened")
[[ $opened == "http://www.vantrel.example/triangulation" ]] || fail "the browser was given '$opened'"
echo "browser opened $opened"
# While the browser is still open the window answers: clear the canvas.
click $((168 + 60)) $((40 + 16)) 1  # Clear all points
shot cleared
"$check" white "$work/cleared.png" $((X + cx)) $((Y + cy)) $((640 - 20)) $((500 - 108))
alive

kill "$project1_pid"
wait "$project1_pid" 2>/dev/null || true
echo "real-window test passed"
