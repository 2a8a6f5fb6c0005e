#!/bin/sh
# Started by the desktop when this medium is mounted (it offers to run a
# medium's autorun.sh): shows the medium's menu with the installed launcher,
# whatever folder the medium is mounted at.
#
# LAUNCHER names another launcher program to start instead of the one found
# on PATH.

# The medium is the folder this script is in. Only shell built-ins are used
# here, so a medium mounted under a name with spaces works, and so does a
# system where little is installed.
case $0 in
  */*) medium=${0%/*} ;;
  *) medium=. ;;
esac
medium=$(CDPATH='' cd -- "$medium" && pwd -P) || exit 1

# Whether $1 names a program that can be started (a path, or a name on PATH).
found() {
  case $1 in
    */*) [ -f "$1" ] && [ -x "$1" ] ;;
    *) command -v "$1" >/dev/null 2>&1 ;;
  esac
}

launcher=${LAUNCHER:-launcher}
if found "$launcher"; then
  exec "$launcher" --root "$medium" "$@"
fi

# No launcher: say what to install, on standard error and, since a desktop
# that starts this script shows no terminal, in a dialog or notification.
# A package shipped on the medium is named by its own name.
package=
for file in "$medium"/launcher_*.deb; do
  [ -e "$file" ] && package=${file##*/}
done
if [ -n "$package" ]; then
  where="It is on this medium. In the medium's folder, $medium, run:"
else
  package="launcher_*.deb"
  where="With its file, $package, in the current folder, run:"
fi
message="This medium's menu needs the program \"launcher\", which is not installed.
Install the Debian package \"launcher\" and open the medium again.
$where
    sudo apt-get install ./$package"

printf 'autorun.sh: %s\n' "$message" >&2
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  title="Launcher not installed"
  if found zenity; then
    zenity --error --title="$title" --no-wrap --no-markup --text="$message"
  elif found kdialog; then
    kdialog --title "$title" --error "$message"
  elif found notify-send; then
    notify-send --urgency=critical "$title" "$message"
  elif found xmessage; then
    xmessage -center "$message"
  fi
fi >/dev/null 2>&1
exit 1
