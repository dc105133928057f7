# Shared by the end-to-end sessions: sourced after setting src and build. Starts a display of its
# own (Xvfb, no window manager), a private runtime folder, a fresh executable folder holding the
# program, grindle and a settings file, and a data folder whose name has a blank and a non-ASCII
# letter, with unit.rbf and weapon.rbf made from the samples. Provides ok/fail counting,
# wait_for, window lookup, focus and RBF dump helpers; e2e_finish prints the count and sets the
# exit status.
for tool in Xvfb xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed; skipped"; exit 0; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  sleep 0.3
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
passed=0
failed=0
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }
ok() { echo "ok: $*"; passed=$((passed + 1)); }
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

# A display of our own. Xvfb picks a free number itself and names it once it accepts clients: a
# number chosen here could still belong to the server of an earlier session that is going away.
# -noreset: by default the server resets when its last client leaves, and a program started
# during the reset cannot connect (a session that ends one instance and starts the next).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/display" || { echo "e2e: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"
wait_for 10 xdpyinfo || { echo "e2e: Xvfb did not start"; exit 1; }
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb
# Own instance name and runtime folder, so a running Kestrelbench of the user is not involved.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# The converter log goes here, not into the home folder of whoever runs the tests.
export XDG_STATE_HOME="$work/state"

# A fresh executable folder: settings file and readme land here.
exe="$work/exe dir"
data="$work/Daten ä"
mkdir -p "$exe" "$data"
cp "$build/kestrelbench" "$build/grindle" "$exe/"
for s in unit weapon; do
  cp "$src/samples/$s.txt" "$work/$s.txt"
  "$build/grindle" -q -i "$work/$s.txt" && mv "$work/$s.rbf" "$data/$s.rbf"
done
# The keys of the main section in the order of a file the program wrote; close writes them in place.
printf '[Main]\r\nMaximized=0\r\nTop=0\r\nLeft=0\r\nWidth=900\r\nHeight=600\r\nGrindle=%s\r\nUCSPath=\r\nLastFolder=%s\r\n' \
  "$exe/grindle" "$data" > "$exe/Kestrelbench.ini"

# window_named PATTERN: prints the first visible window whose name matches; false when there is
# none, so that wait_for can wait for a window to show.
window_named() {
  local w
  w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  [ -n "$w" ] && echo "$w"
}
# The main window: the largest visible window of that name (a short-lived top-level without a
# title of its own, such as a popup, is named after the program too).
main_window() {
  local id best='' area=0 geometry X Y WIDTH HEIGHT SCREEN WINDOW
  for id in $(xdotool search --onlyvisible --name '^Kestrelbench$' 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null) || continue
    eval "$geometry"
    if [ $((WIDTH * HEIGHT)) -gt "$area" ]; then area=$((WIDTH * HEIGHT)); best=$id; fi
  done
  [ -n "$best" ] && echo "$best"
}
# The hint popup names its window after the text it shows.
hint_shows() { xwininfo -root -tree 2>/dev/null | grep -q "\"$1\""; }
# Without a window manager the keyboard follows the pointer: put it on the editor and click there.
focus_editor() {
  local geometry x y w h
  geometry=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || return 1
  eval "$geometry"
  x=$((X + WIDTH * 3 / 4)); y=$((Y + HEIGHT / 2))
  xdotool mousemove --sync "$x" "$y" click 1 2>/dev/null
  sleep 0.3
}
dump_rbf() { # prints the text of an RBF file, converted by grindle in a scratch folder
  local scratch; scratch=$(mktemp -d "$work/dump.XXXX")
  cp "$1" "$scratch/x.rbf" && "$build/grindle" -q -i "$scratch/x.rbf" && cat "$scratch/x.txt"
}

# Points the settings at tests/e2e/logging_grindle.sh, copied beside grindle: it can log the texts
# it saves ("$exe/text-log") and make saves slow ("$exe/save-delay").
use_logging_converter() {
  cp "$src/tests/e2e/logging_grindle.sh" "$exe/logging_grindle.sh"
  sed -i "s|^Grindle=.*|Grindle=$exe/logging_grindle.sh\r|" "$exe/Kestrelbench.ini"
}
# window_shows PATTERN: true while a visible window's name matches.
window_shows() { [ -n "$(window_named "$1")" ]; }
# window_point WINDOW DX DY: prints the screen position "X Y" of a point inside the window.
window_point() {
  local geometry X Y WIDTH HEIGHT SCREEN WINDOW
  geometry=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || return 1
  eval "$geometry"
  echo "$((X + $2)) $((Y + $3))"
}
# click_at X Y [BUTTON] [HELD_MS]: a click as a hand makes it, the press held for a moment
# (0 ms: press and release at once).
click_at() {
  local held=${4:-80}
  xdotool mousemove --sync "$1" "$2" 2>/dev/null
  if [ "$held" -eq 0 ]; then
    xdotool click "${3:-1}" 2>/dev/null
  else
    xdotool mousedown "${3:-1}" 2>/dev/null
    sleep "$(printf '0.%03d' "$held")"
    xdotool mouseup "${3:-1}" 2>/dev/null
  fi
}
# answer_box TITLE KEY: waits for a message box titled TITLE and answers it with KEY (Return for
# the default button, Escape for No or OK); false when no such box came.
# A key that reaches a box before it can take it is pressed again, as long as that same box shows.
answer_box() {
  wait_for 20 window_shows "^$1\$" || return 1
  local box try; box=$(window_named "^$1\$")
  for try in 1 2 3; do
    xdotool mousemove --window "$box" 10 10 2>/dev/null
    sleep 0.2
    xdotool key --clearmodifiers "$2" 2>/dev/null
    wait_for 4 bash -c "! xdotool search --onlyvisible --name '^$1\$' | grep -qx '$box'" && return 0
  done
  return 1
}
# set_converter PATH: the converter the next start of the program uses.
set_converter() {
  sed -i "s|^Grindle=.*\r\$|Grindle=$1\r|" "$exe/Kestrelbench.ini"
}
# type_into_name WINDOW TEXT: types TEXT before the closing quote of the third line's value.
type_into_name() {
  focus_editor "$1"
  xdotool key --clearmodifiers ctrl+Home Down Down End Left Left 2>/dev/null
  xdotool type --delay 20 "$2" 2>/dev/null
  sleep 0.3
}

e2e_finish() {
  echo "$passed passed, $failed failed"
  [ $failed -eq 0 ]
}

# Places in the main window, in pixels from its top-left corner, for the window of the settings
# above (900 x 600). window_origin sets WX and WY; at() turns window coordinates into screen ones.
# A window that is not mapped yet (a hand-over raises it again) is waited for.
window_origin() {
  local geometry X Y WIDTH HEIGHT SCREEN WINDOW id=$1 end=$((SECONDS + 10))
  WX=0; WY=0
  until geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null); do
    [ $SECONDS -ge $end ] && { fail "no main window to click in"; return 1; }
    sleep 0.2
    id=$(main_window)
  done
  eval "$geometry"
  WX=$X; WY=$Y
}
at() { echo "$((WX + $1)) $((WY + $2))"; }
# Tool buttons, tabs (clicked left of where a hint from a tool button shows), rows of the folder tree (rows 0, 1, ... under the top one), nodes of the
# structure tree and lines of the editor (both while scrolled to the top).
tool_button() {
  case $1 in
    TBOpen) at 14 13 ;; TBReOpen) at 206 13 ;; TBSave) at 238 13 ;; TBSaveAll) at 262 13 ;;
    TBRebuildTree) at 294 13 ;; TBFind) at 361 13 ;; TBReplace) at 385 13 ;; TBArrange) at 465 13 ;; TBFindInFiles) at 409 13 ;;
    TBClose) at 857 13 ;; TBCloseAll) at 881 13 ;; empty) at 140 13 ;;
  esac
}
tab_at() { at $((212 + 128 * $1)) 44; }
folder_row() { at 110 $((37 + 18 * $1)); }
node_row() { at 250 $((63 + 18 * $1)); }
editor_line() { at 600 $((62 + 16 * $1)); }
# quick_click X Y: press and release at once (a tap); held_click X Y MS: the button held MS ms.
quick_click() { xdotool mousemove --sync "$1" "$2" click 1 2>/dev/null; sleep 0.3; }
held_click() {
  xdotool mousemove --sync "$1" "$2" mousedown 1 2>/dev/null
  sleep "$(awk "BEGIN { print $3 / 1000 }")"
  xdotool mouseup 1 2>/dev/null
  sleep 0.3
}
keys() { xdotool key --clearmodifiers "$@" 2>/dev/null; sleep 0.2; }
typed() { xdotool type --delay 30 "$1" 2>/dev/null; sleep 0.2; }
# rbf_is RBF EXPECTED: the RBF file converts to exactly the text of file EXPECTED (whose first
# line names x.rbf, as dump_rbf converts a copy of that name).
rbf_is() { dump_rbf "$1" 2>/dev/null | cmp -s - "$2"; }
# expect_rbf SECONDS RBF EXPECTED WHAT: waits for the saved text; reports with the difference.
expect_rbf() {
  if wait_for "$1" rbf_is "$2" "$3"; then
    ok "$4"
  else
    fail "$4"
    dump_rbf "$2" 2>/dev/null | diff "$3" - | head -n 20 >&2
  fi
}
# The text that dump_rbf gives for an RBF file made from a sample.
sample_dump() { sed "1s/: [a-z]*\.rbf/: x.rbf/" "$src/samples/$1.txt"; }
# answers_within SECONDS: the program's event loop answers the probe within SECONDS (probe.py).
answers_within() { python3 "$src/tests/e2e/probe.py" "$1"; }
