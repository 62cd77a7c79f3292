#!/usr/bin/env bash
# Installs the build as a user would (cmake --install) into a fresh folder
# whose name needs quoting, and checks what lands there: the program folder,
# the desktop entry and metainfo as their validators see them, the icons.
# On a virtual X screen the installed program is started through its desktop
# entry (gio launch): it must come up, write its settings files and, closed
# by its own close button, save FormSize.ini with the window's place. A
# second install keeps the user's notes, settings and pictures. Last the
# folder is moved, and the program started through a symbolic link must use
# the moved folder and end cleanly by its close button.
# usage: installed-launch.sh BUILD_DIR   (exit 77: skipped)
set -euo pipefail
if [ -z "${TAVI_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "missing xvfb-run"; exit 1; }
  TAVI_UNDER_XVFB=1 exec xvfb-run -a -n 150 -e /dev/stderr -s "-screen 0 1280x800x24 -noreset" bash "$0" "$@"
fi
build=$(realpath "$1")
id=io.github.tavi.WeekNotes
for tool in cmake xwininfo xprop xdotool gio desktop-file-validate appstreamcli identify; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done
# Installing this build would write into a real desktop prefix.
desktop_prefix=$(sed -n 's/^TAVI_DESKTOP_PREFIX:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -z "$desktop_prefix" ] || { echo "skipped: this build installs desktop files into $desktop_prefix"; exit 77; }

export QT_QPA_PLATFORM=xcb
tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

install_into() {
  local start; start=$(date +%s%N)
  cmake --install "$build" --prefix "$1" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; echo "FAIL: cmake --install"; exit 1; }
  echo "installed into $1 in $(ms_since "$start") ms"
}
# Prints the id of the main window once it is shown.
main_window() {
  local info
  for _ in $(seq 1 300); do
    info=$(xwininfo -name "Tavi桌面记事" 2>/dev/null || true)
    if [[ $info == *IsViewable* ]]; then
      awk '/Window id:/ {print $4}' <<<"$info"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
# The close picture sits at the caption's right end, 29 pixels from the window's right edge.
click_close_picture() {
  local width; width=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  xdotool mousemove --window "$1" $((width - 29)) 10
  sleep 0.3 # the mouse over the picture shows the highlight picture that takes the press
  xdotool click 1
}
running() { [ -e "/proc/$1" ] && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }
# Closes the program by its close picture; a program that goes on is killed.
close_by_button() { # pid window
  click_close_picture "$2"
  for _ in $(seq 1 100); do running "$1" || return 0; sleep 0.1; done
  fail "the close picture did not end the program"
  kill "$1"
  return 1
}
settings() { tr -d '\r' <"$1" | paste -sd' '; } # FormSize.ini: slot width height left top month

folder="$tmp/Tavi 周记"
install_into "$folder"

# The program folder.
for exe in tavi tavi-cli; do [ -x "$folder/$exe" ] || fail "no executable $exe"; done
for file in Data/UserData.db source/DeskTopBG/A1.bmp assets/fonts.conf; do
  [ -s "$folder/$file" ] || fail "no $file"
done
"$folder/tavi-cli" week --folder "$folder" --slot A --month 1 >/dev/null ||
  fail "the installed tavi-cli cannot read the installed notes database"

# The desktop files.
entry=$folder/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
exec_line=$(grep '^Exec=' "$entry" || true)
[ "$exec_line" = "Exec=\"$folder/tavi\"" ] || fail "the entry starts $exec_line"
grep -qx "Icon=$id" "$entry" || fail "the entry names another icon"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
# The metainfo, and that its desktop entry lies where the desktop finds it.
appstreamcli validate-tree --no-net "$folder" >"$tmp/appstream.log" ||
  { cat "$tmp/appstream.log"; fail "appstreamcli validate-tree"; }
[ -s "$folder/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do
  png=$folder/share/icons/hicolor/${size}x${size}/apps/$id.png
  got=$(identify -format '%wx%h' "$png" 2>/dev/null || echo none)
  [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
done

# Started as the desktop starts it.
start=$(date +%s%N)
gio launch "$entry" 2>"$tmp/gio.log" || { cat "$tmp/gio.log"; fail "gio launch"; }
if window=$(main_window); then
  echo "the window came up after $(ms_since "$start") ms"
  pid=$(xdotool getwindowpid "$window")
  pids+=("$pid")
  [ "$(readlink "/proc/$pid/exe")" = "$folder/tavi" ] || fail "the entry started $(readlink "/proc/$pid/exe")"
  classes=$(printf '%b' "$(xprop -id "$window" WM_CLASS)") # xprop writes UTF-8 bytes as octal escapes
  [[ $classes == *"\"$wm_class\""* ]] || fail "the entry's StartupWMClass is not the window's: $classes"
  for file in FormSize.ini content.ini configSetBg.ini BGPicList.ini; do
    [ -f "$folder/Data/$file" ] || fail "no Data/$file after the start"
  done
  xdotool windowmove "$window" 120 90
  sleep 0.3
  rm "$folder/Data/FormSize.ini"
  if close_by_button "$pid" "$window"; then
    if [ -f "$folder/Data/FormSize.ini" ]; then
      [ "$(settings "$folder/Data/FormSize.ini")" = "1 906 540 120 90 $(date +%-m)" ] ||
        fail "FormSize.ini holds $(settings "$folder/Data/FormSize.ini")"
    else
      fail "no FormSize.ini after the close"
    fi
  fi
else
  fail "no window came up from the desktop entry"
fi

# A second install over the first keeps everything of the user's.
printf 'x' >>"$folder/source/DeskTopBG/A1.bmp" # now a picture of the user's own
cp -r "$folder/Data" "$tmp/Data.before"
cp "$folder/source/DeskTopBG/A1.bmp" "$tmp/A1.before"
install_into "$folder"
diff -r "$tmp/Data.before" "$folder/Data" || fail "the second install changed Data/"
cmp -s "$tmp/A1.before" "$folder/source/DeskTopBG/A1.bmp" || fail "the second install replaced A1.bmp"

# Moved, and started through a link as from ~/.local/bin.
moved="$tmp/moved away"
mv "$folder" "$moved"
mkdir "$tmp/bin"
ln -s "$moved/tavi" "$tmp/bin/tavi"
rm -f "$moved/Data/content.ini" "$moved/Data/FormSize.ini"
"$tmp/bin/tavi" 2>"$tmp/tavi.log" &
pid=$!
pids+=("$pid")
if window=$(main_window); then
  [ -f "$moved/Data/content.ini" ] || fail "the program started through a link did not write into its folder"
  if close_by_button "$pid" "$window"; then
    status=0
    wait "$pid" || status=$?
    [ $status -eq 0 ] || { cat "$tmp/tavi.log"; fail "the program ended with status $status"; }
    [ -f "$moved/Data/FormSize.ini" ] || fail "no FormSize.ini in the moved folder after the close"
  fi
else
  cat "$tmp/tavi.log"
  fail "no window came up from the moved folder"
fi

[ $failures -eq 0 ] && echo "installed program checks passed"
exit $((failures > 0))
