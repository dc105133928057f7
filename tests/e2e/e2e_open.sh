#!/usr/bin/env bash
# Opening files every way a user does: from the command line, with Enter and with a double click in
# the folder tree, and by a second start while a message box is open; Enter on a file that is
# already open raises one message box, and the Enter that dismisses it opens nothing again.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

warning_shown() { window_named '^Warning$' | grep -q .; }
# Dismisses the message box with Enter, the pointer (and so the keyboard) on it.
dismiss_with_enter() {
  local box; box=$(window_named "^$1\$")
  [ -n "$box" ] || return 1
  xdotool mousemove --sync --window "$box" 20 20 2>/dev/null
  sleep 0.2
  keys Return
}

# 1. From the command line, with a converter that takes 6 s: the window shows while it converts,
#    keys pressed meanwhile do no harm, and what is typed into the page once it shows is saved.
use_logging_converter
echo 6 >"$exe/open-delay"
"$exe/kestrelbench" "$data/unit.rbf" >"$work/open.log" 2>&1 &
first=$!
pids+=($first)
if wait_for 5 main_window && [ ! -e "$data/unit.txt" ]; then
  ok "the window shows before the command-line file's conversion ends"
else
  fail "no window while the command-line file was converted"
fi
win=$(main_window)
if [ -n "$win" ]; then
  window_origin "$win"
  # Into the readme page, which shows where the page will be (keys typed into the folder tree
  # would move its selection, and the steps below click its rows).
  quick_click $(editor_line 2)
  xdotool type --delay 30 "early" 2>/dev/null
fi
if wait_for 20 test -s "$data/unit.txt" && wait_for 20 main_window; then
  ok "the command-line file opens"
else
  fail "the command-line file did not open"
  e2e_finish
  exit 1
fi
rm -f "$exe/open-delay"
win=$(main_window)
sleep 0.5
window_origin "$win"
expected="$work/expected.txt"
sample_dump unit >"$expected"
quick_click $(editor_line 2)
keys ctrl+Home Down Down End Left Left
typed "Q7"
sed -i '3s/";/Q7";/' "$expected"
keys ctrl+s
expect_rbf 20 "$data/unit.rbf" "$expected" "typing into the page that opened from the command line is saved, and only that"
# The save ends with its hint; until then the folder tree's commands are refused.
wait_for 20 hint_shows "File saved" || fail "the save showed no hint"

# 2. Enter in the folder tree (the tree lists unit.rbf and weapon.rbf at its top rows).
quick_click $(folder_row 1)
keys Return
wait_for 20 test -s "$data/weapon.txt" && ok "Enter in the folder tree opens the selected file" ||
  fail "Enter in the folder tree opened nothing"

# 3. Enter on a file that is already open: one warning; the Enter that dismisses it opens nothing.
quick_click $(folder_row 0)
keys Return
if wait_for 10 warning_shown; then
  ok "an already open file is reported"
  dismiss_with_enter Warning
  sleep 2
  if warning_shown; then
    fail "the Enter that dismissed the warning opened the file again"
    # Leave the loop for the steps below.
    for _ in 1 2 3 4 5; do warning_shown && xdotool mousemove --window "$(window_named '^Warning$')" 20 20 key Escape 2>/dev/null; sleep 0.5; done
  else
    ok "dismissing the warning with Enter opens nothing again"
  fi
else
  fail "no warning for an already open file"
fi

# 4. A double click in the folder tree, on a file closed before.
quick_click $(tab_at 1)
quick_click $(tool_button TBClose)
wait_for 10 bash -c "[ ! -e '$data/weapon.txt' ]" || fail "Close did not close the weapon page"
xdotool mousemove --sync $(folder_row 1) click --repeat 2 --delay 60 1 2>/dev/null
wait_for 20 test -s "$data/weapon.txt" && ok "a double click in the folder tree opens the file" ||
  fail "a double click opened nothing"
sleep 0.5

# 5. A second start while a message box is open: it hands its file over and exits; the file opens
#    once the box is gone.
cp "$data/unit.rbf" "$data/extra.rbf"
quick_click $(folder_row 0)
keys Return
if wait_for 10 warning_shown; then
  timeout 20 "$exe/kestrelbench" "$data/extra.rbf" >"$work/second.log" 2>&1
  rc=$?
  [ $rc -eq 0 ] && ok "a second start during a message box exits 0" || fail "the second start exited $rc"
  [ ! -e "$data/extra.txt" ] && ok "nothing opens while the box is open" || fail "a file opened behind the box"
  dismiss_with_enter Warning
  wait_for 20 test -s "$data/extra.txt" && ok "the handed-over file opens after the box" ||
    fail "the handed-over file did not open"
  sleep 1
  warning_shown && fail "a warning came back after the hand-over" || ok "no further warning"
else
  fail "no warning for an already open file (before the hand-over)"
fi
kill -0 "$first" 2>/dev/null && ok "the program still runs" || fail "the program is gone"

e2e_finish
