#!/usr/bin/env bash
# The real program on Wayland, used with a mouse and a keyboard: Weston runs
# in a window of a virtual X screen (its X11 backend), so xdotool's input
# reaches the program as Wayland input through the compositor. Dragging the
# background must move the window (the compositor's own move), dragging its
# corner must resize it, the maximise picture must toggle its size, text typed
# into Monday's box and then SIGTERM must leave the text and FormSize.ini (the
# new size, the position known at the start) stored; the minimise picture must
# hide the window and the close picture end the program.
# usage: wayland-input.sh PROGRAM_DIR
set -euo pipefail
if [ -z "${TAVI_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "missing xvfb-run"; exit 1; }
  TAVI_UNDER_XVFB=1 exec xvfb-run -a -n 170 -e /dev/stderr -s "-screen 0 1600x1000x24 -noreset" bash "$0" "$@"
fi
program_dir=$1
source "$(dirname "$0")/fresh-program-folder.sh"
source "$(dirname "$0")/weston.sh"
require_tools weston weston-screenshooter convert xdotool
make_fresh_folder
start_weston --backend=x11-backend.so --width=1600 --height=1000
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
bounds=none
look() { shoot "$folder/shot.png"; bounds=$(window_bounds "$folder/shot.png"); }
# Looks until the bounds match the pattern (a slow machine may take a while to
# repaint a bigger window); false when they never do.
look_for() {
  for _ in $(seq 1 25); do
    look
    # shellcheck disable=SC2053
    [[ $bounds == $1 ]] && return 0
    sleep 0.2
  done
  return 1
}
# Drags with the left button from window point (x, y) by (dx, dy), in steps as a hand does.
drag() { # x y dx dy
  local left top; read -r _ _ left top <<<"$bounds"
  local x=$((left + $1)) y=$((top + $2))
  xdotool mousemove "$x" "$y"; sleep 0.2
  xdotool mousedown 1; sleep 0.2
  for step in 1 2 3 4 5; do xdotool mousemove $((x + $3 * step / 5)) $((y + $4 * step / 5)); sleep 0.05; done
  sleep 0.2; xdotool mouseup 1; sleep 0.5
}
click() { # x y in the window
  local left top; read -r _ _ left top <<<"$bounds"
  xdotool mousemove $((left + $1)) $((top + $2)); sleep 0.3
  xdotool click 1; sleep 0.5
}
# The caption pictures keep their distance from the right edge: close, maximise, minimise.
caption() { local width; read -r width _ <<<"$bounds"; click $((width - $1)) 10; }
start() {
  "$folder/tavi" 2>>"$folder/tavi.log" & pid=$!
  bounds=$(wait_for_window) || { cat "$folder/tavi.log"; echo "no window showed under Weston"; exit 1; }
}
ended() { # waits for the program to end; its status must be 0
  local status=0
  timeout 10 tail --pid="$pid" -f /dev/null || { fail "the program did not end"; kill -9 "$pid"; }
  wait "$pid" || status=$?
  [ $status -eq 0 ] || { cat "$folder/tavi.log"; fail "the program ended with status $status"; }
}

start
read -r width height left top <<<"$bounds"
[ "$width $height" = "906 540" ] || fail "the window came up at ${width}x$height"
# Between the logo and the date: the bare background; towards the output's
# middle, wherever the compositor put the window.
dx=150 dy=60
[ "$left" -lt 347 ] || dx=-150
[ "$top" -lt 215 ] || dy=-60
drag 300 45 $dx $dy
look_for "906 540 $((left + dx)) $((top + dy))" ||
  fail "dragging the background by ($dx, $dy) from $left,$top left the window at $bounds"
drag 904 538 80 50
look_for "986 590 *" || fail "dragging the corner by (80, 50) made the window $bounds"
before=$bounds
caption 54
# The whole output, give or take the outline's outermost pixel.
look_for "1[56]9[89] 99[89] [01] [01]" || fail "the maximise picture made the window $bounds"
caption 54
look_for "$before" || fail "the maximise picture again made the window $bounds, not $before"
# Monday's box lies below the week page's title strip.
click 420 150
xdotool type --delay 30 "typed under wayland"
sleep 0.5
rm "$folder/Data/FormSize.ini"
kill -TERM "$pid"
ended
week=$("$program_dir/tavi-cli" week --folder "$folder" --slot A --month "$(date +%-m)")
grep -qF "typed under wayland" <<<"$week" || { fail "the typed text was not stored:"; echo "$week"; }
settings=$(tr -d '\r' <"$folder/Data/FormSize.ini" 2>/dev/null | paste -sd' ')
[ "$settings" = "1 986 590 347 215 $(date +%-m)" ] || fail "after SIGTERM FormSize.ini holds: $settings"

start
[ "${bounds% * *}" = "986 590" ] || fail "the second start came up at $bounds"
caption 82
look_for none || fail "the minimise picture left the window showing at $bounds"
kill -TERM "$pid"
ended

start
caption 21
ended
[ $failures -eq 0 ] && echo "wayland input checks passed"
exit $((failures > 0))
