#!/bin/sh
# The launcher as a Wayland client: it starts without an X server of its
# own, shows the start page by itself, and its window is transparent
# outside its shape (a Wayland client has no server-side shape, so the
# skin's off-shape pixels must not reach the screen).
#   launcher_wayland.sh LAUNCHER DEMO WORKDIR
# Status 77 (skipped) when weston or Qt's Wayland platform plugin is missing.
#
# The compositor is weston's desktop shell on its X11 back end, inside an
# Xvfb of exactly its output's size, so that a grab of Xvfb is weston's
# output as a person would see it (the headless back end has no seat, so no
# window is ever activated, and its screenshots lose what was drawn with
# alpha 0). Only weston talks to the X server; the launcher gets
# WAYLAND_DISPLAY and no DISPLAY.
set -u
launcher="$1"
demo="$2"
work="$3"
mkdir -p "$work"
rm -f "$work"/*.png "$work"/*.log "$work/display" "$work/weston.ini"
# shellcheck source=scenario_lib.sh
. "$(dirname "$0")/scenario_lib.sh"

skip() {
  echo "SKIP: $*"
  exit 77
}
fail() {
  echo "FAIL: $*"
  if [ -s "$work/launcher.log" ]; then
    echo "-- launcher output:"
    tail -n 20 "$work/launcher.log"
  fi
  echo "-- pictures in $work"
  exit 1
}
die() { fail "$@"; }

command -v weston >/dev/null 2>&1 || skip "weston is missing (./test.sh installs it)"
for tool in Xvfb xdotool import convert timeout; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (./test.sh installs it)"
done

width=1024
height=768
background="#00FF00"    # no skin pixel has it

# ---- The picture to compare with: the window as --screenshot draws it,
# transparent outside the shape; shape.png is its alpha, white inside.
QT_QPA_PLATFORM=offscreen "$launcher" --root "$demo" --screenshot "$work/reference.png" \
  >"$work/reference.log" 2>&1 || fail "--screenshot: status $? ($(tail -n 3 "$work/reference.log"))"
convert "$work/reference.png" -alpha extract -threshold 50% "$work/shape.png" ||
  fail "--screenshot: no alpha channel in $work/reference.png"
found=$(convert "$work/shape.png" -bordercolor black -border 1 -format '%@' info: | tr 'x+' '  ')
read -r shape_w shape_h shape_x shape_y <<EOF
$found
EOF
shape_x=$((shape_x - 1))
shape_y=$((shape_y - 1))

xvfb_pid=""
weston_pid=""
launcher_pid=""
runtime=""
cleanup() {
  stop "$launcher_pid"
  stop "$weston_pid"
  stop "$xvfb_pid"
  [ -n "$runtime" ] && rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# ---- The X server weston draws into.
start_xvfb "${width}x${height}x24"

# ---- weston. Its socket lives in a runtime folder of our own (0700, as
# libwayland wants); a socket path longer than 107 bytes cannot be bound,
# so a deep WORKDIR gets one in the temporary folder instead.
socket="wayland-launcher-test"
runtime="$work/runtime"
if [ ${#runtime} -gt 80 ]; then
  runtime=$(mktemp -d "${TMPDIR:-/tmp}/launcher-wayland.XXXXXX") || fail "no runtime folder"
else
  rm -rf "$runtime"
fi
{ mkdir -p "$runtime" && chmod 700 "$runtime"; } || fail "cannot make the runtime folder $runtime"
XDG_RUNTIME_DIR="$runtime"
export XDG_RUNTIME_DIR
# A plain background, no panel, no animations (a window fading in would be
# grabbed half drawn), no screen lock.
cat >"$work/weston.ini" <<EOF
[core]
idle-time=0
[shell]
background-color=0xff${background#\#}
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none
EOF
DISPLAY="$xdisplay" weston --backend=x11-backend.so --use-pixman --width=$width --height=$height \
  --socket="$socket" --config="$work/weston.ini" --log="$work/weston.log" >/dev/null 2>&1 &
weston_pid=$!
i=0
until [ -S "$runtime/$socket" ]; do
  kill -0 "$weston_pid" 2>/dev/null || fail "weston ended at once: $(tail -n 5 "$work/weston.log")"
  [ $i -lt 150 ] || fail "weston made no socket within 15 s"
  sleep 0.1
  i=$((i + 1))
done
# weston's pointer (and its cursor) to the output's last pixel, where the
# desktop shell never places a window: no hover, no cursor over the grabs.
DISPLAY="$xdisplay" xdotool mousemove $((width - 1)) $((height - 1))

# ---- The launcher: Wayland only.
unset DISPLAY
WAYLAND_DISPLAY="$socket"
DBUS_SESSION_BUS_ADDRESS="disabled:"
export WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
QT_QPA_PLATFORM=wayland "$launcher" --root "$demo" >"$work/launcher.log" 2>&1 &
launcher_pid=$!

# Grabs weston's output as screen.png and crops the launcher's window out
# of it as NAME-window.png (NAME.png: the viewer's page panel), in place of
# scenario_lib.sh's grab, which knows where the window is. The window
# is where the pixels that are not background are; their box is either the
# whole window (a rectangle on screen) or just its shape. The last rows and
# columns hold the cursor.
grab() {
  import -display "$xdisplay" -window root "$work/screen.png" 2>/dev/null || return 1
  found=$(convert "$work/screen.png" -crop "$((width - 4))x$((height - 4))+0+0" +repage \
    -bordercolor "$background" -border 1 -format '%@' info: 2>/dev/null | tr 'x+' '  ')
  read -r bw bh bx by <<EOF
$found
EOF
  bx=$((${bx:-1} - 1)) by=$((${by:-1} - 1))
  if [ "${bw:-0}" = 647 ] && [ "${bh:-0}" = 486 ]; then
    wx=$bx wy=$by
  elif [ "${bw:-0}" = "$shape_w" ] && [ "${bh:-0}" = "$shape_h" ]; then
    wx=$((bx - shape_x)) wy=$((by - shape_y))
  else
    seen="no window: what is not background is ${bw:-0}x${bh:-0} at ($bx, $by)"
    return 1
  fi
  convert "$work/screen.png" -crop "647x486+$wx+$wy" +repage "$work/$1-window.png" &&
    convert "$work/$1-window.png" -crop "${panel_w}x$panel_h+$panel_x+$panel_y" +repage "$work/$1.png"
}

# ---- 1. Without a click, the start page (scenario_lib.sh).
n=0
seen="no screen grab"
until grab 1-start && start_page "$work/1-start"; do
  if ! kill -0 "$launcher_pid" 2>/dev/null; then
    if grep -q 'Could not find the Qt platform plugin "wayland"' "$work/launcher.log"; then
      skip "Qt's Wayland platform plugin is missing (package qt6-wayland)"
    fi
    fail "start: the launcher ended ($(tail -n 3 "$work/launcher.log"))"
  fi
  n=$((n + 1))
  [ $n -lt 60 ] || fail "start page: not shown within 30 s without a click ($seen)"
  sleep 0.5
done

# ---- 2. The shape: where --screenshot is transparent weston's background
# shows; where it is opaque the window looks as --screenshot draws it.
window="$work/1-start-window.png"
convert "$window" -alpha off -fill white +opaque "$background" -fill black -opaque "$background" \
  \( "$work/shape.png" -negate \) -compose multiply -composite "$work/off-shape.png"
off=$(convert "$work/off-shape.png" -format '%[fx:round(mean*w*h)]' info:)
convert "$window" "$work/reference.png" -alpha off -compose difference -composite \
  -separate -evaluate-sequence max -threshold 12% "$work/shape.png" -compose multiply \
  -composite "$work/in-shape.png"
in=$(convert "$work/in-shape.png" -format '%[fx:round(mean*w*h)]' info:)
problems=""
if [ "$off" -gt 0 ]; then
  problems="$off pixels outside the shape show the window instead of the background ($background)"
fi
if [ "$in" -gt 100 ]; then
  problems="${problems:+$problems; }$in pixels inside the shape differ from --screenshot"
fi
[ -z "$problems" ] ||
  fail "shape: $problems (window at ($wx, $wy); white in off-shape.png and in-shape.png)"
echo "ok"
