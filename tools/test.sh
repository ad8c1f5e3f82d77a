#!/usr/bin/env bash
# Builds everything and runs every test: the Windows build and its installer and the web build
# too, the full suite (the Windows build under Wine and the web build in a browser among it),
# then the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer. Needs no
# display and no GPU.
# CRANE_BUILD_TYPE chooses the main build's type (RelWithDebInfo unless given).
#   bash tools/test.sh           everything, as above
#   bash tools/test.sh --quick   the Linux build and the tests that need no display server,
#                                browser or Wine: unit, GL-call and toolkit tests, the GL layer's
#                                native tests and crane-render's quicker ones; CRANE_BUILD_DIR
#                                names its build folder (build unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

if [ "${1:-}" = --quick ]; then
  bash tools/install-deps.sh run quick
  build=${CRANE_BUILD_DIR:-build}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE="${CRANE_BUILD_TYPE:-RelWithDebInfo}" \
    -DCRANE_TESTS=ON >/dev/null
  cmake --build "$build" -j"$jobs"
  cd "$build"
  # Unlabelled tests are the unit, GL-call and toolkit ones; e2e, x11, fuzz and render need a
  # display server, a browser, Wine, clang's fuzzer or minutes of drawing.
  ctest --output-on-failure -j2 --timeout 300 -LE 'e2e|x11|fuzz|render|gl_layer'
  ctest --output-on-failure -j2 --timeout 300 -L gl_layer --no-tests=ignore
  # crane-render's backend in process, its pictures and its command line: seconds, not minutes.
  ctest --output-on-failure -j2 --timeout 300 -L render -LE e2e \
    -R '^(EglBackend|CranePictures|CraneRenderCommand)\.'
  exit 0
fi
[ $# -eq 0 ] || { echo "usage: bash tools/test.sh [--quick]" >&2; exit 2; }

bash tools/install-deps.sh
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/windows/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE="${CRANE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build build-windows -j"$jobs"
(cd build-windows && cpack -G "ZIP;NSIS" >/dev/null)

# The web build is always optimised, as it is served: its tests run it in a browser.
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web -j"$jobs"
(cd build-web && cpack -G ZIP >/dev/null)

cmake -S . -B build -DCMAKE_BUILD_TYPE="${CRANE_BUILD_TYPE:-RelWithDebInfo}" -DCRANE_TESTS=ON \
  -DCRANE_WINDOWS_BUILD="$PWD/build-windows" -DCRANE_WEB_BUILD="$PWD/build-web" >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j2 --timeout 600)

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCRANE_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j2 --timeout 600 -LE 'e2e|render|fuzz')
