#!/usr/bin/env bash
# Draws the README's pictures anew with the build's crane-render, into docs/pictures/. Run
# through: cmake --build build --target pictures
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
