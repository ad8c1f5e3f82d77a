#!/usr/bin/env bash
# Builds everything and runs every test: the Windows build and its installer and the web build
# too, the full suite (the Windows build under Wine and the web build in a browser among it),
# then the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer. Needs no
# display and no GPU.
# CRANE_BUILD_TYPE chooses the main build's type (RelWithDebInfo unless given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

jobs=$(nproc)
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
