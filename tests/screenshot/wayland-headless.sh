#!/usr/bin/env bash
# The real program on Wayland: Weston with its headless backend, Qt's own
# Wayland platform. The window must show at its size; SIGTERM must end the
# program cleanly with FormSize.ini holding the size and, since a compositor
# never tells a window where it stands, the position it knew (not zeros).
# usage: wayland-headless.sh PROGRAM_DIR OUT
set -euo pipefail
program_dir=$1 out=$2
source "$(dirname "$0")/fresh-program-folder.sh"
source "$(dirname "$0")/weston.sh"
require_tools weston weston-screenshooter convert
make_fresh_folder
mkdir -p "$out"
start_weston --backend=headless-backend.so --width=1280 --height=800
fail=0

"$folder/tavi" 2>"$folder/tavi.log" & pid=$!
if bounds=$(wait_for_window); then
  cp "$folder/shot.png" "$out/wayland.png"
  read -r width height _ <<<"$bounds"
  [ "$width $height" = "906 540" ] || { echo "the window is ${width}x$height"; fail=1; }
else
  cat "$folder/tavi.log"; echo "no window showed under Weston"; fail=1
fi
rm -f "$folder/Data/FormSize.ini" # written at the start; it must come again at the end
kill -TERM $pid
status=0; wait $pid || status=$?
[ $status -eq 0 ] || { cat "$folder/tavi.log"; echo "the program ended with status $status"; fail=1; }
settings=$(tr -d '\r' <"$folder/Data/FormSize.ini" 2>/dev/null | paste -sd' ')
# slot width height left top month: the start's centred place on the 1280 x 800 output
[ "$settings" = "1 906 540 187 115 $(date +%-m)" ] || { echo "FormSize.ini holds: $settings"; fail=1; }
[ $fail -eq 0 ] && echo "wayland checks passed: $out/wayland.png"
exit $fail
