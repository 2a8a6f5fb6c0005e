#!/bin/sh
# The launcher's command line: statuses and messages.
#   launcher_cli.sh LAUNCHER DEMO WORKDIR
set -u
tool="$1"
demo="$2"
work="$3"
mkdir -p "$work/empty-medium"
fail() { echo "FAIL: $*"; exit 1; }
# Runs the launcher with ARGS, its output in out and err, its status in
# $status (a test of $? would report the test's own status).
run() {
  "$tool" "$@" >"$work/out" 2>"$work/err"
  status=$?
}

# --help: the usage on standard output, status 0.
run --help
[ $status -eq 0 ] || fail "--help: status $status"
grep -q '^usage: launcher' "$work/out" || fail "--help: $(cat "$work/out")"

# An empty --root once meant the default medium without a word.
run --root "" --screenshot "$work/shot.png"
[ $status -eq 2 ] || fail "empty root: status $status"
grep -q '^launcher: --root needs a name' "$work/err" || fail "empty root: $(cat "$work/err")"

# A screenshot of a medium without its files: the errors on standard error,
# the picture written all the same, and status 1 (it once was 0).
rm -f "$work/shot.png"
run --root "$work/empty-medium" --screenshot "$work/shot.png"
[ $status -eq 1 ] || fail "empty medium: status $status"
grep -q 'Cannot open file' "$work/err" || fail "empty medium: $(cat "$work/err")"
[ -s "$work/shot.png" ] || fail "empty medium: no picture"

# The demo medium: no errors, status 0.
run --root "$demo" --screenshot "$work/shot.png"
[ $status -eq 0 ] || fail "demo: status $status $(cat "$work/err")"
# The checker: the demo medium is clean (status 0, the summary alone); a
# folder without HTML\ cannot be read (status 2).
run --check --root "$demo"
[ $status -eq 0 ] || fail "check demo: status $status $(cat "$work/out")"
[ "$(cat "$work/out")" = "6 pages checked: 0 errors, 0 warnings" ] || fail "check demo: $(cat "$work/out")"
run --check --root "$work/empty-medium"
[ $status -eq 2 ] || fail "check empty medium: status $status"

# A page and a place in it instead of the start page: the help page
# scrolled to its end differs from the start page's picture.
run --root "$demo" --screenshot "$work/help.png" --page help.htm --scroll 400
[ $status -eq 0 ] || fail "--page: status $status $(cat "$work/err")"
cmp -s "$work/shot.png" "$work/help.png" && fail "--page: the picture is the start page's"
run --root "$demo" --screenshot "$work/none.png" --page nosuch.htm
[ $status -eq 1 ] || fail "--page of a missing page: status $status"
grep -q "Can't locate file" "$work/err" || fail "--page of a missing page: $(cat "$work/err")"
run --root "$demo" --page help.htm
[ $status -eq 2 ] || fail "--page without --screenshot: status $status"

# Every reachable page as a picture, named after the page.
rm -rf "$work/all"
run --root "$demo" --screenshot-all "$work/all"
[ $status -eq 0 ] || fail "--screenshot-all: status $status $(cat "$work/err")"
for page in soft internet tutor products help register; do
  [ -s "$work/all/$page.png" ] || fail "--screenshot-all: no $page.png ($(ls "$work/all"))"
done
[ "$(ls "$work/all" | wc -l)" -eq 6 ] || fail "--screenshot-all: $(ls "$work/all")"

# Media the checker once mishandled, each with the status it must give and
# a line it must print: a link that loops (it aborted with status 134), a
# program link off the medium, HTML as a file (status 1, "0 pages checked").
hostile() {  # NAME: a fresh copy of the demo medium, then broken by NAME
  rm -rf "$work/hostile" && cp -r "$demo" "$work/hostile"
  case "$1" in
    loop) ln -s loop.htm "$work/hostile/HTML/loop.htm" ;;
    outside) ln -s /bin/sh "$work/hostile/SETUP/sh"
             printf '\\SETUP\r\nsh\r\n\r\n' >"$work/hostile/HTML/install.dat" ;;
    html-file) rm -rf "$work/hostile/HTML" && echo x >"$work/hostile/HTML" ;;
  esac
}
for case in "loop 1 HTML/loop.htm:0: links that lead round in a loop" \
            "outside 1 the program sh (folder \\SETUP) leads outside the medium" \
            "html-file 2 HTML on the medium is no folder"; do
  name=${case%% *}; rest=${case#* }; want=${rest%% *}; line=${rest#* }
  hostile "$name"
  "$tool" --check --root "$work/hostile" >"$work/out" 2>"$work/err"
  status=$?
  [ $status -eq "$want" ] || fail "check $name: status $status $(cat "$work/out" "$work/err")"
  grep -qF "$line" "$work/out" || fail "check $name: no '$line' in $(cat "$work/out")"
done

# Two pages of one name in two folders: a picture each, none written over
# another (\A\page.htm and \B\page.htm once shared one file).
hostile none
mkdir -p "$work/hostile/A" "$work/hostile/B"
echo '<P>A' >"$work/hostile/A/page.htm"
echo '<P>B' >"$work/hostile/B/page.htm"
printf '%s\n' '<A HREF="\A\page.htm">a</A><A HREF="\B\page.htm">b</A>' >>"$work/hostile/HTML/help.htm"
rm -rf "$work/all"
"$tool" --root "$work/hostile" --screenshot-all "$work/all" >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "--screenshot-all of two page.htm: status $? $(cat "$work/err")"
[ "$(sort -u "$work/out" | wc -l)" -eq 8 ] || fail "--screenshot-all names: $(cat "$work/out")"
[ "$(ls "$work/all" | wc -l)" -eq 8 ] || fail "--screenshot-all files: $(ls "$work/all")"
cmp -s "$work/all/A-page.png" "$work/all/B-page.png" && fail "--screenshot-all: A and B alike"

# Without --root an unreadable medium is reported, not a crash.
(cd "$work/empty-medium" && "$tool" --screenshot-all "$work/none" >"$work/out" 2>"$work/err")
[ $? -le 2 ] || fail "--screenshot-all without --root: status $? $(cat "$work/err")"
echo "ok"
