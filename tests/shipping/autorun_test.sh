#!/bin/sh
# The medium's autorun.sh: starts the installed launcher with the medium as
# its root, however it is started and wherever the medium is mounted, and
# says what to install when there is no launcher.
#   autorun_test.sh AUTORUN WORKDIR
set -u
autorun="$1"
work="$2"
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work"
mkdir -p "$work/bin" "$work/other launcher" "$work/desktop" || exit 1

# A medium mounted at a folder whose name has spaces.
mount="$work/media/Demo Disc 1"
mkdir -p "$mount/HTML"
cp "$autorun" "$mount/autorun.sh"
medium=$(cd "$mount" && pwd -P)

# Fake programs that record their arguments, one a line: an installed
# launcher, one named by LAUNCHER, and a desktop notifier.
fake() {
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s"\n' "$2" >"$1"
  chmod +x "$1"
}
fake "$work/bin/launcher" "$work/args"
fake "$work/other launcher/run" "$work/args"
fake "$work/desktop/notify-send" "$work/notified"
not_executable="$work/other launcher/plain"
: >"$not_executable"

# Each case: the folder it starts in, then the command.
started() {
  folder="$1"
  shift
  rm -f "$work/args"
  (cd "$folder" && env PATH="$work/bin:$PATH" "$@") >"$work/out" 2>&1 ||
    fail "$*: status $? $(cat "$work/out")"
  [ "$(cat "$work/args" 2>/dev/null)" = "$(printf '%s\n' --root "$medium")" ] ||
    fail "in $folder, $*: the launcher got $(cat "$work/args" 2>/dev/null || echo nothing)"
}
started "$work" "$mount/autorun.sh"
started "$work" sh "$mount/autorun.sh"
started "$mount" sh ./autorun.sh
started "$mount" sh autorun.sh
started "$work/media" sh "Demo Disc 1/autorun.sh"
started / env "LAUNCHER=$work/other launcher/run" PATH=/usr/bin:/bin sh "$mount/autorun.sh"

# No launcher: a message on standard error and on the desktop that names the
# package and how to install it, and a failure status. A package on the
# medium is named by its file.
missing() {
  expected="$1"
  shift
  rm -f "$work/notified"
  (cd "$work" && env -i PATH="$work/desktop" DISPLAY=:99 "$@" /bin/sh "$mount/autorun.sh") \
    >"$work/out" 2>"$work/err"
  status=$?
  [ $status -ne 0 ] || fail "no launcher ($*): status 0"
  for text in '"launcher"' "$expected"; do
    grep -qF -- "$text" "$work/err" || fail "no launcher ($*): no $text in: $(cat "$work/err")"
    grep -qF -- "$text" "$work/notified" 2>/dev/null ||
      fail "no launcher ($*): the desktop was not told $text"
  done
}
missing "sudo apt-get install ./launcher_*.deb"
missing "sudo apt-get install ./launcher_*.deb" "LAUNCHER=$not_executable"
missing "sudo apt-get install ./launcher_*.deb" "LAUNCHER=$work/missing/launcher"
: >"$mount/launcher_1.0.0_amd64.deb"
missing "sudo apt-get install ./launcher_1.0.0_amd64.deb"
grep -qF "$medium" "$work/err" || fail "the medium's package: its folder is not named: $(cat "$work/err")"
echo "ok"
