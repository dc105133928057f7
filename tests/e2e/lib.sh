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

# A display of our own.
display=""
for n in $(seq 90 120); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
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

main_window() { xdotool search --onlyvisible --name '^Kestrelbench$' 2>/dev/null | head -n 1; }
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
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

# answer_box TITLE KEY: waits for a message box titled TITLE and answers it with KEY (Return for
# the default button, Escape for No or OK); false when no such box came.
answer_box() {
  wait_for 20 window_named "^$1\$" || return 1
  local box; box=$(window_named "^$1\$")
  xdotool mousemove --window "$box" 10 10 2>/dev/null
  sleep 0.2
  xdotool key --clearmodifiers "$2" 2>/dev/null
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^$1\$'"
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
