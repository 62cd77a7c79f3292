#!/usr/bin/env bash
# Starts the real program on a virtual 1280 x 800 screen from a fresh program
# folder, takes a screenshot once its window is up and checks a few pixels of
# the header and the week page. The picture stays in OUT for people to look at.
# With SCALE 2 the screen is 2560 x 1600 and Qt scales by 200 %
# (QT_SCALE_FACTOR): the window must be twice the size with every pixel
# checked at twice its place, and the pictures drawn by the program (the
# logo, the apply button) must be drawn at that scale, not enlarged.
# usage: main-window.sh PROGRAM_DIR OUT [SCALE]
set -euo pipefail
program_dir=$1 out=$2 scale=${3:-1}
source "$(dirname "$0")/fresh-program-folder.sh"
require_tools xvfb-run xwininfo import convert
make_fresh_folder
mkdir -p "$out"
shot=$out/main-window.png
[ "$scale" = 1 ] || shot=$out/main-window-${scale}00.png

xvfb-run -a -n $((110 + scale)) -e /dev/stderr -s "-screen 0 $((1280 * scale))x$((800 * scale))x24 -noreset" bash -c '
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$1 "$0/tavi" 2>/dev/null & pid=$!
  for _ in $(seq 1 100); do
    xwininfo -name "Tavi桌面记事" >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 1.5
  xwininfo -name "Tavi桌面记事" | awk "/Width:|Height:/ {print \$2}" | paste -sd" " >"$2.size"
  import -window root "$2"
  kill $pid' "$folder" "$scale" "$shot"

pixel() { convert "$shot" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
fail=0
size=$(cat "$shot.size"); rm -f "$shot.size"
[ "$size" = "$((906 * scale)) $((540 * scale))" ] || { echo "the window is $size"; fail=1; }
expect() { # x y r,g,b what, at 100 %
  local got; got=$(pixel $(($1 * scale)) $(($2 * scale)))
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
# Drawn at the screen's scale, the text of a picture steps from its colour to
# the face's within one pixel; an enlarged picture only within two, at about
# half the contrast. The sharpest step between neighbours, in grey levels:
sharpest() { # width height left top, at 100 %
  convert "$shot" -crop "$(($1 * scale))x$(($2 * scale))+$(($3 * scale))+$(($4 * scale))" +repage -colorspace gray \
    \( +clone -roll +1+0 \) -compose difference -composite -crop +1+0 -format '%[fx:int(255*maxima)]' info:
}
sharp() { # width height left top least what
  local step; step=$(sharpest "$1" "$2" "$3" "$4")
  [ "$step" -ge "$5" ] || { echo "$6 is blurred: its sharpest step is $step grey levels, expected $5 or more"; fail=1; }
}
# The logo's title, dark blue on white (a step of 180 levels when sharp).
sharp 210 56 245 126 160 "the logo"
# The apply button's caption, white on its blue face (a step of 131 levels when sharp).
sharp 72 17 1019 170 115 "the apply button's caption"
# The files of a first start exist.
for file in FormSize.ini content.ini configSetBg.ini BGPicList.ini; do
  [ -f "$folder/Data/$file" ] || { echo "no Data/$file"; fail=1; }
done
[ $fail -eq 0 ] && echo "screenshot checks passed: $shot"
exit $fail
