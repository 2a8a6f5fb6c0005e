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
echo "ok"
