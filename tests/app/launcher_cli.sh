#!/bin/sh
# The launcher's command line: statuses and messages.
#   launcher_cli.sh LAUNCHER DEMO WORKDIR
set -u
tool="$1"
demo="$2"
work="$3"
mkdir -p "$work/empty-medium"
fail() { echo "FAIL: $*"; exit 1; }

# --help: the usage on standard output, status 0.
"$tool" --help >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "--help: status $?"
grep -q '^usage: launcher' "$work/out" || fail "--help: $(cat "$work/out")"

# An empty --root once meant the default medium without a word.
"$tool" --root "" --screenshot "$work/shot.png" >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "empty root: status $?"
grep -q '^launcher: --root needs a name' "$work/err" || fail "empty root: $(cat "$work/err")"

# A screenshot of a medium without its files: the errors on standard error,
# the picture written all the same, and status 1 (it once was 0).
rm -f "$work/shot.png"
"$tool" --root "$work/empty-medium" --screenshot "$work/shot.png" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] || fail "empty medium: status $?"
grep -q 'Cannot open file' "$work/err" || fail "empty medium: $(cat "$work/err")"
[ -s "$work/shot.png" ] || fail "empty medium: no picture"

# The demo medium: no errors, status 0.
"$tool" --root "$demo" --screenshot "$work/shot.png" >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "demo: status $? $(cat "$work/err")"
# The checker: the demo medium is clean (status 0, the summary alone); a
# folder without HTML\ cannot be read (status 2).
"$tool" --check --root "$demo" >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "check demo: status $? $(cat "$work/out")"
[ "$(cat "$work/out")" = "6 pages checked: 0 errors, 0 warnings" ] || fail "check demo: $(cat "$work/out")"
"$tool" --check --root "$work/empty-medium" >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "check empty medium: status $?"

# A page and a place in it instead of the start page: the help page
# scrolled to its end differs from the start page's picture.
"$tool" --root "$demo" --screenshot "$work/help.png" --page help.htm --scroll 400 >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "--page: status $? $(cat "$work/err")"
cmp -s "$work/shot.png" "$work/help.png" && fail "--page: the picture is the start page's"
"$tool" --root "$demo" --screenshot "$work/none.png" --page nosuch.htm >"$work/out" 2>"$work/err"
[ $? -eq 1 ] || fail "--page of a missing page: status $?"
grep -q "Can't locate file" "$work/err" || fail "--page of a missing page: $(cat "$work/err")"
"$tool" --root "$demo" --page help.htm >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "--page without --screenshot: status $?"

# Every reachable page as a picture, named after the page.
rm -rf "$work/all"
"$tool" --root "$demo" --screenshot-all "$work/all" >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "--screenshot-all: status $? $(cat "$work/err")"
for page in soft internet tutor products help register; do
  [ -s "$work/all/$page.png" ] || fail "--screenshot-all: no $page.png ($(ls "$work/all"))"
done
[ "$(ls "$work/all" | wc -l)" -eq 6 ] || fail "--screenshot-all: $(ls "$work/all")"
echo "ok"
