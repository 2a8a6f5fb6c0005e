#!/usr/bin/env bash
# Installs what is missing, builds the launcher and starts it on the bundled
# demo medium. Without a display it says so and writes a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target launcher

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."
  echo "Writing a screenshot of the launcher to demo-screenshot.png instead."
  exec build/bin/launcher --root demo --screenshot demo-screenshot.png
fi
exec build/bin/launcher --root demo
