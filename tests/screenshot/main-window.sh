#!/usr/bin/env bash
# Starts the real program on a virtual 1280 x 800 screen from a fresh program
# folder, takes a screenshot once its window is up and checks a few pixels of
# the header and the week page. The picture stays in OUT for people to look at.
# usage: main-window.sh PROGRAM_DIR OUT
set -euo pipefail
program_dir=$1 out=$2
source "$(dirname "$0")/fresh-program-folder.sh"
require_tools xvfb-run xwininfo import convert
make_fresh_folder
mkdir -p "$out"
shot=$out/main-window.png

xvfb-run -a -n 110 -e /dev/stderr -s "-screen 0 1280x800x24 -noreset" bash -c '
  QT_QPA_PLATFORM=xcb "$0/tavi" 2>/dev/null & pid=$!
  for _ in $(seq 1 100); do
    xwininfo -name "Tavi桌面记事" >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 1.5
  import -window root "$1"
  kill $pid' "$folder" "$shot"

pixel() { convert "$shot" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
fail=0
expect() { # x y r,g,b what
  local got; got=$(pixel "$1" "$2")
  if [ "$got" != "$3" ]; then echo "at ($1, $2) $4: expected $3, got $got"; fail=1; fi
}
# The window stands at (187, 115), 906 x 540, on the black root window.
expect 10 10 0,0,0 "the desktop"
expect 300 300 255,255,255 "the window's white background"
# The upper title strip of the week page: (506, 199) is the page's corner.
expect 606 211 216,227,243 "the weekday title strip"
# The Saturday/Sunday box is light grey.
expect 1050 560 247,247,247 "the Saturday/Sunday box"
# The panel's own page: the calendar's weekday heading row, (192, 196) being the panel's corner.
expect 237 222 216,227,243 "the panel calendar's weekday headings"
# The apply button's blue face, right-anchored at (818, 49).
expect 1008 170 91,127,181 "the apply button"
# The files of a first start exist.
for file in FormSize.ini content.ini configSetBg.ini BGPicList.ini; do
  [ -f "$folder/Data/$file" ] || { echo "no Data/$file"; fail=1; }
done
[ $fail -eq 0 ] && echo "screenshot checks passed: $shot"
exit $fail
