#!/bin/sh
# The page tool's command line: exit codes and messages.
#   htmlrender_cli.sh HTMLRENDER WORKDIR
set -u
tool="$1"
work="$2"
mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }

# A missing file: message on standard error, status 2.
"$tool" --tokens "$work/missing.htm" >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "missing file: status $?"
grep -qx "Can't locate file: $work/missing.htm" "$work/err" || fail "missing file: $(cat "$work/err")"

# A comment left open: the last line is the error, status 1.
printf '<B>bold</B><!-- open' >"$work/open.htm"
"$tool" --tokens "$work/open.htm" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] || fail "open comment: status $?"
[ "$(tail -n 1 "$work/out")" = 'ERROR "Open Comment at End of HTML File"' ] || fail "open comment: $(cat "$work/out")"
[ "$(head -n 1 "$work/out")" = 'START B' ] || fail "open comment: first line $(head -n 1 "$work/out")"

# A good page ends with EOF and status 0; strings are escaped.
printf '<A HREF="a\\b.htm">\340"</A>' >"$work/good.htm"
"$tool" --tokens "$work/good.htm" >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "good page: status $?"
expected='START A HREF=0:"a\\b.htm"
TEXT "\xe0\""
END A
EOF'  # the last line is the end of input
[ "$(cat "$work/out")" = "$expected" ] || fail "good page: $(cat "$work/out")"

# No arguments: usage, status 2.
"$tool" >/dev/null 2>&1
[ $? -eq 2 ] || fail "usage: status $?"
echo "ok"
