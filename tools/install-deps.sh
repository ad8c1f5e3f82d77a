#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgl-dev libglu1-mesa-dev libegl-dev libx11-dev libx11-xcb-dev libxcb-glx0-dev libxtst-dev
  libpng-dev
  libwayland-dev wayland-protocols libxkbcommon-dev libdecor-0-dev libdecor-0-plugin-1-cairo
  libcairo2-dev
  libgl1-mesa-dri libegl-mesa0 libglx-mesa0 mesa-utils-bin
  libgtest-dev libgmock-dev libbenchmark-dev freeglut3-dev libglfw3-dev libglfw3-wayland
  xvfb xauth x11-utils x11-apps xdotool openbox
  sway wtype grim passwd weston
  valgrind gdb
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
  desktop-file-utils man-db lintian dpkg-dev file
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 fonts-wine nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
