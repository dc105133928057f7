#!/usr/bin/env bash
# End-to-end: a letter that code page 1252 cannot hold, typed with real keys into the real program,
# is not written to the RBF file as "?" without a question: No keeps the file as it was, Yes saves.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

"$exe/kestrelbench" "$data/unit.rbf" >"$work/encoding.log" 2>&1 &
app=$!
pids+=($app)
if wait_for 20 test -s "$data/unit.txt" && wait_for 20 main_window; then
  ok "the page opened"
else
  fail "the page did not open"
fi
win=$(main_window)
sleep 0.5
focus_editor "$win"
# Before the closing quote of the name value, as a user would go there.
xdotool key --clearmodifiers ctrl+Home Down Down End Left Left 2>/dev/null
xdotool type --delay 50 "Ж" 2>/dev/null
sleep 0.3
answer_confirm() { # KEY: answers the question box with that key, pointer on the box
  local box
  wait_for 10 window_named '^Confirm$' || return 1
  box=$(window_named '^Confirm$')
  xdotool mousemove --window "$box" 10 10 2>/dev/null
  xdotool key --clearmodifiers "$1" 2>/dev/null
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Confirm\$'"
}

xdotool key --clearmodifiers ctrl+s 2>/dev/null
if answer_confirm Escape; then
  ok "saving asks before the letter becomes \"?\""
else
  fail "no question before saving a letter the code page cannot hold"
fi
sleep 1
if dump_rbf "$data/unit.rbf" | grep -q 'name: "Marine";' && [ -e "$data/unit.txt" ]; then
  ok "answered No: the RBF file is as it was"
else
  fail "answered No, the RBF file changed anyway"
fi

focus_editor "$win"
xdotool key --clearmodifiers ctrl+s 2>/dev/null
if answer_confirm Return && wait_for 20 bash -c "[ ! -e '$data/unit.txt' ]"; then
  ok "answered Yes: saved"
else
  fail "answered Yes, but the page was not saved"
fi
dump_rbf "$data/unit.rbf" | grep -q 'name: "Marine?";' && ok "the letter was saved as \"?\"" ||
  fail "the saved name is not \"Marine?\": $(dump_rbf "$data/unit.rbf" | grep name:)"

e2e_finish
