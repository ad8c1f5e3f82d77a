#!/usr/bin/env bash
# Installs the Debian packages a task needs, when any is missing.
#   bash tools/install-deps.sh            everything: builds, tests, benchmarks (the test command)
#   bash tools/install-deps.sh run        building and running the Linux programs only
#   bash tools/install-deps.sh run web    ... and the web build (emscripten, a browser)
#   bash tools/install-deps.sh run wine   ... and the Windows build under Wine
#   bash tools/install-deps.sh run quick  ... and the tests that need no display (test.sh --quick)
set -euo pipefail
cd "$(dirname "$0")/.."

# Building and running crane and crane-render on Linux.
run=(
  build-essential cmake pkg-config
  libgl-dev libglu1-mesa-dev libegl-dev libgles-dev libx11-dev libx11-xcb-dev libxcb-glx0-dev libpng-dev
  libwayland-dev wayland-protocols libxkbcommon-dev libdecor-0-dev libdecor-0-plugin-1-cairo
  libcairo2-dev
  libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  x11-utils librsvg2-bin
)
# The web build (its icons drawn by rsvg-convert), a browser to open it in, and Node.js for the
# site's server (npm's serve, from tests/web's lockfile).
web=(cmake make emscripten chromium librsvg2-bin)
command -v npm >/dev/null || web+=(npm)
# The Windows build, its installer, and Wine to run it.
wine=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 fonts-wine nsis python3)
# The Linux build with its tests, and what the tests without a display, browser or Wine run.
quick=(libgtest-dev libgmock-dev libxtst-dev gdb)
# Tests, benchmarks, memory checks, packaging checks.
tests=(
  clang libclang-rt-14-dev libxtst-dev mesa-utils-bin
  libgtest-dev libgmock-dev libbenchmark-dev freeglut3-dev libglfw3-dev libglfw3-wayland
  xvfb xauth x11-apps xdotool openbox
  sway wtype grim passwd weston
  valgrind gdb ffmpeg
  desktop-file-utils appstream man-db lintian dpkg-dev file
)

packages=()
node_packages=0
if [ $# -eq 0 ]; then
  node_packages=1
  packages=("${run[@]}" "${web[@]}" "${wine[@]}" "${quick[@]}" "${tests[@]}")
fi
for group in "$@"; do
  case "$group" in
    run) packages+=("${run[@]}") ;;
    web) packages+=("${web[@]}"); node_packages=1 ;;
    wine) packages+=("${wine[@]}") ;;
    quick) packages+=("${quick[@]}") ;;
    *) echo "install-deps.sh: unknown group \"$group\" (run, web, wine, quick)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# The browser tests' driver and the site's server, from the lockfile.
if [ $node_packages -eq 1 ] && ! cmp -s tests/web/package-lock.json tests/web/node_modules/.installed-lock; then
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error >&2 &&
    cp package-lock.json node_modules/.installed-lock)
fi
