# shellcheck shell=sh disable=SC2034,SC2154  # the sourcing script sets and reads these
# What the real-window scenarios share, sourced by launcher_x11.sh,
# launcher_desktop.sh and launcher_wayland.sh: ending processes, a virtual
# X display, and looking at the launcher's window on the screen. A script
# defines `die` (end the run with a message) and sets `work` before using
# these; the screen helpers read the window's place (wx, wy) and
# launcher_pid.

# Ends a process of ours: TERM, then KILL if it is still there after 5 s.
stop() {
  [ -n "$1" ] || return 0
  kill "$1" 2>/dev/null || return 0
  i=0
  while kill -0 "$1" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null
  return 0
}

# An Xvfb of SIZE (WxHxD), in xvfb_pid; its display name in xdisplay. Xvfb
# picks a free number itself and writes it to fd 3.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  i=0
  until [ -s "$work/display" ]; do
    kill -0 "$xvfb_pid" 2>/dev/null || die "Xvfb ended at once: $(tail -n 5 "$work/xvfb.log")"
    [ $i -lt 100 ] || die "Xvfb gave no display number within 10 s"
    sleep 0.1
    i=$((i + 1))
  done
  read -r number <"$work/display"
  xdisplay=":$number"
}

# An Xvfb of SIZE as the display of everything started from here on, with
# no Wayland display and no session bus.
use_x_display() {
  start_xvfb "$1"
  DISPLAY="$xdisplay"
  export DISPLAY
  unset WAYLAND_DISPLAY
  # Qt asks for a session bus. Without an address libdbus would autolaunch
  # one on this display, a daemon that outlives the test (or, with no
  # launcher for it installed, leak the buffer of the failed try); an
  # address it cannot use ends that at once.
  DBUS_SESSION_BUS_ADDRESS="disabled:"
  export DBUS_SESSION_BUS_ADDRESS
}

# ---- Looking at the screen. The viewer's page panel starts at client
# (17, 113) and is 312 pixels high.
panel_x=17
panel_y=113
panel_h=312
panel_w=590    # the page and its margins; the scroll bar is right of it
bar_x=619      # a column through the middle of the vertical scroll bar
heading="#1E3E78"    # the headings of the start page and the Internet page

# Grabs the screen; NAME.png is the viewer's page panel, NAME-window.png the
# window and NAME-bar.png the scroll bar's column.
grab() {
  import -window root "$work/screen.png" 2>/dev/null || return 1
  convert "$work/screen.png" -crop "647x486+$wx+$wy" +repage "$work/$1-window.png" &&
    convert "$work/$1-window.png" -crop "${panel_w}x$panel_h+$panel_x+$panel_y" +repage "$work/$1.png" &&
    convert "$work/$1-window.png" -crop "1x$panel_h+$bar_x+$panel_y" +repage "$work/$1-bar.png"
}

# The bounding box of the pixels of COLOUR in IMAGE, optionally within the
# rows FIRST..FIRST+COUNT-1, as bw x bh at (bx, by) in IMAGE; bw = 0: none.
box() {
  if [ $# -gt 2 ]; then crop="-crop ${panel_w}x$4+0+$3"; else crop=""; fi
  # shellcheck disable=SC2086  # crop is two words or none
  found=$(convert "$1" $crop +repage -fill white +opaque "$2" -bordercolor white -border 1 \
    -format '%@' info: 2>/dev/null | tr 'x+' '  ')
  read -r bw bh bx by <<BOX
$found
BOX
  bw=${bw:-0} bh=${bh:-0} bx=$((${bx:-1} - 1)) by=$((${by:-1} - 1 + ${3:-0}))
}

# How many pixels of IMAGE are COLOUR.
count() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# The colour most of IMAGE is, as #RRGGBB.
dominant() {
  convert "$1" -format %c histogram:info:- 2>/dev/null | sort -rn | head -n 1 |
    grep -o '#[0-9A-F]\{6\}'
}

# Grabs as STEP until CHECK passes on the grab, for up to about 10 s; CHECK
# gets the grab's path without ".png" and leaves what it saw in $seen.
until_seen() {
  n=0
  while :; do
    kill -0 "$launcher_pid" 2>/dev/null || die "$1: the launcher ended"
    seen="no screen grab"
    if grab "$1" && "$2" "$work/$1"; then return 0; fi
    n=$((n + 1))
    [ $n -lt 40 ] || return 1
    sleep 0.25
  done
}

# A heading drawn in the heading colour, centred in the page (centre x 296,
# give or take 6), starting within the top 40 rows, between MIN and MAX
# pixels wide.
centred_heading() {
  box "$1.png" "$heading"
  seen="heading-coloured box ${bw}x$bh at ($bx, $by)"
  centre=$((bx + bw / 2))
  [ "$bw" -ge "$2" ] && [ "$bw" -le "$3" ] && [ $by -lt 40 ] &&
    [ $centre -ge 290 ] && [ $centre -le 302 ]
}

# The start page: its heading "Добро пожаловать!" (236 pixels wide) at the
# top of the viewer, on the page's white.
start_page() {
  centred_heading "$1" 200 260 || return 1
  pixels=$(count "$1.png" "$heading")
  seen="$seen, $pixels pixels of it"
  [ "$pixels" -ge 500 ] && [ "$(dominant "$1.png")" = "#FFFFFF" ]
}

# The Internet page (second button): its heading "Мы в Интернете" (184
# pixels wide) on its own background, #F8FAFF.
internet_page() {
  centred_heading "$1" 150 210 || return 1
  background=$(dominant "$1.png")
  seen="$seen on $background"
  [ "$background" = "#F8FAFF" ]
}
