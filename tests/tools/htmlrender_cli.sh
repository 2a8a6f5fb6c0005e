#!/bin/sh
# The page tool's command line: exit codes and messages.
#   htmlrender_cli.sh HTMLRENDER WORKDIR DEMO_HTML_DIR
set -u
tool="$1"
work="$2"
demo="$3"
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

# --help: the usage on standard output, status 0.
"$tool" --help >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "--help: status $?"
grep -q '^usage: htmlrender' "$work/out" || fail "--help: $(cat "$work/out")"

# Option values out of range or not numbers: a message naming the option,
# status 2 (they once only printed the usage, or ended in an exception).
for case in "--width 100000" "--width 0" "--width abc" "--size 1001" "--size 0" \
            "--charset 256" "--charset -1" "--width 99999999999999999999"; do
  set -- $case
  "$tool" "$1" "$2" "$work/good.htm" "$work/out.png" >"$work/out" 2>"$work/err"
  status=$?
  [ $status -eq 2 ] || fail "$case: status $status"
  grep -q -- "^htmlrender: $1 takes a whole number" "$work/err" || fail "$case: $(cat "$work/err")"
done

# A page that exists but cannot be read, and a folder: every form says what
# failed, status 2 (they once gave status 0 and a blank picture).
for form in "" "--dump" "--tokens"; do
  for page in /proc/self/mem "$work"; do
    if [ -n "$form" ]; then
      "$tool" $form "$page" >"$work/out" 2>"$work/err"
    else
      "$tool" "$page" "$work/out.png" >"$work/out" 2>"$work/err"
    fi
    status=$?
    [ $status -eq 2 ] || fail "$form $page: status $status"
    grep -q "^htmlrender: cannot read $page: " "$work/err" || fail "$form $page: $(cat "$work/err")"
  done
done
grep -q ": Is a directory$" "$work/err" || fail "folder: $(cat "$work/err")"

# A page far taller than a bitmap may be (once "Bitmap too large") is drawn
# in bands into one PNG. Its height is in the header, bytes 21..24.
i=0
: >"$work/tall.htm"
while [ $i -lt 4000 ]; do echo '<P>a line' >>"$work/tall.htm"; i=$((i + 1)); done
"$tool" "$work/tall.htm" "$work/tall.png" 2>"$work/err"
[ $? -eq 0 ] || fail "tall page: status $? $(cat "$work/err")"
height=$(od -An -tu1 -j20 -N4 "$work/tall.png" | awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4}')
[ "$height" -gt 65536 ] || fail "tall page: height $height"

# An output that cannot be written: the reason, status 1.
"$tool" "$work/good.htm" "$work/missing-folder/out.png" 2>"$work/err"
[ $? -eq 1 ] || fail "unwritable output: status $?"
grep -q "^htmlrender: cannot write $work/missing-folder/out.png: " "$work/err" || fail "unwritable: $(cat "$work/err")"

# Pictures are found next to the page with the medium's rules (names in
# any case); --dump gives each one's line, --frame N draws animations at
# frame N.
mkdir -p "$work/site/Img"
cp "$demo/globe.gif" "$work/site/Img/GLOBE.GIF"
printf '<IMG SRC="img/globe.gif">x<IMG SRC="none.gif" ALIGN=right ALT=gone>' >"$work/site/page.htm"
"$tool" --dump "$work/site/page.htm" >"$work/out" 2>"$work/err" || fail "pictures: status $?"
grep -q '^  image x=0 y=[0-9]* w=48 h=48 align=bottom src=".*GLOBE.GIF"$' "$work/out" ||
  grep -qi '^  image x=0 y=[0-9]* w=48 h=48 align=bottom src=".*img.*globe.gif"$' "$work/out" ||
  fail "pictures: $(grep image "$work/out")"
grep -q '^  image x=[0-9]* y=[0-9]* w=[0-9]* h=[0-9]* align=right src=".*none.gif" missing float=right$' \
  "$work/out" || fail "missing picture: $(grep image "$work/out")"
"$tool" "$work/site/page.htm" "$work/frame1.png" 2>"$work/err" || fail "frame 1: status $?"
"$tool" --frame 3 "$work/site/page.htm" "$work/frame3.png" 2>"$work/err" || fail "frame 3: status $?"
cmp -s "$work/frame1.png" "$work/frame3.png" && fail "--frame 3 draws the same picture as frame 1"
"$tool" --frame 0 "$work/site/page.htm" "$work/out.png" >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "--frame 0: status"
grep -q -- "^htmlrender: --frame takes a whole number from 1 to 256" "$work/err" || fail "--frame 0: $(cat "$work/err")"
echo "ok"
