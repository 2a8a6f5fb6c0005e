#!/bin/sh
# A person at the launcher: the real window on a virtual X screen, driven
# with the mouse and the keyboard, watched through screen grabs and the
# clipboard. The pictures of every step stay in WORKDIR.
#   launcher_x11.sh LAUNCHER DEMO WORKDIR
#
# Where things are: the window is 647 x 486, centred; the viewer's page
# panel starts at client (17, 113), inside the viewer's 1-pixel frame, and
# is 312 pixels high. A line that htmlrender --dump puts at (x, y) is drawn
# at panel (10 + x, y - scroll).
set -u
launcher="$1"
demo="$2"
work="$3"
mkdir -p "$work"
rm -f "$work"/*.png "$work"/*.log "$work/display" "$work/clipboard.txt"
# shellcheck source=scenario_lib.sh
. "$(dirname "$0")/scenario_lib.sh"

fail() {
  echo "FAIL: $*"
  if [ -s "$work/launcher.log" ]; then
    echo "-- launcher output:"
    tail -n 20 "$work/launcher.log"
  fi
  echo "-- screen grabs in $work"
  exit 1
}
die() { fail "$@"; }

for tool in Xvfb xdotool xclip import convert compare timeout; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (./test.sh installs it)"
done

xvfb_pid=""
launcher_pid=""
cleanup() {
  stop "$launcher_pid"
  stop "$xvfb_pid"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# ---- The display.
use_x_display 1024x768x24

# ---- The launcher, on the xcb platform, with no window manager.
QT_QPA_PLATFORM=xcb "$launcher" --root "$demo" >"$work/launcher.log" 2>&1 &
launcher_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$launcher_pid" 2>/dev/null | head -n 1)
[ -n "$window" ] || fail "start: no visible launcher window within 30 s"
eval "$(xdotool getwindowgeometry --shell "$window")"
wx=$X
wy=$Y
if [ "$WIDTH" != 647 ] || [ "$HEIGHT" != 486 ]; then
  fail "start: window is ${WIDTH}x$HEIGHT, not 647x486"
fi
dx=$((wx - (1024 - 647) / 2))
dy=$((wy - (768 - 486) / 2))
if [ $dx -lt -1 ] || [ $dx -gt 1 ] || [ $dy -lt -1 ] || [ $dy -gt 1 ]; then
  fail "start: window at ($wx, $wy), not centred on the 1024x768 screen"
fi

# How far the page moved up from BEFORE to AFTER: the row of BEFORE at which
# the top 40 rows of AFTER are found, pixel for pixel, when everything the
# two show in common is equal too; empty when there is no such row.
shift_between() {
  convert "$2" -crop "${panel_w}x40+0+0" +repage "$work/strip.png"
  found=$(compare -metric AE -subimage-search "$1" "$work/strip.png" null: 2>&1)
  case "$found" in "0 @ 0,"*) ;; *) return 0 ;; esac
  d=${found#"0 @ 0,"}
  if [ "$d" -eq 0 ]; then echo 0; return 0; fi
  rest=$((panel_h - d))
  convert "$1" -crop "${panel_w}x$rest+0+$d" +repage "$work/old-part.png"
  convert "$2" -crop "${panel_w}x$rest+0+0" +repage "$work/new-part.png"
  [ "$(compare -metric AE "$work/old-part.png" "$work/new-part.png" null: 2>&1)" = 0 ] && echo "$d"
}

# The first row of the scroll bar's column (below its arrow button) that has
# the thumb's colour, which is sampled at the top of the track while the
# start page is at its top.
thumb_top() {
  convert "$1" txt:- 2>/dev/null | awk -F'[,:]' -v c="$thumb_colour" \
    'NR > 1 && $2 >= 14 && index($0, c) { print $2; exit }'
}

# Waits for a window of the launcher's other than its main window (a message
# box) and names it in $dialog; fails with WHAT when none comes within 10 s.
wait_box() {
  dialog=""
  n=0
  while [ -z "$dialog" ]; do
    for w in $(xdotool search --onlyvisible --pid "$launcher_pid" 2>/dev/null); do
      [ "$w" != "$window" ] && dialog=$w
    done
    [ -n "$dialog" ] && return 0
    n=$((n + 1))
    [ $n -lt 40 ] || fail "$1"
    sleep 0.25
  done
}

# Presses Return in the message box $dialog and waits until it has closed.
close_box() {
  xdotool windowfocus --sync "$dialog" key Return
  n=0
  while xdotool search --onlyvisible --pid "$launcher_pid" 2>/dev/null | grep -qx "$dialog"; do
    n=$((n + 1))
    [ $n -lt 40 ] || fail "$1: the box did not close on Return"
    sleep 0.25
  done
}

click_client() {
  xdotool mousemove $((wx + $1)) $((wy + $2)) click 1
}

# ---- 1. The start page.
until_seen 1-start start_page ||
  fail "start page: no heading of the start page at the top of the viewer ($seen)"
thumb_colour=$(convert "$work/1-start-bar.png" -crop 1x1+0+20 txt:- | grep -o '#[0-9A-F]\{6\}')
top_start=$(thumb_top "$work/1-start-bar.png")
[ -n "$top_start" ] || fail "start page: no scroll bar thumb in the viewer's scroll bar"

# ---- 2. The second button shows the Internet page.
click_client 321 79
until_seen 2-button internet_page ||
  fail "second button: the viewer did not change to the Internet page ($seen)"

# ---- 2b. The globe floating at the right of the Internet page (48 x 48 at
# page x 524, y 56, behind the 10-pixel margin) is an animated picture: it
# turns between two grabs.
convert "$work/2-button.png" -crop 48x48+534+56 +repage "$work/globe-first.png"
globe_turns() {
  convert "$1.png" -crop 48x48+534+56 +repage "$work/globe-now.png"
  changed=$(compare -metric AE "$work/globe-first.png" "$work/globe-now.png" null: 2>&1 |
    awk '{ printf "%d", $1 }')
  seen="${changed:-no} pixels of the globe changed"
  [ "${changed:-0}" -gt 20 ]
}
until_seen 2-globe globe_turns ||
  fail "Internet page: the animated globe does not move ($seen)"

# ---- 3. Back on the start page, one notch of the mouse wheel moves the page
# up by three lines of 16 pixels, and the thumb down.
click_client 110 79
until_seen 3-start start_page ||
  fail "first button: the viewer did not change back to the start page ($seen)"
xdotool mousemove $((wx + 300)) $((wy + 300)) click 5
wheel_moved() {
  moved=$(shift_between "$work/3-start.png" "$1.png")
  top_wheel=$(thumb_top "$1-bar.png")
  seen="page moved up by ${moved:-no consistent amount}, thumb at ${top_wheel:-nowhere} (was $top_start)"
  [ "$moved" = 48 ] && [ -n "$top_wheel" ] && [ "$top_wheel" -gt "$top_start" ]
}
until_seen 3-wheel wheel_moved ||
  fail "mouse wheel: the page did not scroll down by 48 pixels ($seen)"

# ---- 4. The link "Справка" in the last line of the start page leads to
# help.htm#install. Five more wheel notches take the page to its end, where
# that line is the lowest text; then the help page's background (#FFFFF0)
# shows, scrolled so that the heading "Установка" (99 pixels wide, in
# black) is at the top.
xdotool click 5 click 5 click 5 click 5 click 5
at_end() {
  box "$1.png" "#0000C0" $((panel_h - 40)) 40
  seen="link-coloured box ${bw}x$bh at ($bx, $by) in the lowest rows"
  [ "$bw" -gt 20 ] || return 1
  # The lowest link of those: the one in the page's last line.
  box "$1.png" "#0000C0" $((by + bh - 12)) 12
  seen="last link ${bw}x$bh at ($bx, $by)"
  [ "$bw" -gt 20 ]
}
until_seen 4-end at_end ||
  fail "local link: no link-coloured text in the last line of the start page ($seen)"
click_client $((panel_x + bx + bw / 2)) $((panel_y + by + bh / 2))
help_at_anchor() {
  background=$(dominant "$1.png")
  top_link=$(thumb_top "$1-bar.png")
  box "$1.png" "#000000" 0 24
  seen="background $background, black box ${bw}x$bh at ($bx, $by) in the top rows, thumb at ${top_link:-nowhere}"
  [ "$background" = "#FFFFF0" ] && [ "$bw" -ge 80 ] && [ "$bw" -le 120 ] &&
    [ $bx -ge 8 ] && [ $bx -le 14 ] && [ $by -le 8 ] &&
    [ -n "$top_link" ] && [ "$top_link" -gt "$top_start" ]
}
until_seen 4-link help_at_anchor ||
  fail "local link: the viewer did not show help.htm at its anchor 'install' ($seen)"

# ---- 5. A click on plain page background (right of the first list item)
# gives the viewer the keyboard; Page Down then moves the page up and the
# thumb down.
click_client $((panel_x + 450)) $((panel_y + 40))
xdotool key Next
page_down() {
  moved=$(shift_between "$work/4-link.png" "$1.png")
  top_page=$(thumb_top "$1-bar.png")
  seen="page moved up by ${moved:-no consistent amount}, thumb at ${top_page:-nowhere} (was $top_link)"
  [ -n "$moved" ] && [ "$moved" -gt 0 ] && [ -n "$top_page" ] && [ "$top_page" -gt "$top_link" ]
}
until_seen 5-pagedown page_down ||
  fail "Page Down: the page did not scroll down ($seen)"

# ---- 6. A drag from just left of the line "Серийный номер вводится во время
# установки. Номера всех программ диска" (y = 276, 532 pixels wide) to its
# last letter selects it, and Ctrl+C puts it on the clipboard as UTF-8.
line_y=$((276 - 132 - moved + 9))
if [ $line_y -lt 9 ] || [ $line_y -gt $((panel_h - 9)) ]; then
  fail "selection: the line to select is out of view (scrolled to $((132 + moved)))"
fi
xdotool mousemove $((wx + panel_x + 9)) $((wy + panel_y + line_y)) mousedown 1
sleep 0.1
xdotool mousemove $((wx + panel_x + 200)) $((wy + panel_y + line_y))
sleep 0.1
xdotool mousemove $((wx + panel_x + 10 + 531)) $((wy + panel_y + line_y))
sleep 0.1
xdotool mouseup 1
selected() {
  # The selection is drawn over the line: it no longer looks as it did.
  convert "$work/5-pagedown.png" -crop "${panel_w}x18+0+$((line_y - 9))" +repage "$work/line-before.png"
  convert "$1.png" -crop "${panel_w}x18+0+$((line_y - 9))" +repage "$work/line-after.png"
  changed=$(compare -metric AE "$work/line-before.png" "$work/line-after.png" null: 2>&1)
  seen="$changed pixels of the line changed"
  [ "$changed" -gt 1000 ] 2>/dev/null
}
until_seen 6-select selected ||
  fail "selection: dragging across the line drew no selection ($seen)"
xdotool key ctrl+c
expected="Серийный номер вводится во время установки. Номера всех программ"
copied() {
  timeout 5 xclip -selection clipboard -o >"$work/clipboard.txt" 2>/dev/null || return 1
  case "$(cat "$work/clipboard.txt")" in "$expected"*) return 0 ;; *) return 1 ;; esac
}
n=0
until copied; do
  n=$((n + 1))
  [ $n -lt 20 ] || fail "selection: the clipboard holds '$(head -c 200 "$work/clipboard.txt")', not '$expected...'"
  sleep 0.25
done

# ---- 7. On the products page (fourth button, links in #B05000) the first
# link is the first product key, "serial1": a click puts the key on the clipboard and shows
# the confirmation box; closing the box activates the window again, which
# shows the start page.
click_client 110 456
products_link() {
  box "$1.png" "#B05000"
  seen="link-coloured box ${bw}x$bh at ($bx, $by)"
  [ "$bw" -gt 20 ] || return 1
  box "$1.png" "#B05000" "$by" 12
  seen="first link ${bw}x$bh at ($bx, $by)"
  [ "$bw" -gt 20 ] && [ "$(dominant "$1.png")" = "#FFFFFF" ]
}
until_seen 7-products products_link ||
  fail "fourth button: no page with a link in the viewer ($seen)"
click_client $((panel_x + bx + bw / 2)) $((panel_y + by + bh / 2))
key="QM-OF26-7H3K-22PX-91QA"
n=0
until [ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$key" ]; do
  n=$((n + 1))
  [ $n -lt 40 ] || fail "serial link: the clipboard holds '$(timeout 5 xclip -selection clipboard -o 2>/dev/null | head -c 100)', not $key"
  sleep 0.25
done
wait_box "serial link: no confirmation box appeared"
title=$(xdotool getwindowname "$dialog")
case "$title" in *"Мастер установки"*) ;; *) fail "serial link: the box is titled '$title'" ;; esac
close_box "serial link"
until_seen 7-reloaded start_page ||
  fail "serial link: closing the box did not bring back the start page ($seen)"

# ---- 7b. The registration form, reached from the course page (third
# button) through its first link "Регистрация" (#0000FF, in the top 100
# rows). Its controls, where htmlrender --dump puts them: the name field
# at page (136, 24) 245 x 20, the check box "Словарь" at (136, 90)
# 13 x 13, the button "Отправить" at (136, 205) 81 x 21. A name typed in,
# the box ticked and the button pressed, the launcher shows the form's
# strings in a box, which copies its text with Ctrl+C.
click_client 533 79
course_link() {
  box "$1.png" "#0000FF" 0 100
  seen="link-coloured box ${bw}x$bh at ($bx, $by) in the top rows"
  [ "$bw" -gt 40 ]
}
until_seen 7b-course course_link ||
  fail "third button: no link on the course page ($seen)"
click_client $((panel_x + bx + bw / 2)) $((panel_y + by + bh / 2))
form_page() {
  box "$1.png" "$heading" 0 24
  seen="heading-coloured box ${bw}x$bh at ($bx, $by)"
  [ "$bw" -ge 120 ] && [ $bx -ge 8 ] && [ $bx -le 14 ] || return 1
  # The name field is a white box inside its dark frame.
  field=$(convert "$1.png" -crop 1x1+200+34 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}')
  seen="$seen, name field $field"
  [ "$field" = "#FFFFFF" ]
}
until_seen 7b-form form_page ||
  fail "course link: the registration form did not show ($seen)"
click_client $((panel_x + 200)) $((panel_y + 34))
sleep 0.2
xdotool type --delay 20 "Ann Lee"
click_client $((panel_x + 136 + 6)) $((panel_y + 90 + 6))
typed_and_ticked() {
  # The field shows the name (dark pixels in its left part); the box a tick.
  convert "$1.png" -crop 100x14+138+27 +repage "$work/field.png"
  convert "$1.png" -crop 9x9+138+92 +repage "$work/tick.png"
  letters=$(convert "$work/field.png" -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:)
  tick=$(convert "$work/tick.png" -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:)
  seen="$letters dark pixels in the name field, $tick in the check box"
  [ "$letters" -gt 30 ] && [ "$tick" -gt 5 ]
}
until_seen 7b-filled typed_and_ticked ||
  fail "form: typing into the field and ticking the box show nothing ($seen)"
click_client $((panel_x + 136 + 40)) $((panel_y + 205 + 10))
wait_box "form: pressing the submit button showed no box"
printf '' | xclip -selection clipboard
xdotool windowfocus --sync "$dialog" key ctrl+c
n=0
until timeout 5 xclip -selection clipboard -o >"$work/submitted.txt" 2>/dev/null &&
  grep -q "name=Ann Lee" "$work/submitted.txt"; do
  n=$((n + 1))
  [ $n -lt 20 ] || fail "form: the box says '$(head -c 300 "$work/submitted.txt")', not the name typed"
  sleep 0.25
done
for sent in "name=Ann Lee" "key=" "edition=office" "dictionary=On" "templates=yes" \
  "source=от друзей" "send=Отправить"; do
  grep -qx "$sent" "$work/submitted.txt" ||
    fail "form: the box lacks the line '$sent' ($(tr '\n' '|' <"$work/submitted.txt"))"
done
close_box "form"

# ---- 8. The last button closes the launcher, with status 0.
click_client 533 456
n=0
while kill -0 "$launcher_pid" 2>/dev/null; do
  n=$((n + 1))
  [ $n -lt 100 ] || fail "exit button: the launcher is still running after 10 s"
  sleep 0.1
done
wait "$launcher_pid"
status=$?
launcher_pid=""
[ $status -eq 0 ] || fail "exit button: the launcher ended with status $status"
echo "ok"
