#!/usr/bin/env bash
# Builds everything and runs every test headless; ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
bash tools/ensure-packages.sh "${TAVI_BUILD_PACKAGES[@]}" "${TAVI_TEST_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen
# The web panel stays a plain panel in tests: no browser processes, no network.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVI_WERROR=ON -DTAVI_WEB_PANEL=OFF >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j"$(nproc)"
