#!/bin/sh
# A person at the launcher on a desktop: the real window on a virtual X
# screen under a window manager (openbox) that decides focus and moves
# windows, next to another program (xmessage), driven with the mouse and
# watched through screen grabs, the cursor pictures the X server shows, and
# what the link commands start. The pictures of every step stay in WORKDIR.
#   launcher_desktop.sh LAUNCHER DEMO WORKDIR CURSOR_TOOL
# CURSOR_TOOL is x11_cursor_image. With KEEP_GOING=1 a failed check is
# reported and the run goes on to the next one (to see them all at once
# while working on the launcher); the status is still 1.
#
# Where things are: the window is 647 x 486; the viewer's page panel starts
# at client (17, 113) and is 312 pixels high. A line that htmlrender --dump
# puts at (x, y) is drawn at panel (10 + x, y - scroll).
set -u
launcher="$1"
demo="$2"
work="$3"
cursor_tool="$4"
mkdir -p "$work/bin" "$work/tmp" "$work/cache"
rm -f "$work"/*.png "$work"/*.pam "$work"/*.log "$work"/cursor-*.txt "$work/display" \
  "$work/opened.txt" "$work/tmp/mail-install.log"
# shellcheck source=scenario_lib.sh
. "$(dirname "$0")/scenario_lib.sh"

failures=0
# A fault the run cannot go on from (or any fault without KEEP_GOING).
die() {
  echo "FAIL: $*"
  if [ -s "$work/launcher.log" ]; then
    echo "-- launcher output:"
    tail -n 20 "$work/launcher.log"
  fi
  echo "-- screen grabs in $work"
  exit 1
}
fail() {
  [ "${KEEP_GOING:-}" = 1 ] || die "$@"
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for tool in Xvfb openbox xmessage xprop xdotool import convert timeout; do
  command -v "$tool" >/dev/null 2>&1 || die "$tool is missing (./test.sh installs it)"
done
[ -x "$cursor_tool" ] || die "the cursor reader $cursor_tool is missing"

xvfb_pid=""
openbox_pid=""
other_pid=""
launcher_pid=""
cleanup() {
  stop "$launcher_pid"
  stop "$other_pid"
  stop "$openbox_pid"
  stop "$xvfb_pid"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# ---- The display.
use_x_display 1024x768x24

# ---- The window manager, with its own settings: FOCUS_NEW says whether a
# new window gets the focus. A left press in a window focuses and raises
# it, as openbox does by default; nothing else is bound.
start_openbox() {
  cat >"$work/rc.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>$1</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
  <mouse>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
  </mouse>
</openbox_config>
EOF
  XDG_CACHE_HOME="$work/cache" openbox --sm-disable --config-file "$work/rc.xml" \
    >>"$work/openbox.log" 2>&1 &
  openbox_pid=$!
  # Openbox manages the screen once the root names its check window, a
  # live one (a manager before it has ended, its window with it; the new one
  # may get the same number).
  i=0
  while :; do
    kill -0 "$openbox_pid" 2>/dev/null || die "openbox ended at once: $(tail -n 5 "$work/openbox.log")"
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*')
    if [ -n "$check" ] && xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -q Openbox; then
      break
    fi
    [ $i -lt 100 ] || die "openbox did not take the screen within 10 s: $(tail -n 5 "$work/openbox.log")"
    sleep 0.1
    i=$((i + 1))
  done
}
start_openbox yes

# ---- The other program: a message window in the top left corner, clear of
# the launcher.
xmessage -buttons "" -geometry +10+10 "$(printf 'Another program\n\nworking here')" \
  >"$work/xmessage.log" 2>&1 &
other_pid=$!
other=$(timeout 10 xdotool search --sync --onlyvisible --class Xmessage 2>/dev/null | head -n 1)
[ -n "$other" ] || die "desktop: no xmessage window within 10 s"
eval "$(xdotool getwindowgeometry --shell "$other")"
other_x=$((X + WIDTH / 2))
other_y=$((Y + HEIGHT / 3))

# Waits until the window manager names WINDOW the active window.
wait_active() {
  n=0
  until [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; do
    n=$((n + 1))
    [ $n -lt 40 ] || return 1
    sleep 0.25
  done
}

# A click on the other program's text: the window manager makes it the
# active window.
use_other() {
  xdotool mousemove "$other_x" "$other_y" click 1
  wait_active "$other" || die "desktop: a click on the xmessage window did not make it the active window"
}

# ---- The launcher, on the xcb platform. Its web and mail addresses go to
# an xdg-open of ours that notes them; its installers write into
# WORKDIR/tmp.
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened.txt"
EOF
chmod +x "$work/bin/xdg-open"
start_launcher() {
  PATH="$work/bin:$PATH" TMPDIR="$work/tmp" QT_QPA_PLATFORM=xcb \
    "$launcher" --root "$demo" >>"$work/launcher.log" 2>&1 &
  launcher_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$launcher_pid" 2>/dev/null | head -n 1)
  [ -n "$window" ] || die "start: no visible launcher window within 30 s"
  where
  if [ "$WIDTH" != 647 ] || [ "$HEIGHT" != 486 ]; then
    die "start: window is ${WIDTH}x$HEIGHT, not 647x486"
  fi
}
# The window's place on the screen, in wx, wy.
where() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  wx=$X
  wy=$Y
}
click_client() {
  xdotool mousemove $((wx + $1)) $((wy + $2)) click 1
}

# ---- Looking at the screen (scenario_lib.sh has the viewer's panel).
skin_x=8       # a point of bare skin, left of the viewer
skin_y=250
title_x=322    # the title picture, where a click does nothing
title_y=30

# Grabs as NAME-1.. NAME-6 over 1.5 s: CHECK must hold in every one.
stays() {
  k=1
  while [ $k -le 6 ]; do
    kill -0 "$launcher_pid" 2>/dev/null || die "$1: the launcher ended"
    seen="no screen grab"
    grab "$1-$k" && "$2" "$work/$1-$k" || return 1
    k=$((k + 1))
    sleep 0.25
  done
}

show_internet() {
  click_client 321 79
  until_seen "$1" internet_page ||
    die "second button: the viewer did not change to the Internet page ($seen)"
}

start_launcher
wait_active "$window" || die "start: openbox did not make the new launcher window active"

# ---- (a) Another program used for a moment, a click on the launcher's
# title activates the launcher again: the page it showed stays.
show_internet a-internet
use_other
click_client "$title_x" "$title_y"
wait_active "$window" || die "activation: a click on the launcher's title did not make it active again"
stays a-back internet_page ||
  fail "activation: coming back to the launcher from another program replaced the Internet page ($seen)"

# ---- (b) While another program is active, a click on the mail link
# "support@quillmoor.example" (htmlrender --dump: a line at (35, 253),
# 180 x 18) activates the launcher and runs that link: xdg-open gets its
# address. Nothing else under the pointer runs, such as the start page's
# link there to the second installer, which would write mail-install.log.
show_internet b-internet
use_other
click_client $((panel_x + 10 + 35 + 90)) $((panel_y + 253 + 9))
mail="mailto:support@quillmoor.example"
n=0
until grep -qxF "$mail" "$work/opened.txt" 2>/dev/null || [ -e "$work/tmp/mail-install.log" ]; do
  n=$((n + 1))
  [ $n -lt 40 ] && sleep 0.25 && continue
  break
done
sleep 0.5    # time for anything else the click started
grab b-clicked
if [ -e "$work/tmp/mail-install.log" ]; then
  fail "mail link: a click on it while another program was active started the second installer (mail-install.log)"
elif ! grep -qxF "$mail" "$work/opened.txt" 2>/dev/null; then
  fail "mail link: a click on it while another program was active did not open $mail (xdg-open got: $(tr '\n' '|' 2>/dev/null <"$work/opened.txt"))"
fi

# ---- (c) A short click on the skin moves nothing, also when the pointer
# moves on afterwards without a button; a drag on the skin moves the window
# by the pointer's offset.
where
x0=$wx
y0=$wy
# The press and the release come back to back, as when the launcher is busy
# for a moment: the release is there before the launcher acts on the press.
xdotool mousemove $((wx + skin_x)) $((wy + skin_y))
sleep 0.2
xdotool click 1
sleep 0.3
for step in 1 2 3 4; do
  xdotool mousemove $((x0 + skin_x + 20 * step)) $((y0 + skin_y + 15 * step))
  sleep 0.1
done
sleep 0.5
where
if [ "$wx" != "$x0" ] || [ "$wy" != "$y0" ]; then
  fail "skin: after a short click the window followed the pointer without a button, from ($x0, $y0) to ($wx, $wy)"
  # The window manager still moves it: Escape puts it back.
  xdotool key Escape
  sleep 0.5
fi
grab c-click
where
x0=$wx
y0=$wy
xdotool mousemove $((wx + skin_x)) $((wy + skin_y)) mousedown 1
sleep 0.1
for step in 1 2 3 4; do
  xdotool mousemove $((x0 + skin_x + 15 * step)) $((y0 + skin_y + 10 * step))
  sleep 0.1
done
xdotool mouseup 1
dragged() {
  where
  ddx=$((wx - x0 - 60))
  ddy=$((wy - y0 - 40))
  [ $ddx -ge -1 ] && [ $ddx -le 1 ] && [ $ddy -ge -1 ] && [ $ddy -le 1 ]
}
n=0
until dragged; do
  n=$((n + 1))
  [ $n -lt 20 ] || break
  sleep 0.25
done
dragged || fail "skin: a drag by (+60, +40) moved the window by ($((wx - x0)), $((wy - y0)))"
grab c-dragged

# ---- (d) The cursors are drawn shapes on a clear field: over a link (the
# mail link) and over plain page text. Over the viewer's scroll bar it is
# the ordinary arrow the window shows over its skin.
show_internet d-internet

# Reads the cursor shown now as NAME: cw x ch, ctransparent, cblack and
# cwhite pixels, ccorner the highest alpha of its corners, chash.
cursor() {
  "$cursor_tool" "$work/cursor-$1.pam" >"$work/cursor-$1.txt" 2>&1 ||
    die "cursor: $cursor_tool failed: $(cat "$work/cursor-$1.txt")"
  read -r cw ch ctransparent cblack cwhite ccorner chash <"$work/cursor-$1.txt"
  cursor_seen="${cw}x$ch, $ctransparent transparent, $cblack opaque black, $cwhite opaque white, corner alpha $ccorner"
}
# Points at client (X, Y) and reads the cursor as NAME, waiting up to 2 s for
# it to be another than the one with hash BEFORE.
point_at() {
  xdotool mousemove $((wx + $2)) $((wy + $3))
  n=0
  while :; do
    cursor "$1"
    [ "$chash" != "$4" ] && return 0
    n=$((n + 1))
    [ $n -lt 20 ] || return 1
    sleep 0.1
  done
}
# Most of the picture clear, its corners too, the shape black and white.
drawn_shape() {
  [ "$ctransparent" -ge $((cw * ch / 2)) ] && [ "$ccorner" -eq 0 ] &&
    [ "$cblack" -gt 0 ] && [ "$cwhite" -gt 0 ]
}

point_at skin "$skin_x" "$skin_y" none
arrow=$chash
point_at link $((panel_x + 10 + 35 + 90)) $((panel_y + 253 + 9)) "$arrow" ||
  fail "cursor: over the mail link it stays the arrow"
drawn_shape || fail "cursor: over a link it is no drawn shape on a clear field ($cursor_seen; picture cursor-link.pam)"
link=$chash
# The first line of the paragraph, "На нашем сайте..." (line at (0, 70)).
point_at text $((panel_x + 10 + 200)) $((panel_y + 70 + 9)) "$link" ||
  fail "cursor: over plain page text it stays the link's cursor"
drawn_shape || fail "cursor: over page text it is no drawn shape on a clear field ($cursor_seen; picture cursor-text.pam)"
text=$chash
if ! point_at bar "$bar_x" $((panel_y + panel_h / 2)) "$text"; then
  fail "cursor: over the viewer's scroll bar it stays the page's text cursor"
elif [ "$chash" != "$arrow" ]; then
  fail "cursor: over the viewer's scroll bar it is not the arrow shown over the skin ($cursor_seen; picture cursor-bar.pam)"
fi

# ---- (e) Started while another program is active, under a window manager
# that gives new windows no focus, the launcher shows its start page without
# a click, whether or not it gets the focus.
stop "$launcher_pid"
launcher_pid=""
stop "$openbox_pid"
start_openbox no
use_other
start_launcher
until_seen e-start start_page ||
  fail "background start: the start page did not show without a click ($seen)"

[ $failures -eq 0 ] || die "$failures checks failed"
echo "ok"
