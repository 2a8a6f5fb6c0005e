#!/bin/sh
# The manual pages: well-formed for man, and naming every option that the
# programs' own usage names.
#   man_pages.sh MANDIR LAUNCHER HTMLRENDER
set -u
mandir="$1"
shift
fail() { echo "FAIL: $*"; exit 1; }
command -v groff >/dev/null 2>&1 || fail "groff is missing (./test.sh installs it)"

for tool in "$@"; do
  name=${tool##*/}
  page="$mandir/$name.1"
  [ -f "$page" ] || fail "no page for $name"
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || fail "$page: $warnings"
  usage=$("$tool" --help) || fail "$name --help: status $?"
  options=$(printf '%s\n' "$usage" | grep -o -- '--[a-z][a-z-]*' | sort -u)
  [ -n "$options" ] || fail "$name --help names no option: $usage"
  for option in $options; do
    # In the page's source a hyphen is written \-.
    sed 's/\\-/-/g' "$page" | grep -qE -- "$option([^a-z-]|$)" || fail "$page lacks $option"
  done
done
echo "ok"
