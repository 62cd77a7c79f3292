#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked (dpkg-deb -x) into a
# temporary root, its program started on a virtual X screen with a fresh HOME.
# It must load its own fonts.conf from below the root, lay out the user's folder ~/.local/share/tavi, show its window and end by its close picture
# with FormSize.ini stored; the unpacked tavi-cli must read that folder
# without --folder. Nothing may be written below the root.
# usage: unpacked-package.sh DEB
set -euo pipefail
if [ -z "${TAVI_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "missing xvfb-run"; exit 1; }
  TAVI_UNDER_XVFB=1 exec xvfb-run -a -n 190 -e /dev/stderr -s "-screen 0 1280x800x24 -noreset" bash "$0" "$@"
fi
deb=$(realpath "$1")
for tool in dpkg-deb xwininfo xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done
tmp=$(mktemp -d)
pid=
cleanup() { [ -z "$pid" ] || kill "$pid" 2>/dev/null || true; rm -rf "$tmp"; }
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

root=$tmp/root
dpkg-deb -x "$deb" "$root"
[ -s "$root/usr/share/tavi/fonts.conf" ] || fail "no usr/share/tavi/fonts.conf in the package"
touch "$tmp/unpacked"
export HOME=$tmp/home QT_QPA_PLATFORM=xcb
mkdir "$HOME"
unset XDG_DATA_HOME FONTCONFIG_FILE
folder=$HOME/.local/share/tavi

# fontconfig names every configuration file it loads.
FC_DEBUG=1024 "$root/usr/bin/tavi" >"$tmp/fontconfig.log" 2>"$tmp/tavi.log" & pid=$!
window=
for _ in $(seq 1 300); do
  info=$(xwininfo -name "Tavi桌面记事" 2>/dev/null || true)
  if [[ $info == *IsViewable* ]]; then window=$(awk '/Window id:/ {print $4}' <<<"$info"); break; fi
  sleep 0.1
done
if [ -n "$window" ]; then
  grep -qF "Loading config file from $root/usr/share/tavi/fonts.conf" "$tmp/fontconfig.log" ||
    fail "the program did not load its fonts.conf from below the root"
  for file in Data/UserData.db Data/loginstr.db source/DeskTopBG/A1.bmp Data/FormSize.ini; do
    [ -s "$folder/$file" ] || fail "no $file in $folder after the first start"
  done
  rm "$folder/Data/FormSize.ini"
  width=$(xwininfo -id "$window" | awk '/Width:/ {print $2}')
  xdotool mousemove --window "$window" $((width - 29)) 10
  sleep 0.3
  xdotool click 1
  status=0
  timeout 10 tail --pid="$pid" -f /dev/null || fail "the close picture did not end the program"
  wait "$pid" || status=$?
  pid=
  [ $status -eq 0 ] || { cat "$tmp/tavi.log"; fail "the program ended with status $status"; }
  [ -f "$folder/Data/FormSize.ini" ] || fail "no FormSize.ini after the close"
else
  cat "$tmp/tavi.log"
  fail "no window came up from the unpacked package"
fi

"$root/usr/bin/tavi-cli" week --slot A --month 1 >/dev/null || fail "the unpacked tavi-cli cannot read $folder"
written=$(find "$root" -newer "$tmp/unpacked" -print)
[ -z "$written" ] || fail "written below the root: $written"
[ $failures -eq 0 ] && echo "unpacked package checks passed"
exit $((failures > 0))
