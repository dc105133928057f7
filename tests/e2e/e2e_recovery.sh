#!/usr/bin/env bash
# End-to-end: edits survive a killed program. The real kestrelbench under Xvfb: letters typed into
# two pages, the program killed with SIGKILL, started again; Yes brings exactly the typed text
# back, No puts the edits among the discarded ones. A text file left beside an RBF file is offered,
# never overwritten; backups rotate; typing without a pause is still written; a file where the
# recovery folder should be breaks nothing.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

rec="$XDG_STATE_HOME/kestrelbench/recovery"
backups="$XDG_STATE_HOME/kestrelbench/backups"
printf 'Backups=2\r\n' >>"$exe/Kestrelbench.ini"

start() {
  "$exe/kestrelbench" "$@" >>"$work/app.log" 2>&1 &
  app=$!
  pids+=($app)
}
wait_main() { wait_for 20 main_window && win=$(main_window) && window_origin "$win" && sleep 0.5; }
recovery_count() { find "$rec" -maxdepth 1 -name '*.recovery' 2>/dev/null | wc -l; }
# holds TEXT: a recovery file holds the text
holds() { grep -qF "$1" "$rec"/*.recovery 2>/dev/null; }
killed() { kill -9 "$app"; wait "$app" 2>/dev/null; }
# Closes the window answering every save question with Yes (Return).
close_saving() {
  "$build/tests/x11_close" "$win"
  while answer_box Confirm Return; do :; done
  wait_for 20 bash -c "! kill -0 $app 2>/dev/null" || { kill -9 "$app"; fail "the window did not close"; }
}
expected() { # SAMPLE FROM TO: the sample's dump with one text replaced
  sample_dump "$1" | sed "s/$2/$3/" >"$work/expected-$1"
  echo "$work/expected-$1"
}

# 1. Typing into two pages, then SIGKILL once the recovery files hold the letters.
start "$data/unit.rbf" "$data/weapon.rbf"
wait_for 20 test -s "$data/weapon.txt"
wait_main || fail "no window"
click_at $(tab_at 0)
type_into_name "$win" "Kx"
click_at $(tab_at 1)
type_into_name "$win" "Wy"
if wait_for 15 bash -c "[ \$(find '$rec' -maxdepth 1 -name '*.recovery' | wc -l) = 2 ]" &&
  wait_for 5 holds 'name: "MarineKx";' && wait_for 5 holds 'name: "Gauss RifleWy";'; then
  ok "two pages' letters are in recovery files within seconds"
else
  fail "the recovery files did not come: $(ls "$rec" 2>&1)"
fi
mode=$(stat -c %a "$rec")
[ "$mode" = 700 ] && ok "the recovery folder is private" || fail "the recovery folder has mode $mode"
killed

# Started again without files: both are offered; Yes, and the pages hold exactly what was typed.
start
wait_main
answer_box Confirm Return && answer_box Confirm Return && ok "both pages' edits are offered at start" ||
  fail "the edits were not offered"
sleep 1
close_saving
expect_rbf 10 "$data/unit.rbf" "$(expected unit 'name: "Marine"' 'name: "MarineKx"')" "unit.rbf holds the typed text"
expect_rbf 10 "$data/weapon.rbf" "$(expected weapon 'name: "Gauss Rifle"' 'name: "Gauss RifleWy"')" \
  "weapon.rbf holds the typed text"
[ "$(recovery_count)" = 0 ] && ok "saving removed the recovery files" || fail "recovery files stayed after saving"

# 2. Killed again; this time No: the edits go to discarded/, the files stay as they were.
cp "$data/unit.rbf" "$work/unit.before"
start "$data/unit.rbf"
wait_for 20 test -s "$data/unit.txt"
wait_main
type_into_name "$win" "Q"
wait_for 15 holds 'MarineKxQ' || fail "no recovery file for the second edit"
killed
start
wait_main
answer_box Confirm Escape && ok "the edits are offered again" || fail "no question after the second kill"
sleep 0.5
if [ "$(recovery_count)" = 0 ] && grep -qF 'MarineKxQ' "$rec"/discarded/*.recovery 2>/dev/null; then
  ok "No moves the edits into discarded/"
else
  fail "the declined edits are not in discarded/"
fi
cmp -s "$data/unit.rbf" "$work/unit.before" && ok "No leaves the RBF file alone" || fail "the RBF file changed"
close_saving

# 3. A text file left beside an RBF file is offered, not overwritten by the converter.
rm -f "$data/unit.txt"
sample_dump unit | sed 's/name: "Marine"/name: "Leftover"/; 1s/x\.rbf/unit.rbf/' >"$data/unit.txt"
start "$data/unit.rbf"
wait_main
if wait_for 20 window_shows '^Confirm$' && holds 'name: "Leftover";'; then
  ok "a leftover text file is moved aside and offered"
else
  fail "the leftover text file was not offered"
fi
answer_box Confirm Return
sleep 1
close_saving
expect_rbf 10 "$data/unit.rbf" "$(expected unit 'name: "Marine"' 'name: "Leftover"')" "Yes brings the leftover text in"

# 4. Three saves keep two backups (Backups=2 in the settings), each a whole RBF file.
start "$data/weapon.rbf"
wait_for 20 test -s "$data/weapon.txt"
wait_main
for letter in A B C; do
  type_into_name "$win" "$letter"
  xdotool key --clearmodifiers ctrl+s 2>/dev/null
  wait_for 20 bash -c "[ ! -e '$data/weapon.txt' ]" || fail "save $letter did not end"
  sleep 0.3
done
count=$(find "$backups" -name 'weapon.*.rbf' | wc -l)
[ "$count" = 2 ] && ok "backups rotate at 2" || fail "$count backups of weapon.rbf"
newest=$(find "$backups" -name 'weapon.*.rbf' | sort | tail -n 1)
dump_rbf "$newest" | grep -q 'Gauss RifleWyAB"' && ok "the newest backup is the file before the last save" ||
  fail "the newest backup holds something else"
close_saving

# 5. Typing that never pauses: its letters are in a recovery file while it still goes on (at the
# latest every 10 s, even when each write's moment falls inside a caret sync or a tree update).
# Closing with No then leaves no recovery file behind, also for a write put off meanwhile.
start "$data/weapon.rbf"
wait_for 20 test -s "$data/weapon.txt"
wait_main
type_into_name "$win" "T"
sleep 2.5 # the pause's write of "T": the next write waits for the longest interval
xdotool type --delay 30 "$(printf 'u%.0s' $(seq 900))" 2>/dev/null &
typist=$!
pids+=("$typist")
if wait_for 25 holds 'RifleWyABCTuuu' && kill -0 "$typist" 2>/dev/null; then
  ok "letters typed without a pause are written while the typing goes on"
else
  fail "no recovery file while the typing went on: $(ls "$rec" 2>&1)"
fi
kill "$typist" 2>/dev/null
wait "$typist" 2>/dev/null
"$build/tests/x11_close" "$win"
# The pause's write comes while the question holds the page: it is put off, then No drops it.
wait_for 20 window_shows '^Confirm$' && sleep 2.5
answer_box Confirm alt+n || fail "no question for the typed letters"
wait_for 20 bash -c "! kill -0 $app 2>/dev/null" || { kill -9 "$app"; fail "the window did not close"; }
[ "$(recovery_count)" = 0 ] && ok "a close answered No leaves no recovery file" ||
  fail "a recovery file stayed after No: $(ls "$rec")"
dump_rbf "$data/weapon.rbf" | grep -q 'Gauss RifleWyABC"' && ok "No leaves weapon.rbf as it was" ||
  fail "weapon.rbf changed"

# 6. A file where the recovery folder should be: the program goes on, no box, saves still work.
rm -rf "$rec"
echo "not a folder" >"$rec"
start "$data/unit.rbf"
wait_for 20 test -s "$data/unit.txt"
wait_main
type_into_name "$win" "Z"
sleep 3
kill -0 "$app" 2>/dev/null && ok "a file in the recovery folder's place does not end the program" ||
  fail "the program ended"
window_shows '^Error$' && fail "a message box came for the recovery folder"
close_saving
dump_rbf "$data/unit.rbf" | grep -q 'LeftoverZ"' && ok "and the page still saves" || fail "the save failed"
[ "$(cat "$rec")" = "not a folder" ] && ok "the file in the folder's place is untouched" || fail "the file was changed"

e2e_finish
