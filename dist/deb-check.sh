#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, installs it on this machine with apt-get,
# renders a frame with the installed crane-render from another folder, and removes it again.
# Needs root (or sudo). Run through: cmake --build build --target deb-check
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

cd "$build"
rm -f crane_*.deb
cpack -G DEB >/dev/null
deb=$(ls crane_*.deb)
echo "== $deb"
dpkg-deb -f "$deb" Depends

echo "== lintian (errors fail the check)"
lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1

if dpkg-query -W -f='${Status}' crane 2>/dev/null | grep -q "install ok installed"; then
  echo "a package named crane is installed already; not touching it" >&2
  exit 1
fi
work=$(mktemp -d)
cleanup() {
  if dpkg-query -W -f='${Status}' crane 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 remove -y -qq crane >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== apt-get install ./$deb"
cp "$deb" "$work/"
# apt-get reads a local file as the user _apt: the copy is world-readable in a folder it may enter.
chmod 755 "$work"
chmod 644 "$work/$deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq "$work/$deb" >/dev/null
[ "$(command -v crane-render)" = /usr/bin/crane-render ]
[ -x /usr/bin/crane ]

echo "== crane-render from another folder"
mkdir "$work/caller"
(cd "$work/caller" && crane-render --frames 200 --out shots >/dev/null)
(cd "$build" && ./crane-render --frames 200 --out "$work/reference" >/dev/null 2>&1)
cmp "$work/caller/shots/frame-0200.png" "$work/reference/frame-0200.png"
echo "frame 200 from the package is identical to the build folder's"

echo "== apt-get remove crane"
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 remove -y -qq crane >/dev/null
for path in /usr/bin/crane /usr/bin/crane-render /usr/lib/crane /usr/share/crane \
            /usr/share/applications/crane.desktop /usr/share/man/man1/crane.1.gz; do
  if [ -e "$path" ]; then
    echo "left behind after removal: $path" >&2
    exit 1
  fi
done
echo "removed cleanly"
echo "== package check passed"
