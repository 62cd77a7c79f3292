#!/usr/bin/env bash
# The real program on a virtual screen: text typed into Monday's box, then
# SIGTERM (a logout, a service manager's stop). The program must end cleanly
# with everything typed stored and its window settings written.
# usage: sigterm.sh PROGRAM_DIR
set -euo pipefail
program_dir=$1
source "$(dirname "$0")/fresh-program-folder.sh"
require_tools xvfb-run xwininfo xdotool
make_fresh_folder
typed="typed before the end"

xvfb-run -a -n 150 -e /dev/stderr -s "-screen 0 1280x800x24 -noreset" bash -c '
  folder=$0 typed=$1
  QT_QPA_PLATFORM=xcb "$folder/tavi" 2>/dev/null & pid=$!
  for _ in $(seq 1 150); do xwininfo -name "Tavi桌面记事" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 0.5
  # Monday'"'"'s box: the window stands at (187, 115), its week page at (506, 199).
  xdotool mousemove 600 300 click 1
  xdotool type --delay 15 "$typed"
  sleep 0.5
  rm "$folder/Data/FormSize.ini" # written at the start; it must come again at the end
  kill -TERM $pid
  status=0; wait $pid || status=$?
  [ "$status" -eq 0 ] || { echo "the program ended with status $status"; exit 1; }' "$folder" "$typed"

week=$("$program_dir/tavi-cli" week --folder "$folder" --slot A --month "$(date +%-m)")
grep -qF "$typed" <<<"$week" || { echo "the typed text was not stored:"; echo "$week"; exit 1; }
[ -f "$folder/Data/FormSize.ini" ] || { echo "FormSize.ini was not written at the end"; exit 1; }
echo ok
