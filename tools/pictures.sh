#!/usr/bin/env bash
# Draws the README's pictures anew from the build, into docs/pictures/: crane-render's, and the
# window's on each desktop when the build has the end-to-end tests. Run through:
#   cmake --build build --target pictures
#   pictures.sh BUILD_FOLDER PICTURES_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
pictures=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# From the build folder, where the mesh files are; the report lines are not wanted here.
cd "$build"
render() { ./crane-render "$@" >/dev/null; }

render --frames 75,200,300,440,625,800 --out "$work/km" --sheet "$pictures/key-moments.png"
cp "$work/km/frame-0200.png" "$pictures/frame-0200.png"
for k in p o i; do
  render --frames 200 --key "200:$k" --out "$work/$k"
  cp "$work/$k/frame-0200.png" "$pictures/frame-0200-key-$k.png"
done
render --video "$pictures/preview.webp" --size 400x269
echo "Drawn anew in $pictures: key-moments.png, frame-0200*.png, preview.webp"

# The window on each desktop, taken by the end-to-end tests' own display servers: only in a
# build with the tests (and, for the Wine picture, configured with CRANE_WINDOWS_BUILD; for the
# page of the web build, with CRANE_WEB_BUILD).
if [ ! -x tests/test_e2e_crane ]; then
  echo "Window pictures left as they are: this build has no end-to-end tests (-DCRANE_TESTS=ON)"
  exit 0
fi
CRANE_WINDOW_PICTURES="$work" tests/test_e2e_crane --gtest_filter='*TitleIsExact*:*Weston*' \
  >"$work/e2e.log" 2>&1 || { cat "$work/e2e.log" >&2; exit 1; }
for pair in Openbox:x11 Sway:wayland Weston:wayland-libdecor Wine:wine Web:web-page; do
  if [ -f "$work/window-${pair%%:*}.png" ]; then
    cp "$work/window-${pair%%:*}.png" "$pictures/window-${pair#*:}.png"
    echo "Drawn anew: window-${pair#*:}.png"
  fi
done
