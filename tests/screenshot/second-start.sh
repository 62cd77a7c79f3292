#!/usr/bin/env bash
# Starts the real program twice on one program folder under a virtual X
# screen: the second start must end at once and leave one window; after the
# first is killed (SIGKILL, as in a crash) a new start must come up.
# usage: second-start.sh PROGRAM_DIR
set -euo pipefail
program_dir=$1
source "$(dirname "$0")/fresh-program-folder.sh"
require_tools xvfb-run xwininfo
make_fresh_folder

xvfb-run -a -n 130 -e /dev/stderr -s "-screen 0 1280x800x24 -noreset" bash -c '
  folder=$0
  windows() { xwininfo -root -tree | grep -c "\"Tavi桌面记事\"" || true; }
  wait_for_window() {
    for _ in $(seq 1 150); do [ "$(windows)" -ge 1 ] && return 0; sleep 0.1; done
    echo "no window came up"; return 1
  }
  QT_QPA_PLATFORM=xcb "$folder/tavi" 2>/dev/null & first=$!
  wait_for_window
  start=$(date +%s%N)
  QT_QPA_PLATFORM=xcb timeout 10 "$folder/tavi" || { echo "the second start did not end cleanly"; exit 1; }
  echo "second start ended after $(( ($(date +%s%N) - start) / 1000000 )) ms"
  [ "$(windows)" -eq 1 ] || { echo "expected one window, found $(windows)"; exit 1; }
  kill -0 $first || { echo "the first start ended"; exit 1; }
  kill -9 $first; wait $first 2>/dev/null || true
  QT_QPA_PLATFORM=xcb "$folder/tavi" 2>/dev/null & again=$!
  wait_for_window || { echo "the lock of the killed start blocked the next one"; exit 1; }
  kill $again
  echo ok' "$folder"
