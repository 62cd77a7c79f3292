# Sourced by the scripts that run the real program under Weston, a real
# Wayland compositor: starts one on a socket of its own (stopped on exit) and
# finds the program's window in the compositor's screenshots.
# usage: start_weston BACKEND_OPTIONS...; shoot FILE; window_bounds FILE
weston_pids=()
stop_weston() { for pid in "${weston_pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
start_weston() {
  export XDG_RUNTIME_DIR=$folder/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # No panel and a black desktop: nothing but the program's window has its colours.
  printf '[shell]\nbackground-color=0xff000000\npanel-position=none\n' >"$XDG_RUNTIME_DIR/weston.ini"
  # --debug lets weston-screenshooter take the compositor's own pictures.
  weston "$@" --use-pixman --socket=tavi-test --idle-time=0 --debug \
    --config="$XDG_RUNTIME_DIR/weston.ini" --log="$XDG_RUNTIME_DIR/weston.log" 2>/dev/null &
  weston_pids+=($!)
  trap 'stop_weston; rm -rf "$folder"' EXIT
  for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/tavi-test" ] && break; sleep 0.1; done
  [ -S "$XDG_RUNTIME_DIR/tavi-test" ] || { cat "$XDG_RUNTIME_DIR/weston.log"; echo "weston did not start"; exit 1; }
  # DISPLAY stays for the X server a nested Weston runs on; Qt takes Wayland.
  export WAYLAND_DISPLAY=tavi-test QT_QPA_PLATFORM=wayland
}
# The compositor's screenshot of its whole output, as FILE.
shoot() {
  rm -f "$XDG_RUNTIME_DIR"/wayland-screenshot-*.png
  (cd "$XDG_RUNTIME_DIR" && timeout 10 weston-screenshooter >/dev/null 2>&1) || true
  mv "$XDG_RUNTIME_DIR"/wayland-screenshot-*.png "$1" 2>/dev/null
}
# "WIDTH HEIGHT LEFT TOP" of the program's window in a screenshot, found by
# its light-blue outline (a colour nothing else on the black desktop has, the
# pointer included); "none" when no window shows.
window_bounds() {
  local box
  box=$(convert "$1" -fill black +opaque 'rgb(216,227,243)' -format '%@' info: 2>/dev/null)
  [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -gt 1 ] || { echo none; return; }
  echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]} ${BASH_REMATCH[3]} ${BASH_REMATCH[4]}"
}
# Waits until a screenshot shows the window; prints its bounds.
wait_for_window() {
  local bounds
  for _ in $(seq 1 100); do
    shoot "$folder/shot.png"
    bounds=$(window_bounds "$folder/shot.png")
    [ "$bounds" != none ] && { sleep 0.5; shoot "$folder/shot.png"; window_bounds "$folder/shot.png"; return 0; }
    sleep 0.2
  done
  return 1
}
