#!/usr/bin/env bash
# Builds the program and runs it in its window; without a reachable display, renders the
# animation's key moments off-screen instead and says where the picture is.
#   bash tools/run.sh          the Linux program (Wayland or X11)
#   bash tools/run.sh --wine   the Windows build, crane.exe, under Wine on the X display
#   bash tools/run.sh --web [PORT]
#                              the web build, served on 127.0.0.1 (PORT, or a free one) by
#                              tools/serve_web.sh; it prints the site's address, whose root is
#                              the page
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--web" ]; then
  bash tools/install-deps.sh web
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-web -j"$(nproc)"
  exec bash tools/serve_web.sh build-web/site "${2:-0}"
fi

if [ "${1:-}" = "--wine" ]; then
  bash tools/install-deps.sh run wine
  cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/windows/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCRANE_TESTS=OFF >/dev/null
  cmake --build build-windows -j"$(nproc)"
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    echo "No X display reachable (DISPLAY='${DISPLAY:-}'): Wine draws through one." >&2
    exit 1
  fi
  cd build-windows
  exec ../tools/windows/wine.sh crane.exe
fi

bash tools/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCRANE_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
cd build
# A Wayland compositor (WAYLAND_DISPLAY, or its default socket) or an X display.
wayland_socket="${WAYLAND_DISPLAY:-wayland-0}"
case "$wayland_socket" in /*) ;; *) wayland_socket="${XDG_RUNTIME_DIR:-/nonexistent}/$wayland_socket" ;; esac
if [ -S "$wayland_socket" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  exec ./crane
fi
echo "No Wayland compositor or X display reachable (WAYLAND_DISPLAY='${WAYLAND_DISPLAY:-}'," \
  "DISPLAY='${DISPLAY:-}'): rendering the key moments off-screen." >&2
mkdir -p key-moments
./crane-render --frames 75,200,300,440,625,800 --out key-moments --sheet key-moments/sheet.png >/dev/null
echo "Contact sheet: $(pwd)/key-moments/sheet.png"
