# Installs the Debian packages given as arguments that are not installed yet.
# Sourced by run.sh and test.sh. As root it calls apt-get directly; as a user
# it uses sudo for this step only.
install_packages() {
  local missing=()
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What every build needs.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libxcb1-dev libgtest-dev libgmock-dev
                libbenchmark-dev libpng-dev libjpeg62-turbo-dev libgif-dev fonts-liberation
                fontconfig)

# What running the launcher needs besides: the desktop's opener for web and
# mail addresses and for documents an install entry names, and Qt's Wayland
# plugin, so that on a Wayland session the launcher needs no X server.
RUN_PACKAGES=(xdg-utils qt6-wayland)

# What making the Debian package needs besides (cpack -G DEB): dpkg-shlibdeps
# finds the packages of the libraries the programs link, and file tells
# CPack which files are programs.
PACKAGE_PACKAGES=(dpkg-dev file)

# What the tests need besides: a virtual X display to drive the real window
# on, the tools that click, type, grab the screen and read the clipboard, a
# window manager and another program to share the desktop with (openbox,
# xmessage and xprop from x11-utils), the Xlib and XFixes headers for the
# tool that reads the cursor back, weston to run the window as a Wayland
# client, and groff to read the manual pages as man does.
TEST_PACKAGES=(xvfb xdotool xclip imagemagick groff-base openbox x11-utils libx11-dev libxfixes-dev
               weston)
