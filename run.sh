#!/usr/bin/env bash
# Builds the program (Release), lays out its folder and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
bash tools/ensure-packages.sh "${TAVI_BUILD_PACKAGES[@]}"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVI_TESTS=OFF -DTAVI_BENCH=OFF >/dev/null
cmake --build build-release

program=build-release/program/tavi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
No display: DISPLAY and WAYLAND_DISPLAY are not set, so the window cannot be shown.
The program is built in $(pwd)/build-release/program. To run it without a desktop,
under a virtual X server:
  apt-get install xvfb xauth   # once
  xvfb-run -a $(pwd)/$program
MSG
  exit 1
fi
exec "$program" "$@"
