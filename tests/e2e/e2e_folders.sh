#!/usr/bin/env bash
# The folder tree by hand: at start the last folder is shown at the top, and its files open from
# the rows below it; expanding a folder of the system whose files block when read
# (/proc: /proc/kmsg, for root) leaves the window answering.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
command -v python3 >/dev/null || { echo "e2e: python3 is not installed; skipped"; exit 0; }

# The settings file in the code page a settings file without a byte-order mark is read in, so that
# the data folder's "ä" is read as written.
iconv -f UTF-8 -t CP1252 "$exe/Kestrelbench.ini" >"$work/ini" && mv "$work/ini" "$exe/Kestrelbench.ini"
"$exe/kestrelbench" >"$work/program.log" 2>&1 &
program=$!
pids+=($program)
wait_for 20 main_window || { fail "no window"; e2e_finish; exit 1; }
window_origin "$(main_window)"
sleep 1

# 1. The last folder at the top: a double click expands it, its files come in the rows below, and a
#    double click on the first opens it.
xdotool mousemove --sync $(folder_row 0) click --repeat 2 --delay 60 1 2>/dev/null
sleep 1
xdotool mousemove --sync $(folder_row 1) click --repeat 2 --delay 60 1 2>/dev/null
wait_for 20 test -s "$data/unit.txt" && ok "the last folder is at the top and its first file opens" ||
  fail "the last folder's first file did not open from the second row"

# 2. To /proc with the keys (Home is the root; typing a name goes to it), then open it.
quick_click $(folder_row 0)
keys Home
typed proc
keys Right
sleep 2
if answers_within 10; then
  ok "the window answers after /proc was expanded"
else
  fail "the window did not answer within 10 s after /proc was expanded"
fi
keys Left
quick_click $(tab_at 0)
answers_within 10 && ok "clicks are taken afterwards" || fail "no answer after a click"
kill -0 "$program" 2>/dev/null && ok "the program still runs" || fail "the program is gone"
e2e_finish
