#!/bin/sh
# The Debian package: made by CPack from this build, unpacked into a scratch
# root (nothing is installed on the machine), and its programs run from
# there.
#   deb_package.sh CPACK BUILD_DIR VERSION DEMO WORKDIR
set -u
cpack="$1"
build="$2"
version="$3"
demo="$4"
work="$5"
fail() { echo "FAIL: $*"; exit 1; }
for tool in dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (./test.sh installs it)"
done
rm -rf "$work"
mkdir -p "$work"

# The package and CPack's own scratch files go to this test's folder.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -n 20 "$work/cpack.log")"
set -- "$work"/launcher_"$version"_*.deb
{ [ $# -eq 1 ] && [ -f "$1" ]; } || fail "no package launcher_${version}_ARCH.deb: $(ls "$work")"
deb="$1"

# Depends: the libraries the programs link, found by dpkg-shlibdeps, and
# what they only use at run time.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libqt6widgets6 libc6 fonts-liberation xdg-utils; do
  printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$package" ||
    fail "Depends lacks $package"
done
# Recommends: the Wayland plugin, which apt installs with the package.
recommends=$(dpkg-deb -f "$deb" Recommends)
[ "$recommends" = "qt6-wayland" ] || fail "Recommends is '$recommends', not qt6-wayland"

# The programs and their manual pages, and nothing else.
root="$work/root"
dpkg -x "$deb" "$root" || fail "dpkg -x: status $?"
files=$(cd "$root" && find . -type f | sort)
expected='./usr/bin/htmlrender
./usr/bin/launcher
./usr/share/man/man1/htmlrender.1.gz
./usr/share/man/man1/launcher.1.gz'
[ "$files" = "$expected" ] || fail "the package holds: $files"

for tool in launcher htmlrender; do
  out=$("$root/usr/bin/$tool" --version) || fail "$tool --version: status $?"
  case "$out" in
    "$tool $version" | "$tool $version ("*")") ;;
    *) fail "$tool --version: $out" ;;
  esac
done

"$root/usr/bin/htmlrender" --dump "$demo/HTML/soft.htm" >"$work/soft.txt" 2>"$work/err" ||
  fail "htmlrender --dump: status $? $(cat "$work/err")"
[ -s "$work/soft.txt" ] || fail "htmlrender --dump: no output"

QT_QPA_PLATFORM=offscreen "$root/usr/bin/launcher" --root "$demo" --screenshot "$work/demo.png" \
  >"$work/out" 2>"$work/err" || fail "launcher --screenshot: status $? $(cat "$work/err")"
[ "$(od -An -tx1 -N8 "$work/demo.png" | tr -d ' ')" = 89504e470d0a1a0a ] ||
  fail "launcher --screenshot: no PNG"
echo "ok"
