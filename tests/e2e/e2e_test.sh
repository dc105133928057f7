#!/usr/bin/env bash
# End-to-end: the real kestrelbench and grindle on a real X server (Xvfb, no window manager),
# driven only with real input events (xdotool) and files on disk.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
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

# 1. Start with a file: its page opens; type into the editor; Ctrl+S writes it back.
"$exe/kestrelbench" "$data/unit.rbf" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
if wait_for 20 test -s "$data/unit.txt" && wait_for 20 main_window; then
  ok "start with a file opens its page"
else
  fail "the page of the command-line file did not open"
fi
win=$(main_window)
sleep 0.5
focus_editor "$win"
# Go to the name value: third line, before its closing quote and semicolon.
xdotool key --clearmodifiers ctrl+Home Down Down End Left Left 2>/dev/null
xdotool type --delay 20 "X" 2>/dev/null
sleep 0.3
xdotool key --clearmodifiers ctrl+s 2>/dev/null
if wait_for 20 bash -c "[ ! -e '$data/unit.txt' ]" && dump_rbf "$data/unit.rbf" | grep -q 'name: "MarineX";'; then
  ok "typed edit saved with Ctrl+S into the RBF file, text file removed"
else
  fail "Ctrl+S did not bring the typed edit into the RBF file"
fi

# 2. A second start hands its file to the first and exits 0.
timeout 20 "$exe/kestrelbench" "$data/weapon.rbf" >"$work/second.log" 2>&1
rc=$?
[ $rc -eq 0 ] && ok "second start exits 0" || fail "second start exited $rc"
if wait_for 20 test -s "$data/weapon.txt"; then
  ok "first instance opened the handed-over file"
else
  fail "handed-over file was not opened"
fi
kill -0 "$first" 2>/dev/null || fail "the first instance is gone"

# 3. Keys reach their commands.
focus_editor "$win"
xdotool key --clearmodifiers F5 2>/dev/null
wait_for 10 hint_shows "Directory tree refreshed" && ok "F5 refreshes the folder tree" || fail "F5 showed no refresh hint"
xdotool key --clearmodifiers F1 2>/dev/null
wait_for 10 hint_shows "Tree rebuilt" && ok "F1 rebuilds the tree" || fail "F1 showed no rebuild hint"
xdotool key --clearmodifiers F2 2>/dev/null
wait_for 10 hint_shows "View rearranged" && ok "F2 rearranges the view" || fail "F2 showed no arrangement hint"
xdotool key --clearmodifiers ctrl+f 2>/dev/null
if wait_for 10 window_named '^Find$'; then
  ok "Ctrl+F opens the find dialog"
  finder=$(window_named '^Find$')
  xdotool mousemove --window "$finder" 20 20 2>/dev/null
  xdotool key --clearmodifiers Escape 2>/dev/null
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Find\$'" || fail "Escape left the find dialog open"
else
  fail "Ctrl+F opened no find dialog"
fi

# 4. Close with a modified page; answer the save question with the keyboard; the settings file is written.
focus_editor "$win"
xdotool key --clearmodifiers ctrl+Home Down Down End Left Left 2>/dev/null
xdotool type --delay 20 "Y" 2>/dev/null
sleep 0.3
"$build/tests/x11_close" "$win"
if wait_for 10 window_named '^Confirm$'; then
  confirm=$(window_named '^Confirm$')
  xdotool mousemove --window "$confirm" 10 10 2>/dev/null
  xdotool key --clearmodifiers Return 2>/dev/null
  ok "closing asks whether to save the modified page"
else
  fail "no save question on close"
fi
if wait_for 30 bash -c "! kill -0 $first 2>/dev/null"; then
  ok "the window closed"
else
  fail "the window did not close"
fi
dump_rbf "$data/weapon.rbf" | grep -q 'Y";' && ok "the answer Yes saved the page" || fail "Yes did not save the page"
ini="$exe/Kestrelbench.ini"
keys=$(grep -o '^[A-Za-z]*=' "$ini" | tr -d '=' | tr '\n' ' ')
expected="Maximized Top Left Width Height Grindle UCSPath LastFolder Name Size Charset Color Height Bold Italic Underline StrikeOut "
[ "$keys" = "$expected" ] && ok "settings written in order" || fail "settings keys: '$keys'"
grep -q $'^Grindle='"$exe/grindle"$'\r$' "$ini" && ok "converter path kept" || fail "converter path not written"
grep -q $'^Width=900\r$' "$ini" && grep -q $'^Height=600\r$' "$ini" && ok "window size written" || fail "window size"
grep -q $'^Color=-2147483640\r$' "$ini" && ok "font colour written" || fail "font colour"

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
