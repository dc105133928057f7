#!/usr/bin/env bash
# End-to-end: the real kestrelbench and grindle on a real X server (Xvfb, no window manager),
# driven only with real input events (xdotool) and files on disk.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

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
expected="Maximized Top Left Width Height Grindle UCSPath LastFolder VerifySave Backups Name Size Charset Color Height Bold Italic Underline StrikeOut Highlight Folding LineNumbers PanelHeight "
[ "$keys" = "$expected" ] && ok "settings written in order" || fail "settings keys: '$keys'"
grep -q $'^Grindle='"$exe/grindle"$'\r$' "$ini" && ok "converter path kept" || fail "converter path not written"
grep -q $'^Width=900\r$' "$ini" && grep -q $'^Height=600\r$' "$ini" && ok "window size written" || fail "window size"
grep -q $'^Color=-2147483640\r$' "$ini" && ok "font colour written" || fail "font colour"
# Every converter run of the session (the opens, the save and its check) is in the converter log.
log="$XDG_STATE_HOME/kestrelbench/converter.log"
runs=$(grep -c '^  ended: ' "$log" 2>/dev/null)
[ "${runs:-0}" -ge 3 ] && grep -q "weapon.txt\"\?$" "$log" && ok "converter runs logged ($runs)" || fail "converter log: '${runs:-none}'"

e2e_finish
